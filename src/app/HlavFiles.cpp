// The New, Open and Save commands and the settings and state files: the window side.
#include "app/Hlav.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QCheckBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <string>
#include <vector>

#include "files/IgnFile.h"
#include "files/Profile.h"
#include "model/SettingsDir.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "files/StateFile.h"
#include "model/Defaults.h"
#include "ui/WindowPlace.h"

namespace {

const std::string Section = "FORM_HLAV";

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FileFailureText(const TFailureReport& failure) {
  return QString::fromStdString(DescribeFailure(failure, CurrentLanguage));
}

// The given text, then which file and why.
QString OpenFileErrorText(const TMessageCatalogue& msg, const TFailureReport& failure) {
  return QString::fromStdString(msg.MsgOpenFileError) + "\n" + FileFailureText(failure);
}

TBox Box(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

int ScrollBarWidth(const QWidget* window) {
  return window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// The window on the available area of the screen it belongs to (that it overlaps most, else
// the nearest); outer is its place with its frame. A stored place is kept as it was while
// the window fits: a window larger than the area is made as large as the area and brought
// wholly onto it, as is a window placed by the program itself.
TBox PlaceOnScreen(const QWidget* window, const TBox& outer, bool stored) {
  std::vector<TBox> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.push_back(Box(screen->availableGeometry()));
  const int index = AreaOf(outer, areas.data(), static_cast<int>(areas.size()));
  if (index < 0) return outer;
  const TBox& area = areas[index];
  const bool fits = outer.Width <= area.Width && outer.Height <= area.Height;
  if (stored && fits) return outer;
  return KeepOnArea(outer, area, ScrollBarWidth(window));
}

// While the window has no frame yet (the platform, or on X11 the window manager, adds it
// later) sizes are taken as client sizes; once the frame is known the size is corrected:
// the stored outer size, else the frame would grow the window at every start, and no
// larger than the available area, else the status bar ends below the screen's edge.
class TOuterSizeKeeper : public QObject {
public:
  // outer: the stored outer size; empty: the design size with the frame. storedPlace: the
  // window stands where the user left it, not where the program put it.
  TOuterSizeKeeper(TFormHlav* window, QSize outer, bool storedPlace)
      : QObject(window), Window(window), Outer(outer), StoredPlace(storedPlace) {
    window->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
    case QEvent::WinIdChange:
    case QEvent::PlatformSurface:
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
      break;
    default:
      return false;
    }
    const QSize frame = Window->FrameExtent();
    if (frame.isNull()) return false;
    Window->removeEventFilter(this);
    // The whole frame on the area: placed before the frame was known, the window would
    // otherwise reach past the screen's edge by the frame's height.
    const QSize outer = Outer.isEmpty() ? Window->DesignSize() + frame : Outer;
    const TBox placed = PlaceOnScreen(
        Window, {Window->x(), Window->y(), outer.width(), outer.height()}, StoredPlace);
    Window->resize(QSize(placed.Width, placed.Height) - frame);
    Window->move(placed.Left, placed.Top);
    deleteLater();
    return false;
  }

private:
  TFormHlav* Window;
  QSize Outer;
  bool StoredPlace;
};

} // namespace

QString TFormHlav::FileErrorText(const TFailureReport& failure) const {
  return OpenFileErrorText(Msg, failure);
}

void TFormHlav::MenuNewClick() {
  const int answer = ShowMessageBox(QString::fromStdString(Msg.MsgAskDefaults),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer != QMessageBox::Yes) return;
  LoadDefaultParams(Image.Params);
  ParamsChanged();
  LabelHlaseni->hide();
  CGaugeProgram->hide();
  LabelFile2->setText("");
}

void TFormHlav::MenuSaveClick() {
  SaveDialog1.FilterIndex = 0;
  const QString path = RunIgnFileDialog(this, TFileDialogKind::Save, SaveDialog1);
  if (path.isEmpty()) return;

  // Tried before Save takes the screen, so that a file that cannot be written changes
  // nothing at all.
  TFailureReport failure;
  if (!CheckReplaceable(LocalPath(path), failure)) {
    ShowMessageBox(OpenFileErrorText(Msg, failure));
    return;
  }
  ScreenToParams();
  NormaliseParams();
  ParamsToScreen();

  if (!WriteFileSafely(LocalPath(path), IgnFileText(Image.Params), failure)) {
    ShowMessageBox(OpenFileErrorText(Msg, failure));
    return;
  }
  LabelFile2->setText(path);
  LastFilePath = path;
  OpenDialog1.FileName = path;
  EnterBikeHistory(TEntryKind::Saved, Identity, LocalPath(path));
}

void TFormHlav::MenuOpenClick() {
  OpenParameterFile(RunIgnFileDialog(this, TFileDialogKind::Open, OpenDialog1));
}

void TFormHlav::OpenParameterFile(const QString& path) {
  if (!path.isEmpty()) {
    std::string text;
    TFailureReport failure;
    if (!ReadFileSafely(LocalPath(path), text, failure)) {
      ShowMessageBox(OpenFileErrorText(Msg, failure));
    } else if (ReadIgnFile(text, Image.Params)) {
      ParamsChanged();
      LabelFile2->setText(path);
      LastFilePath = path;
      SaveDialog1.FileName = path;
    } else {
      ShowMessageBox(QString::fromStdString(Msg.MsgFileVersionMismatch));
    }
  }
  LabelHlaseni->hide();
  CGaugeProgram->hide();
}

void TFormHlav::OpenFileArgument(const QString& path) {
  PendingOpens << path;
  ServePendingOpens();
}

void TFormHlav::InstanceRequest(const QString& path) {
  if (!path.isEmpty()) {
    const QFileInfo file(path);
    if (!file.isAbsolute() || !file.isFile()) return;
  }
  PendingOpens << path; // empty: only raise
  ServePendingOpens();
}

void TFormHlav::ServePendingOpens() {
  if (Closed || PendingOpens.isEmpty()) return;
  // Opening under an open box or dialog would change the record under the command that
  // opened it.
  if (QApplication::activeModalWidget() != nullptr ||
      QApplication::activePopupWidget() != nullptr) {
    QTimer::singleShot(200, this, &TFormHlav::ServePendingOpens);
    return;
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  while (!PendingOpens.isEmpty()) {
    const QString path = PendingOpens.takeFirst();
    if (!path.isEmpty()) OpenParameterFile(path);
  }
}

void TFormHlav::CentreWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize frame = frameGeometry().size() - size();
  const QSize outer = DesignSize() + frame;
  const TBox placed = ::CentreWindow(outer.width(), outer.height(), Box(screen->geometry()),
                                     Box(screen->availableGeometry()), ScrollBarWidth(this));
  resize(placed.Width - frame.width(), placed.Height - frame.height());
  move(placed.Left, placed.Top);
}

void TFormHlav::LoadSettings() {
  const TProfileFile& ini = *IniFile;

  // A place saved on a screen that is no longer attached would bring the window up where
  // nobody can see it; then it starts centred. The window, frame included, is no larger than
  // the screen's available area.
  const int left = ini.ReadInteger(Section, "Left", x());
  const int top = ini.ReadInteger(Section, "Top", y());
  const QSize frame = FrameExtent();
  const int height = ini.ReadInteger(Section, "Height", frameGeometry().height());
  const int width = ini.ReadInteger(Section, "Width", frameGeometry().width());
  TBox wanted{left, top, width, height};
  bool visible = false;
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(QRect(left, top, width, height))) visible = true;
  if (!visible) wanted.Left = x(), wanted.Top = y();
  const bool storedPlace = visible && (!ini.ReadString(Section, "Left", "").empty() ||
                                       !ini.ReadString(Section, "Top", "").empty());
  const TBox placed = PlaceOnScreen(this, wanted, storedPlace);
  resize(placed.Width - frame.width(), placed.Height - frame.height());
  move(placed.Left, placed.Top);
  // Outer size: the frame is added to the client size once the window has one.
  if (frame.isNull()) {
    const bool stored = !ini.ReadString(Section, "Height", "").empty() ||
                        !ini.ReadString(Section, "Width", "").empty();
    new TOuterSizeKeeper(this, stored ? QSize(width, height) : QSize(), storedPlace);
  }

