#include "app/SessionEnd.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT};
int SignalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe, which the event loop reads.
void OnEndingSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  const ssize_t written = ::write(SignalPipe[1], &byte, 1);
  (void)written; // a full pipe already holds a request
  errno = saved;
}

// Open boxes and dialogs give way as if cancelled, so the commands that opened them end
// before the window closes, and a box during start-up lets the start-up finish. What a
// box had to say goes to the standard error output, not lost unseen.
void GiveWay(QWidget* widget) {
  if (auto* box = qobject_cast<QMessageBox*>(widget))
    std::fprintf(stderr, "%s\n", box->text().toLocal8Bit().constData());
  if (auto* dialog = qobject_cast<QDialog*>(widget))
    dialog->reject();
  else
    widget->close();
}

} // namespace

TSessionEnd::TSessionEnd(QObject* parent) : QObject(parent) {
  if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    Notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] {
      char bytes[16];
      while (::read(SignalPipe[0], bytes, sizeof bytes) > 0) {
      }
      Request();
    });
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals) sigaction(signal, &action, nullptr);
  }
#ifndef QT_NO_SESSIONMANAGER
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Request(); });
#endif
}

TSessionEnd::~TSessionEnd() {
  if (SignalPipe[0] < 0) return;
  for (const int signal : EndingSignals) std::signal(signal, SIG_DFL);
  delete Notifier;
  ::close(SignalPipe[0]);
  ::close(SignalPipe[1]);
  SignalPipe[0] = SignalPipe[1] = -1;
}

void TSessionEnd::SetWindow(QWidget* window) {
  Window = window;
  // Shown first by the program entry, then closed from the event loop.
  if (Requested) QMetaObject::invokeMethod(this, &TSessionEnd::CloseWindow, Qt::QueuedConnection);
}

void TSessionEnd::Request() {
  if (!Requested) qApp->installEventFilter(this);
  Requested = true;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->isModal() && widget != Window) GiveWay(widget);
  if (Window != nullptr)
    QMetaObject::invokeMethod(this, &TSessionEnd::CloseWindow, Qt::QueuedConnection);
}

bool TSessionEnd::eventFilter(QObject* watched, QEvent* event) {
  // Nobody is left to answer a box that opens from now on, the closing message included.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::Show && widget != nullptr && widget->isWindow() &&
      widget->isModal() && widget != Window)
    QMetaObject::invokeMethod(
        widget, [widget] { GiveWay(widget); }, Qt::QueuedConnection);
  return false;
}

void TSessionEnd::CloseWindow() {
  if (Window != nullptr) Window->close();
}
