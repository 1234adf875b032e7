#include "app/FormCurve.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QGuiApplication>
#include <QVBoxLayout>

#include <cstdio>

#include "app/Hlav.h"
#include "files/Profile.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "i18n/CurveTexts.h"
#include "app/FormCurveGraph.h"
#include "model/Conversions.h"
#include "model/CurveTable.h"
#include "ui/WindowPlace.h"

namespace {

constexpr int DefaultWidth = 760, DefaultHeight = 660;
// The curve window's own options in the extra settings file.
const std::string Section = TFormHlav::CurveWindowSection;

QString Text(TCurveText key) {
  return QString::fromUtf8(CurveText(key, CurrentLanguage));
}

// An item's text as a name in a sentence: without its accelerator mark and dots.
QString ToolName(TCurveText key) {
  QString name = Text(key).remove('&');
  if (name.endsWith("...")) name.chop(3);
  return name;
}

QString PointNumbers(TCurveSelection points) {
  QStringList numbers;
  for (int i = 0; i < CurvePoints; ++i)
    if (points.Has(i)) numbers << QString::number(i + 1);
  return numbers.join(", ");
}

// Why a text is no curve, with the first bad line.
QString TableErrorText(const TCurveTable& table) {
  TCurveText key = TCurveText::TableEmpty;
  switch (table.Error) {
  case TCurveTableError::NotANumber:
    key = TCurveText::TableNotANumber;
    break;
  case TCurveTableError::OneValue:
    key = TCurveText::TableOneValue;
    break;
  case TCurveTableError::TooManyValues:
    key = TCurveText::TableTooManyValues;
    break;
  case TCurveTableError::TooManyPoints:
    key = TCurveText::TableTooManyPoints;
    break;
  default:
    return Text(TCurveText::TableEmpty);
  }
  return QString::asprintf(CurveText(key, CurrentLanguage), table.Line);
}

// A file's bytes as UTF-8: spreadsheets also write UTF-16 with a byte-order mark, and older
// ones a single-byte code page.
QByteArray Utf8Text(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                        : QStringDecoder::Utf16BE);
    const QString text = decoder.decode(bytes.mid(2));
    return text.toUtf8();
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes).toUtf8() : bytes;
}

} // namespace

TFormCurve::TFormCurve(TFormHlav& form) : QWidget(&form, Qt::Window), Form(form) {
  setObjectName("FormCurve");
  Graph = new TCurveGraph(form, this);
  Graph->setObjectName("CurveGraph");
  StripChart = new TStripChart(form, this);
  StripChart->setObjectName("StripChart");
  LabelCurveHint = new QLabel(this);
  LabelCurveHint->setObjectName("LabelCurveHint");
  LabelCurveHint->setWordWrap(true);
  ButtonRecord = new QPushButton(this);
  ButtonRecord->setObjectName("ButtonRecord");
  LabelRecord = new QLabel(this);
  LabelRecord->setObjectName("LabelRecord");
  LabelRecord->setTextFormat(Qt::PlainText);
  // The row count changes with every frame; the window's layout need not follow it.
  LabelRecord->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(ButtonRecord);
  bottom->addWidget(LabelRecord, 1);
  StatusBarCurve = new QStatusBar(this);
  StatusBarCurve->setObjectName("StatusBarCurve");
  StatusBarCurve->setSizeGripEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(Graph, 3);
  layout->addWidget(StripChart, 2);
  layout->addWidget(LabelCurveHint);
  layout->addLayout(bottom);
  layout->addWidget(StatusBarCurve);
  BuildToolMenu();
  layout->setMenuBar(MenuBarCurve);
  connect(ButtonRecord, &QPushButton::clicked, this, [this] { Form.MenuRecordClick(); });

  resize(DefaultWidth, DefaultHeight);
  ApplyTexts();
  Graph->setFocus();
}

void TFormCurve::RecordChanged() {
  Graph->update();
  StripChart->update();
}

void TFormCurve::MonitorFrameArrived() {
  Graph->update();
  StripChart->update();
  StripTicks = 0;
}

void TFormCurve::Tick() {
  const bool connection = Form.Link.ConnectionVisible();
  if (connection != ShownConnection || Form.NoActivePoint != ShownNoActivePoint ||
      Form.ActivePoint != ShownActivePoint) {
    ShownConnection = connection;
    ShownNoActivePoint = Form.NoActivePoint;
    ShownActivePoint = Form.ActivePoint;
    Graph->update();
  }
  // Without frames the chart still moves on, so a gap shows as a gap.
  if (++StripTicks >= MonitorTicks) {
    StripTicks = 0;
    StripChart->update();
  }
}

