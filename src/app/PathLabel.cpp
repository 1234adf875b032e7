#include "app/PathLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

QString TPathLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

QSize TPathLabel::sizeHint() const {
  return {std::min(QLabel::sizeHint().width(), width()), QLabel::sizeHint().height()};
}

QSize TPathLabel::minimumSizeHint() const {
  return {0, QLabel::minimumSizeHint().height()};
}

void TPathLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(),
                        QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

bool TPathLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const QString shown = ShownText();
    if (shown != text())
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QLabel::event(event);
}
