#include "support/AppSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include <algorithm>

TTestHome::TTestHome() {
  qputenv("VANTEL_HOME", Dir.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", Dir.filePath("data").toLocal8Bit());
  for (int n = 1; n <= 10; ++n)
    qputenv(QString("VANTEL_COM%1").arg(n).toLocal8Bit(),
            Dir.filePath(QString("no-such-port-%1").arg(n)).toLocal8Bit());
}

TTestHome::~TTestHome() {
  qunsetenv("VANTEL_HOME");
  qunsetenv("XDG_DATA_HOME");
  for (int n = 1; n <= 10; ++n) qunsetenv(QString("VANTEL_COM%1").arg(n).toLocal8Bit());
}

void TTestHome::Write(const QString& name, const QByteArray& content) const {
  QFile file(Dir.filePath(name));
  if (file.open(QIODevice::WriteOnly)) file.write(content);
}

TModalAnswerer::TModalAnswerer(QMessageBox::StandardButton answer) : Answer(answer) {
  Poll.setInterval(5);
  connect(&Poll, &QTimer::timeout, this, [this] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      Texts << box->text();
      // Clicked as a person would: the toolkit's own boxes read the button clicked.
      if (QAbstractButton* button = box->button(Answer))
        button->click();
      else
        box->done(Answer);
    }
  });
  Poll.start();
}

TFileDialogAnswerer::TFileDialogAnswerer(const QString& path) {
  Poll.setInterval(5);
  connect(&Poll, &QTimer::timeout, this, [this, path] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || Accepting) return; // not while the dialog asks its own questions
    if (++Dialogs > 1) {
      dialog->reject();
      return;
    }
    // The dialog leaves a focused file name edit alone, as a user may be typing in it.
    if (QWidget* focus = dialog->focusWidget()) focus->clearFocus();
    dialog->selectFile(path);
    Accepting = true;
    static_cast<QDialog*>(dialog)->accept();
    Accepting = false;
  });
  Poll.start();
}

TSimProcess::TSimProcess(const QStringList& options) {
  const QString program = qEnvironmentVariable("VANTEL_SIM");
  if (program.isEmpty()) return;
  Process.start(program, options);
  if (!Process.waitForStarted(5000)) return;
  for (int i = 0; i < 50 && !Process.canReadLine(); ++i) Process.waitForReadyRead(100);
  Device = QString::fromLocal8Bit(Process.readLine()).trimmed();
}

TSimProcess::~TSimProcess() {
  if (Process.state() == QProcess::NotRunning) return;
  Process.terminate();
  if (!Process.waitForFinished(3000)) Process.kill();
  Process.waitForFinished(1000);
}

int TSimPort::Read(std::uint8_t* buffer, int max) {
  int count = 0;
  while (count < max && !Pending.empty()) {
    buffer[count++] = Pending.front();
    Pending.pop_front();
  }
  return count;
}

bool TSimPort::Write(const std::uint8_t* data, int count) {
  Requests.Feed(data, static_cast<std::size_t>(count), 0);
  TLinkFrame request;
  std::vector<std::uint8_t> reply;
  while (Requests.NextRequest(request)) {
    Unit.HandleRequest(request.data(), reply);
    if (EditMonitor && reply.size() == FrameSize && reply[0] == MonitorReplyCommand) {
      TLinkFrame frame;
      std::copy(reply.begin(), reply.end(), frame.begin());
      EditMonitor(frame);
      SealFrame(frame);
      reply.assign(frame.begin(), frame.end());
    }
    Pending.insert(Pending.end(), reply.begin(), reply.end());
  }
  return true;
}

QFileDialog* ActiveFileDialog() {
  return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
}

QWidget* KeyTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::focusWidget();
}

void Press(QWidget* window, const QKeySequence& key) {
  if (!window->isActiveWindow()) window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) qWarning("the window did not become active");
  QTest::keyClick(KeyTarget(), key[0].key(), key[0].keyboardModifiers());
}

TFileDialogTyper::TFileDialogTyper(const QStringList& names, bool awaitCompletion) {
  Poll.setInterval(10);
  connect(&Poll, &QTimer::timeout, this, [this, names, awaitCompletion] {
    QFileDialog* dialog = ActiveFileDialog();
    if (Busy || dialog == nullptr) return;
    if (!dialog->isActiveWindow()) { // back from a box of its own
      dialog->activateWindow();
      return;
    }
    Busy = true;
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    const QString name = names.value(Proposed.size());
    Proposed << (edit != nullptr ? dialog->directory().filePath(edit->text()) : QString());
    if (Before) Before(dialog);
    if (edit == nullptr || name.isEmpty()) {
      QTest::keyClick(KeyTarget(), Qt::Key_Escape);
    } else {
      edit->setFocus();
      edit->selectAll();
      for (const QChar c : name) QTest::keyClick(KeyTarget(), c.toLatin1());
      auto* completer = edit->completer();
      if (awaitCompletion && completer != nullptr) {
        for (int i = 0; i < 200 && !completer->popup()->isVisible(); ++i) QTest::qWait(10);
        CompletionShown = completer->popup()->isVisible();
      }
      QTest::keyClick(KeyTarget(), Qt::Key_Return);
    }
    Busy = false;
  });
  Poll.start();
}
