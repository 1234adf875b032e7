// Restore points, the back-up before programming and the difference window: the window side.
#include "app/Hlav.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>

#include <ctime>

#include "app/PathLabel.h"
#include "files/IgnFile.h"
#include "files/Profile.h"
#include "files/RestorePoints.h"
#include "files/SafeRead.h"
#include "i18n/RestoreTexts.h"
#include "model/ParamDiff.h"
#include "model/SettingsDir.h"
#include "app/FormDiff.h"
#include "app/FormRestorePoints.h"
#include "ui/WindowPlace.h"

namespace {

const std::string Section = "RESTORE_POINTS";
const std::string BackUpKey = "BackUpBeforeProgramming";

QString Text(TRestoreText key) {
  return QString::fromStdString(RestoreText(key, CurrentLanguage));
}

QString LocalName(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// A tool window first shows over the main window, within the screen's available area.
void PlaceOver(QWidget* tool, const QWidget* main) {
  const QScreen* screen = main->screen();
  if (screen == nullptr) return;
  const QRect over = main->frameGeometry(), area = screen->availableGeometry();
  const TBox placed =
      CentreWindow(tool->width(), tool->height(), {over.x(), over.y(), over.width(), over.height()},
                   {area.x(), area.y(), area.width(), area.height()});
  tool->move(placed.Left, placed.Top);
}

// A click on the status label, while it offers the difference window.
class TStatusClick : public QObject {
public:
  TStatusClick(TFormHlav* form) : QObject(form), Form(form) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        static_cast<QWidget*>(watched)->rect().contains(
            static_cast<QMouseEvent*>(event)->position().toPoint()))
      Form->LabelHlaseniClick();
    return false;
  }

private:
  TFormHlav* Form;
};

} // namespace

void TFormHlav::BuildRestoreMenuItems() {
  MenuTools->addSeparator();
  MenuBackUp = MenuTools->addAction(Text(TRestoreText::MenuBackUp));
  MenuBackUp->setObjectName("MenuBackUp");
  MenuBackUp->setCheckable(true);
  MenuRestorePoints = MenuTools->addAction(Text(TRestoreText::MenuRestorePoints));
  MenuRestorePoints->setObjectName("MenuRestorePoints");
  MenuRestorePoints->setShortcut(QKeySequence(Qt::Key_F11));
  MenuDifferences = MenuTools->addAction(Text(TRestoreText::MenuDifferences));
  MenuDifferences->setObjectName("MenuDifferences");
  MenuDifferences->setShortcut(QKeySequence(Qt::Key_F12));
  MenuDifferences->setEnabled(false);
  MenuCompareFile = MenuTools->addAction(Text(TRestoreText::CompareWithFile));
  MenuCompareFile->setObjectName("MenuCompareFile");
  connect(MenuBackUp, &QAction::triggered, this, [this] { MenuBackUpClick(); });
  connect(MenuRestorePoints, &QAction::triggered, this, [this] { MenuRestorePointsClick(); });
  connect(MenuDifferences, &QAction::triggered, this, [this] { MenuDifferencesClick(); });
  connect(MenuCompareFile, &QAction::triggered, this, [this] { CompareWithFileClick(); });

  // The option as it was left; without the file nothing asks for it, and nothing is written.
  if (QFile::exists(QString::fromStdString(ExtraSettingsPath())))
    MenuBackUp->setChecked(ExtraSettings().ReadInteger(Section, BackUpKey, 0) != 0);
  Link.BackUpBeforeProgramming = MenuBackUp->isChecked();
}

void TFormHlav::MenuBackUpClick() {
  Link.BackUpBeforeProgramming = MenuBackUp->isChecked();
  ExtraSettings().WriteInteger(Section, BackUpKey, MenuBackUp->isChecked() ? 1 : 0);
}

void TFormHlav::PlaceToolWindow(QWidget* tool) {
  PlaceOver(tool, this);
}

void TFormHlav::MenuRestorePointsClick() {
  if (FormRestorePoints == nullptr) {
    FormRestorePoints = new TFormRestorePoints(this);
    FormRestorePoints->ApplyTexts(CurrentLanguage, Msg);
    if (!JoinToolWindow(FormRestorePoints, RestoreWindowSection))
      PlaceOver(FormRestorePoints, this);
    connect(FormRestorePoints, &TFormRestorePoints::OpenChosen, this,
            [this](const QString& path) { OpenParameterFile(path); });
  }
  FormRestorePoints->Reload(LocalName(RestorePointsDirectory()));
  FormRestorePoints->show();
  FormRestorePoints->raise();
  FormRestorePoints->activateWindow();
}

bool TFormHlav::KeepBackUp(const TDeviceImage& unit) {
  return StoreRestorePoint(unit, TRestoreKind::Read);
}

