#include "support/AppSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>

TTestHome::TTestHome() {
  qputenv("VANTEL_HOME", Dir.path().toLocal8Bit());
  for (int n = 1; n <= 10; ++n)
    qputenv(QString("VANTEL_COM%1").arg(n).toLocal8Bit(),
            Dir.filePath(QString("no-such-port-%1").arg(n)).toLocal8Bit());
}

TTestHome::~TTestHome() {
  qunsetenv("VANTEL_HOME");
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
      // A click, so that Qt's own questions (which ask for the clicked button) get it too.
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