void TFormCurve::ApplyTexts() {
  setWindowTitle(Text(TCurveText::WindowTitle));
  LabelCurveHint->setText(Text(TCurveText::EditHint));
  MenuPoints->setTitle(Text(TCurveText::MenuPoints));
  const std::pair<QAction*, TCurveText> items[] = {{ActionSelectAll, TCurveText::SelectAll},
                                                   {ActionCopy, TCurveText::Copy},
                                                   {ActionPaste, TCurveText::Paste},
                                                   {ActionAddDegrees, TCurveText::AddDegrees},
                                                   {ActionSetDegrees, TCurveText::SetDegrees},
                                                   {ActionInterpolate, TCurveText::Interpolate},
                                                   {ActionSmooth, TCurveText::Smooth},
                                                   {ActionScaleSpeeds, TCurveText::ScaleSpeeds},
                                                   {ActionInsertPoint, TCurveText::InsertPoint},
                                                   {ActionRemovePoints, TCurveText::RemovePoints},
                                                   {ActionExportCurve, TCurveText::ExportCurve},
                                                   {ActionImportCurve, TCurveText::ImportCurve}};
  for (const auto& [action, key] : items) action->setText(Text(key));
  StatusBarCurve->clearMessage(); // it was in the language before
  RecordingChanged();
  RecordChanged();
}

void TFormCurve::RecordingChanged() {
  const TMonitorRecorder& recorder = Form.Recorder;
  ButtonRecord->setText(
      Text(recorder.IsRecording() ? TCurveText::StopRecording : TCurveText::Record));
  if (!recorder.IsRecording()) {
    LabelRecord->setText(Text(TCurveText::NotRecording));
    LabelRecord->setStyleSheet(QString());
    return;
  }
  const QString file = QFileInfo(QFile::decodeName(recorder.Path().c_str())).fileName();
  LabelRecord->setText(QString::asprintf(CurveText(TCurveText::RecordingTo, CurrentLanguage),
                                         file.toUtf8().constData(), recorder.Rows()));
  // Red that reads on the window's background, light or dark.
  const QColor background = palette().color(QPalette::Window);
  const QColor dark(200, 0, 0), light(255, 130, 130);
  const QColor red = ContrastRatio(RgbOf(dark), RgbOf(background)) >=
                             ContrastRatio(RgbOf(light), RgbOf(background))
                         ? dark
                         : light;
  LabelRecord->setStyleSheet(QString("color: %1").arg(red.name()));
}

// ---- the curve tools ----

void TFormCurve::BuildToolMenu() {
  MenuBarCurve = new QMenuBar(this);
  MenuBarCurve->setObjectName("MenuBarCurve");
  MenuPoints = MenuBarCurve->addMenu(QString());
  MenuPoints->setObjectName("MenuPoints");
  const auto item = [this](const char* name, const char* key, void (TFormCurve::*handler)()) {
    QAction* action = MenuPoints->addAction(QString());
    action->setObjectName(name);
    if (key != nullptr) action->setShortcut(QKeySequence(key));
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
  };
  ActionSelectAll = item("ActionSelectAll", "Ctrl+A", &TFormCurve::SelectAllPoints);
  ActionCopy = item("ActionCopy", "Ctrl+C", &TFormCurve::CopyCurve);
  ActionPaste = item("ActionPaste", "Ctrl+V", &TFormCurve::PasteCurve);
  MenuPoints->addSeparator();
  ActionAddDegrees = item("ActionAddDegrees", "Ctrl+D", &TFormCurve::AddDegreesClick);
  ActionSetDegrees = item("ActionSetDegrees", "Ctrl+E", &TFormCurve::SetDegreesClick);
  ActionInterpolate = item("ActionInterpolate", "Ctrl+I", &TFormCurve::InterpolateClick);
  ActionSmooth = item("ActionSmooth", "Ctrl+M", &TFormCurve::SmoothClick);
  ActionScaleSpeeds = item("ActionScaleSpeeds", "Ctrl+K", &TFormCurve::ScaleSpeedsClick);
  ActionInsertPoint = item("ActionInsertPoint", "Ins", &TFormCurve::InsertPointClick);
  ActionRemovePoints = item("ActionRemovePoints", "Del", &TFormCurve::RemovePointsClick);
  MenuPoints->addSeparator();
  ActionExportCurve = item("ActionExportCurve", nullptr, &TFormCurve::ExportCurveClick);
  ActionImportCurve = item("ActionImportCurve", nullptr, &TFormCurve::ImportCurveClick);
  Graph->PointMenu = MenuPoints;
  Graph->MoveSelection = [this](int rpmSteps, int advanceSteps) {
    MoveSelectedPoints(rpmSteps, advanceSteps);
  };
}

void TFormCurve::ShowStatus(const QString& text) {
  StatusBarCurve->showMessage(text);
}