void TFormHlav::PassEnded(const TPassOutcome& outcome) {
  if (const std::optional<TRestoreKind> kind = RestorePointOf(outcome))
    StoreRestorePoint(outcome.Unit, *kind);
  if (outcome.HasDifference) OfferDifference(outcome.Pc, outcome.Unit.Params);
  if (outcome.Pass != TPass::BackUp || outcome.Result == TPassResult::OtherVersion) return;
  // The engine has turned the label red; it says why nothing was programmed. Which file
  // and what the disk said stand in the status bar.
  const QString text =
      outcome.Result == TPassResult::BackUpNotKept
          ? Text(TRestoreText::BackUpNotKept)
          : QString::fromStdString(Msg.MsgReadError) + " " + Text(TRestoreText::BackUpReadFailed);
  SetStatusText(text.toStdString());
}

bool TFormHlav::StoreRestorePoint(const TDeviceImage& unit, TRestoreKind kind) {
  // The unit is named by its own block 0, not by the texts the window shows: a copy read
  // before programming leaves those alone.
  TUnitIdentity identity;
  ::DecodeUnitIdentity(unit, identity);
  std::string path;
  TFailureReport failure;
  if (WriteRestorePoint(RestorePointsDirectory(), identity, unit.Params, kind, std::time(nullptr),
                        path, failure)) {
    RestorePointFailure.reset();
    // The copy read before programming is stored while the programming pass has begun.
    EnterBikeHistory(kind == TRestoreKind::Programmed ? TEntryKind::Programmed
                     : Link.TransferMode == tmProgram ? TEntryKind::BackUp
                                                      : TEntryKind::Read,
                     identity, path);
  } else {
    RestorePointFailure = failure;
  }
  // One message in the status bar, standing until a restore point is written again.
  if (LabelRestorePointFailure == nullptr) {
    // Shortened in its middle when wider than the bar: the reason at its end stays in view,
    // the whole text is its tooltip, and no long path widens the window.
    LabelRestorePointFailure = new TPathLabel(StatusBar1);
    LabelRestorePointFailure->setObjectName("LabelRestorePointFailure");
    StatusBar1->addWidget(LabelRestorePointFailure, 1);
    // A hint in the status bar (a button's status tip) takes its place while it shows.
    connect(StatusBar1, &QStatusBar::messageChanged, LabelRestorePointFailure,
            [this](const QString& hint) {
              LabelRestorePointFailure->setVisible(RestorePointFailure && hint.isEmpty());
            });
  }
  LabelRestorePointFailure->setText(
      RestorePointFailure
          ? QString::fromStdString(RestorePointFailureText(*RestorePointFailure, CurrentLanguage))
          : QString());
  LabelRestorePointFailure->setVisible(RestorePointFailure &&
                                       StatusBar1->currentMessage().isEmpty());
  if (FormRestorePoints != nullptr && FormRestorePoints->isVisible())
    FormRestorePoints->Reload(LocalName(RestorePointsDirectory()));
  return !RestorePointFailure;
}

void TFormHlav::OfferDifference(const TIgnParams& pc, const TIgnParams& unit) {
  (void)pc; // the window compares the screen's record as it is now
  OfferedDifference = TComparison{unit, TCompared::Rejected, {}, QDateTime::currentDateTime()};
  MenuDifferences->setEnabled(true);
  LabelHlaseni->setCursor(Qt::PointingHandCursor);
  LabelHlaseni->setToolTip(Text(TRestoreText::ClickForDifferences));
  if (LabelHlaseni->property("vantelClick").isNull()) {
    LabelHlaseni->installEventFilter(new TStatusClick(this));
    LabelHlaseni->setProperty("vantelClick", true);
  }
}

void TFormHlav::WithdrawDifference() {
  OfferedDifference.reset();
  MenuDifferences->setEnabled(false);
  LabelHlaseni->unsetCursor();
  LabelHlaseni->setToolTip(QString());
}

void TFormHlav::LabelHlaseniClick() {
  if (OfferedDifference && LabelHlaseni->isVisible()) MenuDifferencesClick();
}

void TFormHlav::MenuDifferencesClick() {
  if (OfferedDifference) ShowComparison(*OfferedDifference);
}

