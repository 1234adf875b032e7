// Helpers for the window tests: a private settings directory per test, and an
// answerer for the modal boxes that the window opens.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

// Points VANTEL_HOME (and the ten port names) at a fresh directory for its lifetime, and
// XDG_DATA_HOME at its folder "data", so no test reads or writes the user's own settings or
// restore points, or opens a real serial port.
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

#include <deque>
#include <functional>

#include "SimUnit.h"
#include "link/Port.h"

// The simulated unit in-process behind the port interface: every request is answered at
// once, so the window's own ticks carry a transfer through in a few hundred milliseconds.
class TSimPort : public TPort {
public:
  TSimUnit Unit;
  bool IsOpen() const override { return true; }
  int BytesWaiting() override { return static_cast<int>(Pending.size()); }
  int Read(std::uint8_t* buffer, int max) override;
  bool Write(const std::uint8_t* data, int count) override;
  bool WaitSent(int) override { return true; }
  void Close() override {}
  // Changes each monitor reply before it leaves (the frame is sealed again afterwards).
  std::function<void(TLinkFrame&)> EditMonitor;

private:
  TSimRequestReader Requests;
  std::deque<std::uint8_t> Pending;
};

class QFileDialog;
// Where the keyboard goes now: an open pop-up (a completion list) takes it before the
// focus widget.
QWidget* KeyTarget();
// A key as a person presses it, to the widget that has the focus in window. Offscreen has
// no window manager to hand the activation back after a box; this does its part.
void Press(QWidget* window, const QKeySequence& key);
// The file dialog that is open now, as a person sees it; nullptr when none is.
QFileDialog* ActiveFileDialog();

// While it lives, each file dialog that opens gets the next of the names typed into its
// name field, key by key, and Enter; an empty name, or a dialog beyond the list, gets
// Escape. With awaitCompletion it lets the completion list come up before Enter.
class TFileDialogTyper : public QObject {
public:
  explicit TFileDialogTyper(const QStringList& names, bool awaitCompletion = false);
  QStringList Proposed; // the file each dialog proposed when it opened
  bool CompletionShown = false;
  std::function<void(QFileDialog*)> Before; // runs in each dialog before the typing

private:
  QTimer Poll;
  bool Busy = false;
};
