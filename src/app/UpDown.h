// An edit with its up-down spinner, as two separate controls: the edit (EditX) shows the
// position and lets the user type it, the spinner (UpDownX) steps it. The spinner can be
// hidden while the edit stays (print layout).
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class TUpDown : public QWidget {
  Q_OBJECT
public:
  TUpDown(QWidget* parent, QLineEdit* associate, int min, int max, int increment);

  // The position: a number typed into the edit becomes the position, kept within the
  // range; a text that is no number leaves the last position.
  int Position();
  void SetPosition(int value);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  // One click of the spinner: up (+increment) or down; steps clicks' worth at once (the
  // page keys), still one click.
  void Step(bool up, int steps = 1);
  QLineEdit* Associate() const { return FAssociate; }

signals:
  void Clicked(); // after a click of either arrow changed or tried to change the position

private:
  void ShowPosition();

  QLineEdit* FAssociate;
  QToolButton* FUp;
  QToolButton* FDown;
  int FMin, FMax, FIncrement, FPosition;
};
