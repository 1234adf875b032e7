// The end of the session closes the main window the way Exit does, so its closing
// sequence saves the settings and the state file: SIGTERM (logout, shutdown, kill),
// SIGHUP (the terminal gone), SIGINT (Ctrl+C) and the desktop session's own request.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

class TSessionEnd : public QObject {
public:
  // Installs the signal handlers; one object per program.
  explicit TSessionEnd(QObject* parent = nullptr);
  ~TSessionEnd() override;
  TSessionEnd(const TSessionEnd&) = delete;
  TSessionEnd& operator=(const TSessionEnd&) = delete;

  // The window to close; a request that came while it was being built is carried out
  // once the event loop runs.
  void SetWindow(QWidget* window);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Request();
  void CloseWindow();

  QPointer<QWidget> Window;
  bool Requested = false;
  QSocketNotifier* Notifier = nullptr;
};
