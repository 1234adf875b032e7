// The two drawings of the curve window: the advance curve with the live engine on it, where
// points are dragged, and the strip chart of the last minute of live values. Both read the
// main window's record and monitor ring when they paint; nothing is drawn in the tick.
#pragma once

#include <QPixmap>
#include <QPointF>
#include <QSize>
#include <QWidget>

#include <optional>

#include "app/CurveDrawing.h"
#include "model/CurveGeometry.h"
#include "model/Types.h"

class QPainter;
class TFormHlav;

class TCurveGraph : public QWidget {
public:
  TCurveGraph(TFormHlav& form, QWidget* parent);

  // The scale as drawn now; while a point is dragged, the one of the press.
  TCurveScale Scale() const;
  // Where point index (0..14) is drawn, for the record as it stands.
  QPointF PointPosition(int index) const;
  // Where the live operating point is drawn; none while it is not shown.
  std::optional<QPointF> LivePoint() const;
  int SelectedPoint() const { return Selected; }
  bool Dragging() const { return Dragged >= 0; }
  int Paints() const { return PaintCount; }

  // Colours a test or a user can look for.
  static const QColor LiveColour;
  static const QColor ActiveColour;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  // What the cached background was drawn for.
  struct TBackgroundKey {
    QSize Size;
    qreal PixelRatio = 0;
    TCurveAxes Axes;
    TLanguage Language = 0;
    TIgnParams Params{};
    bool operator==(const TBackgroundKey& other) const;
  };

  TPlotArea PlotArea() const;
  // What the shared curve drawing paints for the record and the marks as they stand.
  TCurveDrawing Drawing(const TCurveScale& scale) const;
  TCurveScale CurrentScale() const;
  // The point's value into its spinners, then the change path of a spinner click.
  void ApplyPointValue(int index, const TCurvePointValue& value);
  void CancelDrag();

  TFormHlav& Form;
  int Selected = -1;
  int Dragged = -1;   // the point held by the mouse, -1 for none
  bool Moved = false; // the pointer has gone farther than a click
  QPointF PressPosition;
  TCurvePointValue PressValue, DragValue;
  TCurveScale DragScale;      // frozen while a point is held, so it stays under the pointer
  QPixmap Background, Labels; // drawn again only when the key changes
  TBackgroundKey BackgroundKey;
  int PaintCount = 0;
};

class TStripChart : public QWidget {
public:
  TStripChart(TFormHlav& form, QWidget* parent);
  int Paints() const { return PaintCount; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TFormHlav& Form;
  int PaintCount = 0;
};
