// A label for a file path: a path wider than the label is shown with its middle left out,
// so the folder's start and the file name stay readable, and the full path is its tooltip.
// text() stays the full path.
#pragma once

#include <QLabel>

class TPathLabel : public QLabel {
  Q_OBJECT
public:
  using QLabel::QLabel;
  // The text as drawn.
  QString ShownText() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};
