// The New, Open and Save commands and the settings and state files: the window side.
#include "app/Hlav.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QCheckBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>

#include <sstream>
#include <string>

#include "files/IgnFile.h"
#include "files/Profile.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "files/StateFile.h"
#include "model/Defaults.h"

namespace {

const std::string Section = "FORM_HLAV";
const QString IgnFilter = "Ignition Parametrs(*.ign)";
const QString AllFilter = "All Files (*.*)";

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Once per dialog, so the Open dialog keeps the filter the user left it with.
void PrepareDialog(QFileDialog* dialog, bool save) {
  if (!dialog->defaultSuffix().isEmpty()) return;
  dialog->setDefaultSuffix("ign");
  if (save) {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({IgnFilter});
  } else {
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({IgnFilter, AllFilter});
  }
  dialog->selectNameFilter(IgnFilter);
  dialog->setSizeGripEnabled(true);
}

// The dialog opens in the file's folder with the file's name filled in.
void ProposeFile(QFileDialog* dialog, const QString& path) {
  if (path.isEmpty()) return;
  const QFileInfo info(path);
  dialog->setDirectory(info.absolutePath());
  dialog->selectFile(info.absoluteFilePath());
}

QString ChosenFile(QFileDialog* dialog) {
  const QStringList files = dialog->selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

QString FileFailureText(const TFailureReport& failure) {
  return QString::fromStdString(DescribeFailure(failure, CurrentLanguage));
}

// The given text, then which file and why.
QString OpenFileErrorText(const TMessageCatalogue& msg, const TFailureReport& failure) {
  return QString::fromStdString(msg.MsgOpenFileError) + "\n" + FileFailureText(failure);
}

// While the window has no frame yet (the platform, or on X11 the window manager, adds it
// later) the stored outer size is taken as the client size; once the frame is known the
// size is corrected, else the window would grow by its frame at every start.
class TOuterSizeKeeper : public QObject {
public:
  TOuterSizeKeeper(QWidget* window, QSize outer) : QObject(window), Window(window), Outer(outer) {
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
    const QSize frame = Window->frameGeometry().size() - Window->size();
    if (frame.isNull()) return false;
    Window->removeEventFilter(this);
    Window->resize(Outer - frame);
    deleteLater();
    return false;
  }

private:
  QWidget* Window;
  QSize Outer;
};

} // namespace

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
  PrepareDialog(SaveDialog1, true);
  SaveDialog1->selectNameFilter(IgnFilter);
  if (SaveDialog1->exec() != QDialog::Accepted) return;
  const QString path = ChosenFile(SaveDialog1);
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

  std::ostringstream text(std::ios::out | std::ios::binary);
  WriteIgnFile(text, Image.Params);
  if (!WriteFileSafely(LocalPath(path), text.str(), failure)) {
    ShowMessageBox(OpenFileErrorText(Msg, failure));
    return;
  }
  LabelFile2->setText(path);
  LastFilePath = path;
  PrepareDialog(OpenDialog1, false);
  ProposeFile(OpenDialog1, path);
}

void TFormHlav::MenuOpenClick() {
  PrepareDialog(OpenDialog1, false);
  if (OpenDialog1->exec() == QDialog::Accepted) {
    const QString path = ChosenFile(OpenDialog1);
    std::string text;
    TFailureReport failure;
    const bool read = ReadFileSafely(LocalPath(path), text, failure);
    std::istringstream in(text, std::ios::in | std::ios::binary);
    if (!read) {
      ShowMessageBox(OpenFileErrorText(Msg, failure));
    } else if (ReadIgnFile(in, Image.Params)) {
      ParamsChanged();
      LabelFile2->setText(path);
      LastFilePath = path;
      PrepareDialog(SaveDialog1, true);
      ProposeFile(SaveDialog1, path);
    } else {
      ShowMessageBox(QString::fromStdString(Msg.MsgFileVersionMismatch));
    }
  }
  LabelHlaseni->hide();
  CGaugeProgram->hide();
}

void TFormHlav::LoadSettings() {
  const TProfileFile& ini = *IniFile;

  const QPoint centred = pos();
  const int left = ini.ReadInteger(Section, "Left", x());
  const int top = ini.ReadInteger(Section, "Top", y());
  move(left, top);
  // Outer size: the frame is added to the client size once the window has one.
  const QSize frame = frameGeometry().size() - size();
  const int height = ini.ReadInteger(Section, "Height", frameGeometry().height());
  const int width = ini.ReadInteger(Section, "Width", frameGeometry().width());
  resize(width - frame.width(), height - frame.height());
  if (frame.isNull() && (!ini.ReadString(Section, "Height", "").empty() ||
                         !ini.ReadString(Section, "Width", "").empty()))
    new TOuterSizeKeeper(this, QSize(width, height));

  // A position saved on a screen that is no longer attached would bring the window up
  // where nobody can see it; then it stays centred.
  const QRect wanted(left, top, width, height);
  bool visible = false;
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(wanted)) visible = true;
  if (!visible) move(centred);

  ComPort = static_cast<std::uint8_t>(ini.ReadInteger(Section, "ComPort", ComPort));
  CurrentLanguage = static_cast<TLanguage>(ini.ReadInteger(Section, "Language", CurrentLanguage));
  LabelFile2->setText(QString::fromStdString(ini.ReadString(Section, "File", "")));
  LastFilePath = QString::fromStdString(ini.ReadString(Section, "IniDir", ""));
  PrepareDialog(OpenDialog1, false);
  PrepareDialog(SaveDialog1, true);
  ProposeFile(OpenDialog1, LastFilePath);
  ProposeFile(SaveDialog1, LastFilePath);
  CheckBoxIgnAll->setChecked(
      ini.ReadInteger(Section, "CheckBoxIgnAll->Checked", CheckBoxIgnAll->isChecked()) != 0);

  ReadStateFile(LocalPath(StateFilePath), Image);
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
  if (!failures.isEmpty())
    ShowMessageBox(QString::fromStdString(Msg.MsgOpenFileError) + "\n" +
                   QString::fromStdString(SettingsNotKeptText(CurrentLanguage)) + "\n" +
                   failures.join("\n"));
}
