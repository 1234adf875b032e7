// Helpers for the window tests: the settings home with Qt strings, answerers for the boxes and
// dialogs the window opens, the simulated unit behind the port interface, and real keys.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

#include "SimUnit.h"
#include "model/IgnParams.h"
#include "link/Port.h"
#include "support/SimProcess.h"
#include "support/TempHome.h"

// The test's own settings home (TTempHome) with Qt strings, and the ten Com items leading to
// devices that do not exist, so no window test reads or writes the user's own settings or
// opens a real serial port.
class TTestHome : public TTempHome {
public:
  TTestHome() : TTempHome(TPorts::Absent) {}
  QString Path() const { return QString::fromStdString(TTempHome::Path()); }
  QString File(const QString& name) const { return Path() + '/' + name; }
  // Writes a file into the settings directory.
  void Write(const QString& name, const QByteArray& content) const {
    TTempHome::Write(name.toStdString(), content.toStdString());
  }
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

// While it lives, the next file dialog is given path (after an optional action) and accepted
// through the dialog's own checks; an empty path, and any further dialog, is cancelled.
// Proposed keeps the file each dialog proposed when it opened.
class TFileDialogAnswerer : public QObject {
public:
  explicit TFileDialogAnswerer(const QString& path, std::function<void()> before = {});
  QStringList Proposed;

private:
  bool Busy = false; // the dialog's own questions (replace the file?) run inside accept()
  QTimer Poll;
};

// The simulated unit in-process behind the port interface: every request is answered at
// once, so the window's own ticks carry a transfer through in a few hundred milliseconds.
class TSimPort : public TPort {
public:
  TSimUnit Unit;
  bool IsOpen() const override { return true; }
  TPortCount BytesWaiting() override { return Counted(static_cast<int>(Pending.size())); }
  TPortCount Read(std::uint8_t* buffer, int max) override;
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

// A file's bytes; empty when it cannot be read.
QByteArray FileBytes(const QString& path);
// The bytes Save writes for a record.
QByteArray IgnBytes(const TIgnParams& p);
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

// Layout invariants of a window's area, checked rather than tabled: why a control cuts its
// text (label, button, group title, list item, edit) or sticks out of its parent, empty when
// it does not.
QString TextCut(QWidget* control);
// Every shown, named control below area that cuts its text or sticks out of its parent, and
// any two shown named neighbours that overlap; each fault begins with context.
QStringList LayoutFaults(QWidget* area, const QString& context);