void TFormHlav::ShowComparison(const TComparison& comparison, bool raise) {
  if (FormDiff == nullptr) {
    FormDiff = new TFormDiff(this);
    FormDiff->ApplyTexts(CurrentLanguage);
    if (!JoinToolWindow(FormDiff, DiffWindowSection)) PlaceOver(FormDiff, this);
    connect(FormDiff, &TFormDiff::CompareWithFileClicked, this, [this] { CompareWithFileClick(); });
  }
  ShownComparison = comparison;
  const std::vector<TDifferenceRow> rows =
      DescribeDifferences(DiffParams(Image.Params, comparison.Other), CurrentLanguage, Msg);
  const QString since = comparison.Since.toString("HH:mm:ss");
  const bool file = comparison.What == TCompared::File;
  const TRestoreText head = file                                     ? TRestoreText::FileDiffers
                            : comparison.What == TCompared::Rejected ? TRestoreText::ReplyDiffers
                            : comparison.What == TCompared::Programmed
                                ? TRestoreText::UnitProgrammed
                                : TRestoreText::UnitVerified;
  FormDiff->ShowDifferences(
      Text(head).arg(since) + (file ? "\n" + comparison.FilePath : QString()),
      Text(file ? TRestoreText::ColumnScreen : TRestoreText::ColumnPc),
      file ? QFileInfo(comparison.FilePath).fileName() : Text(TRestoreText::ColumnUnit), rows,
      Text(file ? TRestoreText::NoDifferences : TRestoreText::UnitAgrees));
  if (!raise) return;
  FormDiff->show();
  FormDiff->raise();
  FormDiff->activateWindow();
}

void TFormHlav::DifferenceRecordChanged() {
  if (FormDiff != nullptr && FormDiff->isVisible() && ShownComparison)
    ShowComparison(*ShownComparison, false);
}

void TFormHlav::PassEnded(TTransferMode mode) {
  std::optional<TComparison> unit;
  // A verify that took the unit's reply, also the one that ends a Read or a programming:
  // the unit holds the record.
  if (mode == tmVerify && Link.GaugeProgress == GaugeMax)
    unit = TComparison{Image.Params,
                       Link.TransferDone ? TCompared::Programmed : TCompared::Verified,
                       {},
                       QDateTime::currentDateTime()};
  else if (OfferedDifference)
    unit = OfferedDifference;
  // A comparison with a file stays until another is asked for.
  if (unit && ShownComparison && ShownComparison->What != TCompared::File)
    ShowComparison(*unit, false);
}

void TFormHlav::CompareWithFileClick() {
  if (CompareDialog.FileName.isEmpty() && CompareDialog.Folder.isEmpty())
    CompareDialog.FileName = LastFilePath;
  QWidget* over =
      FormDiff != nullptr && FormDiff->isVisible() ? static_cast<QWidget*>(FormDiff) : this;
  const QString path = RunIgnFileDialog(over, TFileDialogKind::Open, CompareDialog);
  if (!path.isEmpty()) CompareWithFile(path);
}

void TFormHlav::CompareWithFile(const QString& path) {
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(QFile::encodeName(path).toStdString(), text, failure)) {
    ShowMessageBox(QString::fromStdString(Msg.MsgOpenFileError) + "\n" +
                   QString::fromStdString(DescribeFailure(failure, CurrentLanguage)));
    return;
  }
  // The screen as Save would take it; the file laid onto it as Open would lay it, so a key
  // the file lacks is no difference.
  ScreenToParams();
  NormaliseParams();
  ParamsToScreen();
  TIgnParams file = Image.Params;
  if (!ReadIgnFile(text, file)) {
    ShowMessageBox(QString::fromStdString(Msg.MsgFileVersionMismatch));
    return;
  }
  ShowComparison({file, TCompared::File, path, QDateTime::currentDateTime()});
}

void TFormHlav::ApplyRestoreTexts() {
  const std::pair<QAction*, std::pair<TRestoreText, TRestoreText>> items[] = {
      {MenuBackUp, {TRestoreText::MenuBackUp, TRestoreText::MenuBackUpHint}},
      {MenuRestorePoints, {TRestoreText::MenuRestorePoints, TRestoreText::MenuRestorePointsHint}},
      {MenuDifferences, {TRestoreText::MenuDifferences, TRestoreText::MenuDifferencesHint}},
      {MenuCompareFile, {TRestoreText::CompareWithFile, TRestoreText::CompareWithFileHint}},
  };
  for (const auto& [action, texts] : items) {
    action->setText(Text(texts.first));
    action->setStatusTip(Text(texts.second));
  }
  if (OfferedDifference) LabelHlaseni->setToolTip(Text(TRestoreText::ClickForDifferences));
  if (LabelRestorePointFailure != nullptr && RestorePointFailure)
    LabelRestorePointFailure->setText(
        QString::fromStdString(RestorePointFailureText(*RestorePointFailure, CurrentLanguage)));
  if (FormRestorePoints != nullptr) FormRestorePoints->ApplyTexts(CurrentLanguage, Msg);
  ApplyBikeTexts();
  if (FormDiff != nullptr) {
    FormDiff->ApplyTexts(CurrentLanguage);
    if (ShownComparison) ShowComparison(*ShownComparison, false);
  }
}