  ComPort = static_cast<std::uint8_t>(ini.ReadInteger(Section, "ComPort", ComPort));
  CurrentLanguage = static_cast<TLanguage>(ini.ReadInteger(Section, "Language", CurrentLanguage));
  LabelFile2->setText(QString::fromStdString(ini.ReadString(Section, "File", "")));
  LastFilePath = QString::fromStdString(ini.ReadString(Section, "IniDir", ""));
  OpenDialog1.FileName = LastFilePath;
  SaveDialog1.FileName = LastFilePath;
  CheckBoxIgnAll->setChecked(
      ini.ReadInteger(Section, "CheckBoxIgnAll->Checked", CheckBoxIgnAll->isChecked()) != 0);

  ReadStateFile(LocalPath(StateFilePath), Image);
}

TProfileFile& TFormHlav::ExtraSettings() {
  if (ExtraIniFile == nullptr) ExtraIniFile = std::make_unique<TProfileFile>(ExtraSettingsPath());
  return *ExtraIniFile;
}

void TFormHlav::SaveSettings() {
  TProfileFile& ini = *IniFile;
  ini.WriteInteger(Section, "Left", x());
  ini.WriteInteger(Section, "Top", y());
  ini.WriteInteger(Section, "Height", frameGeometry().height());
  ini.WriteInteger(Section, "Width", frameGeometry().width());
  ini.WriteInteger(Section, "ComPort", ComPort);
  ini.WriteInteger(Section, "Language", CurrentLanguage);
  ini.WriteString(Section, "File", LabelFile2->text().toStdString());
  ini.WriteString(Section, "IniDir", LastFilePath.toStdString());
  ini.WriteInteger(Section, "CheckBoxIgnAll->Checked", CheckBoxIgnAll->isChecked() ? 1 : 0);

  // The program closes whatever happens; the user is told once what was not kept.
  QStringList failures;
  TFailureReport failure;
  if (!ini.Flush(failure)) failures << FileFailureText(failure);
  if (!WriteStateFile(LocalPath(StateFilePath), Image, failure))
    failures << FileFailureText(failure);
  if (ExtraIniFile != nullptr && !ExtraIniFile->Flush(failure))
    failures << FileFailureText(failure);
  if (!failures.isEmpty())
    ShowMessageBox(QString::fromStdString(Msg.MsgOpenFileError) + "\n" +
                   QString::fromStdString(SettingsNotKeptText(CurrentLanguage)) + "\n" +
                   failures.join("\n"));
}
