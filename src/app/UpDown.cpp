#include "app/UpDown.h"

#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include <algorithm>

TUpDown::TUpDown(QWidget* parent, QLineEdit* associate, int min, int max, int increment)
    : QWidget(parent), FAssociate(associate), FMin(min), FMax(max), FIncrement(increment),
      FPosition(min) {
  FUp = new QToolButton(this);
  FDown = new QToolButton(this);
  FUp->setArrowType(Qt::UpArrow);
  FDown->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {FUp, FDown}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
  }
  const QRect edit = associate->geometry();
  setGeometry(edit.right() + 1, edit.top(), 16, edit.height());
  FUp->setGeometry(0, 0, 16, edit.height() / 2);
  FDown->setGeometry(0, edit.height() / 2, 16, edit.height() - edit.height() / 2);
  connect(FUp, &QToolButton::clicked, this, [this] { Step(true); });
  connect(FDown, &QToolButton::clicked, this, [this] { Step(false); });
  ShowPosition();
}

int TUpDown::Position() {
  QString text = FAssociate->text();
  const QLocale locale;
  text.remove(locale.groupSeparator());
  text.remove(QChar(' '));
  text.remove(QChar(0x00A0));
  text.remove(QChar(0x202F));
  bool ok = false;
  const qlonglong typed = text.toLongLong(&ok);
  if (ok) FPosition = static_cast<int>(std::clamp<qlonglong>(typed, FMin, FMax));
  return FPosition;
}

void TUpDown::SetPosition(int value) {
  FPosition = std::clamp(value, FMin, FMax);
  ShowPosition();
}

void TUpDown::Step(bool up, int steps) {
  const int from = Position();
  const int by = FIncrement * steps;
  SetPosition(up ? from + by : from - by);
  emit Clicked();
}

void TUpDown::ShowPosition() {
  // Numbers of 1000 and more carry the locale's thousands separator.
  const QLocale locale;
  FAssociate->setText(FPosition >= 1000 || FPosition <= -1000 ? locale.toString(FPosition)
                                                              : QString::number(FPosition));
}
