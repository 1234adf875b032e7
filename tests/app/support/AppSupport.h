// Helpers for the window tests: a private settings directory per test, and an
// answerer for the modal boxes that the window opens.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

// Points VANTEL_HOME (and the ten port names) at a fresh directory for its lifetime, so no
// test reads or writes the user's own settings or opens a real serial port.
class TTestHome {
public:
  TTestHome();
  ~TTestHome();
  QString Path() const { return Dir.path(); }
  QString File(const QString& name) const { return Dir.filePath(name); }
  // Writes a text file into the settings directory.
  void Write(const QString& name, const QByteArray& content) const;

private:
  QTemporaryDir Dir;
};

// While it lives, every modal message box is answered with Answer at once and its text kept.
class TModalAnswerer : public QObject {
public:
  explicit TModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
  QMessageBox::StandardButton Answer;
  QStringList Texts;

private:
  QTimer Poll;
};

// While it lives, the next file dialog is given path and accepted, through the dialog's
// own checks; any further one (or the same one refusing the path) is cancelled.
class TFileDialogAnswerer : public QObject {
public:
  explicit TFileDialogAnswerer(const QString& path);
  int Dialogs = 0;

private:
  bool Accepting = false;
  QTimer Poll;
};

#include <QProcess>

// The simulated unit as a child process on its own pseudo-terminal; ended with the object.
class TSimProcess {
public:
  explicit TSimProcess(const QStringList& options = {});
  ~TSimProcess();
  // The pseudo-terminal the program should open; empty when the simulator did not start.
  QString Device;

private:
  QProcess Process;
};