// Over this window, where the command came from; ticks go on while it is open.
void TFormCurve::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Form.windowTitle(), text, QMessageBox::Ok, this);
  box.exec();
}

bool TFormCurve::ApplyTool(const QString& name, TCurveText whyNot, const TCurveTool& tool) {
  const TIgnParams before = Form.TakeScreenRecord();
  TCurveDraft draft = CurveDraftOf(before);
  if (!tool(draft, Graph->SelectedPoints().Within(draft.Count))) {
    ShowStatus(Text(whyNot));
    return false;
  }
  const TCurveToolResult result = FinishCurveDraft(before, draft);
  Form.ApplyRecordChange(result.Params);
  QStringList status;
  if (!name.isEmpty())
    status << QString::asprintf(CurveText(TCurveText::ToolDone, CurrentLanguage),
                                name.toUtf8().constData());
  if (!result.Adjusted.Empty())
    status << QString::asprintf(CurveText(TCurveText::ToolAdjusted, CurrentLanguage),
                                PointNumbers(result.Adjusted).toUtf8().constData());
  ShowStatus(status.join(' '));
  return true;
}

std::optional<int> TFormCurve::AskNumber(TCurveText title, TCurveText label, int value, int min,
                                         int max) {
  QInputDialog dialog(this);
  dialog.setObjectName("CurveToolDialog");
  dialog.setWindowTitle(ToolName(title));
  dialog.setLabelText(Text(label));
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(min, max);
  dialog.setIntValue(value);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.intValue();
}

void TFormCurve::SelectAllPoints() {
  const int inUse = CurvePointsInUse(Form.Image.Params);
  Graph->SetSelectedPoints(TCurveSelection::All(inUse), inUse > 0 ? 0 : -1);
}

void TFormCurve::CopyCurve() {
  const TIgnParams& p = Form.TakeScreenRecord();
  QGuiApplication::clipboard()->setText(QString::fromStdString(CurveTableText(p, '\t', "\n")));
  ShowStatus(
      QString::asprintf(CurveText(TCurveText::Copied, CurrentLanguage), CurvePointsInUse(p)));
}

void TFormCurve::PasteCurve() {
  ApplyCurveText(QGuiApplication::clipboard()->text().toUtf8(), TCurveText::PasteRefused,
                 ToolName(TCurveText::Paste));
}

