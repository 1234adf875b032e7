// The curve window and the recording of live values: the main window's side.
#include "app/Hlav.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <chrono>

#include "files/Profile.h"
#include "i18n/CurveTexts.h"
#include "app/FormCurve.h"
#include "ui/WindowPlace.h"

namespace {

const std::string Section = TFormHlav::CurveWindowSection;
constexpr int CurveWindowMinimumWidth = 500; // narrower, the graph is better over the main window

QString Text(TCurveText key) {
  return QString::fromUtf8(CurveText(key, CurrentLanguage));
}

std::int64_t UnixMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The platform's save dialog, made for this command and dropped when it returns; it asks
// before it replaces a file. Returns the chosen file, or an empty text when cancelled.
QString RunRecordFileDialog(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent, Text(TCurveText::RecordDialogTitle));
  dialog.setObjectName("RecordDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(Text(TCurveText::RecordFilter));
  dialog.setDefaultSuffix("csv");
  dialog.setDirectory(folder);
  dialog.selectFile("vantel-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".csv");
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

void TFormHlav::MenuCurveClick() {
  if (FormCurve == nullptr) {
    FormCurve = new TFormCurve(*this);
    if (!JoinToolWindow(FormCurve, CurveWindowSection)) PlaceCurveWindow();
    ShowBikeInCurveTitle();
  }
  FormCurve->show();
  FormCurve->raise();
  FormCurve->activateWindow();
}

void TFormHlav::PlaceCurveWindow() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry(), main = frameGeometry();
  const QSize frame = FrameExtent();
  const QSize wanted = FormCurve->size().expandedTo(FormCurve->minimumSizeHint()) + frame;
  // Where no side has room: over the curve rows' right column and the logo, below the tool
  // bar, so that the Program button, the status and the live values stay in view.
  const int overRight = ImageLogo->mapToGlobal(QPoint(ImageLogo->width(), 0)).x();
  const int overTop = GroupBoxToolBar->mapToGlobal(QPoint(0, GroupBoxToolBar->height())).y();
  const TBox placed = PlaceBeside(wanted.width(), wanted.height(),
                                  {main.x(), main.y(), main.width(), main.height()},
                                  {area.x(), area.y(), area.width(), area.height()},
                                  CurveWindowMinimumWidth, overRight, overTop);
  FormCurve->resize(placed.Width - frame.width(), placed.Height - frame.height());
  FormCurve->move(placed.Left, placed.Top);
}

void TFormHlav::MenuRecordClick() {
  if (Recorder.IsRecording()) {
    Recorder.Stop();
    RecordingChanged();
    return;
  }
  // The dialog comes up over the window the command came from.
  QWidget* parent = this;
  if (FormCurve != nullptr && FormCurve->isActiveWindow()) parent = FormCurve;
  const QString folder =
      QString::fromStdString(ExtraSettings().ReadString(Section, "RecordFolder", ""));
  const QString path = RunRecordFileDialog(parent, folder.isEmpty() ? QDir::homePath() : folder);
  if (!path.isEmpty()) {
    ExtraSettings().WriteString(Section, "RecordFolder",
                                QFileInfo(path).absolutePath().toStdString());
    TFailureReport failure;
    if (!Recorder.Start(QFile::encodeName(path).toStdString(), failure))
      ShowMessageBox(QString::fromStdString(Msg.MsgOpenFileError) + "\n" +
                     QString::fromStdString(DescribeFailure(failure, CurrentLanguage)));
  }
  RecordingChanged();
}

void TFormHlav::RecordingChanged() {
  const bool recording = Recorder.IsRecording();
  MenuRecord->setChecked(recording);
  if (recording && LabelRecording == nullptr) {
    LabelRecording = new QLabel(StatusBar1);
    LabelRecording->setObjectName("LabelRecording");
    LabelRecording->setStyleSheet("color: rgb(200, 0, 0)");
    StatusBar1->addPermanentWidget(LabelRecording);
  }
  if (LabelRecording != nullptr) {
    LabelRecording->setVisible(recording);
    if (recording)
      LabelRecording->setText(QString::asprintf(
          CurveText(TCurveText::RecordingRows, CurrentLanguage), Recorder.Rows()));
  }
  if (FormCurve != nullptr) FormCurve->RecordingChanged();
}

void TFormHlav::CurveMonitorFrame() {
  MonitorRing.Push(Link.MonitorFrame.data(), MonitorClockMs());
  if (Recorder.IsRecording()) {
    TFailureReport failure;
    if (!Recorder.Record(Link.MonitorFrame.data(), UnixMs(), failure)) {
      // Told after the tick: the box is modal, and the recording has stopped already.
      QTimer::singleShot(0, this, [this, failure] {
        ShowMessageBox(Text(TCurveText::RecordStopped) + "\n" +
                       QString::fromStdString(DescribeFailure(failure, CurrentLanguage)));
      });
    }
    RecordingChanged();
  }
  if (FormCurve != nullptr && FormCurve->isVisible()) FormCurve->MonitorFrameArrived();
}

void TFormHlav::CurveTick() {
  if (FormCurve != nullptr && FormCurve->isVisible()) FormCurve->Tick();
}

void TFormHlav::CurveRecordChanged() {
  if (FormCurve != nullptr) FormCurve->RecordChanged();
}

void TFormHlav::CurveTextsChanged() {
  if (FormCurve != nullptr) FormCurve->ApplyTexts();
  ShowBikeInCurveTitle();
  RecordingChanged();
}

void TFormHlav::CloseCurveWindow() {
  Recorder.Stop();
}