void TFormCurve::ApplyCurveText(const QByteArray& text, TCurveText refusal, const QString& name) {
  const TCurveTable table =
      ParseCurveTable(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
  if (table.Error != TCurveTableError::None) {
    // Nothing was taken from the screen or changed: the record stays as it was.
    const QString why = Text(refusal) + "\n" + TableErrorText(table);
    ShowStatus(QString(why).replace('\n', ' '));
    ShowMessage(why);
    return;
  }
  if (ApplyTool(name, TCurveText::TableEmpty, [&table](TCurveDraft& d, TCurveSelection) {
        SetCurvePoints(d, table.Points, table.Count);
        return true;
      }))
    Graph->SetSelectedPoints({}, -1);
}

void TFormCurve::AddDegreesClick() {
  if (Graph->SelectedPoints().Within(CurvePointsInUse(Form.Image.Params)).Empty())
    return ShowStatus(Text(TCurveText::NeedSelection));
  const std::optional<int> degrees = AskNumber(TCurveText::AddDegrees, TCurveText::AddDegreesLabel,
                                               LastAddDegrees, -RangeAdvance.Max, RangeAdvance.Max);
  if (!degrees) return;
  LastAddDegrees = *degrees;
  ApplyTool(ToolName(TCurveText::AddDegrees), TCurveText::NeedSelection,
            [&](TCurveDraft& d, TCurveSelection s) { return AddDegrees(d, s, *degrees); });
}

void TFormCurve::SetDegreesClick() {
  if (Graph->SelectedPoints().Within(CurvePointsInUse(Form.Image.Params)).Empty())
    return ShowStatus(Text(TCurveText::NeedSelection));
  const std::optional<int> degrees = AskNumber(TCurveText::SetDegrees, TCurveText::SetDegreesLabel,
                                               LastSetDegrees, RangeAdvance.Min, RangeAdvance.Max);
  if (!degrees) return;
  LastSetDegrees = *degrees;
  ApplyTool(ToolName(TCurveText::SetDegrees), TCurveText::NeedSelection,
            [&](TCurveDraft& d, TCurveSelection s) { return SetDegrees(d, s, *degrees); });
}

void TFormCurve::InterpolateClick() {
  ApplyTool(ToolName(TCurveText::Interpolate), TCurveText::NeedPointsBetween,
            [](TCurveDraft& d, TCurveSelection s) { return InterpolateAdvance(d, s); });
}

void TFormCurve::SmoothClick() {
  ApplyTool(ToolName(TCurveText::Smooth), TCurveText::NeedThreePoints,
            [](TCurveDraft& d, TCurveSelection s) { return SmoothAdvance(d, s); });
}

void TFormCurve::ScaleSpeedsClick() {
  if (Graph->SelectedPoints().Within(CurvePointsInUse(Form.Image.Params)).Empty())
    return ShowStatus(Text(TCurveText::NeedSelection));
  // Up to where the highest speed of the lowest point still fits the range.
  const std::optional<int> percent =
      AskNumber(TCurveText::ScaleSpeeds, TCurveText::ScaleSpeedsLabel, LastScalePercent, 1,
                RangeRpmAdv.Max / RangeRpmAdv.Min * 100);
  if (!percent) return;
  LastScalePercent = *percent;
  ApplyTool(ToolName(TCurveText::ScaleSpeeds), TCurveText::NeedSelection,
            [&](TCurveDraft& d, TCurveSelection s) { return ScaleSpeeds(d, s, *percent); });
}

void TFormCurve::InsertPointClick() {
  const TCurveSelection selection =
      Graph->SelectedPoints().Within(CurvePointsInUse(Form.Image.Params));
  const int index = selection.First();
  if (ApplyTool(ToolName(TCurveText::InsertPoint),
                selection.Empty() ? TCurveText::NeedSelection : TCurveText::CurveFull,
                [index](TCurveDraft& d, TCurveSelection) { return InsertPointBefore(d, index); }))
    Graph->SetSelectedPoints(TCurveSelection::Point(index), index);
}

void TFormCurve::RemovePointsClick() {
  const bool none = Graph->SelectedPoints().Within(CurvePointsInUse(Form.Image.Params)).Empty();
  if (ApplyTool(ToolName(TCurveText::RemovePoints),
                none ? TCurveText::NeedSelection : TCurveText::LastPointStays,
                [](TCurveDraft& d, TCurveSelection s) { return RemovePoints(d, s); }))
    Graph->SetSelectedPoints({}, -1);
}

void TFormCurve::MoveSelectedPoints(int rpmSteps, int advanceSteps) {
  ApplyTool(QString(), TCurveText::NeedSelection, [=](TCurveDraft& d, TCurveSelection s) {
    return ShiftPoints(d, s, rpmSteps, advanceSteps);
  });
}

void TFormCurve::ExportCurveClick() {
  const QString folder =
      QString::fromStdString(Form.ExtraSettings().ReadString(Section, "CurveFolder", ""));
  QFileDialog dialog(this, Text(TCurveText::ExportDialogTitle));
  dialog.setObjectName("ExportCurveDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(Text(TCurveText::RecordFilter));
  dialog.setDefaultSuffix("csv");
  dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
  dialog.selectFile("curve.csv");
  if (dialog.exec() != QDialog::Accepted) return;
  const QString path = dialog.selectedFiles().value(0);
  if (path.isEmpty()) return;
  Form.ExtraSettings().WriteString(Section, "CurveFolder",
                                   QFileInfo(path).absolutePath().toStdString());
  const std::string text = CurveTableText(Form.TakeScreenRecord(), ',', "\r\n", "rpm,advance");
  TFailureReport failure;
  if (!WriteFileSafely(QFile::encodeName(path).toStdString(), text, failure)) {
    ShowMessage(Form.FileErrorText(failure));
    return;
  }
  ShowStatus(QString::asprintf(CurveText(TCurveText::Exported, CurrentLanguage),
                               QFileInfo(path).fileName().toUtf8().constData()));
}

void TFormCurve::ImportCurveClick() {
  const QString folder =
      QString::fromStdString(Form.ExtraSettings().ReadString(Section, "CurveFolder", ""));
  QFileDialog dialog(this, Text(TCurveText::ImportDialogTitle));
  dialog.setObjectName("ImportCurveDialog");
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({Text(TCurveText::RecordFilter), Text(TCurveText::AllFilesFilter)});
  dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
  if (dialog.exec() != QDialog::Accepted) return;
  const QString path = dialog.selectedFiles().value(0);
  if (path.isEmpty()) return;
  Form.ExtraSettings().WriteString(Section, "CurveFolder",
                                   QFileInfo(path).absolutePath().toStdString());
  std::string bytes;
  TFailureReport failure;
  if (!ReadFileSafely(QFile::encodeName(path).toStdString(), bytes, failure)) {
    ShowMessage(Form.FileErrorText(failure));
    return;
  }
  ApplyCurveText(Utf8Text(QByteArray::fromStdString(bytes)), TCurveText::ImportRefused,
                 ToolName(TCurveText::ImportCurve));
}
