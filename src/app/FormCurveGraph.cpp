#include "app/FormCurveGraph.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPainterPath>

#include <algorithm>
#include <cstring>

#include "app/CurveDrawing.h"
#include "app/Hlav.h"
#include "app/UpDown.h"
#include "i18n/CurveTexts.h"
#include "link/Monitor.h"
#include "model/Conversions.h"

const QColor TCurveGraph::LiveColour(230, 90, 0);
const QColor TCurveGraph::ActiveColour = CurveActiveColour;

namespace {

constexpr std::int64_t TrailMs = 4000;
constexpr std::int64_t StripMs = 60000;
// A gap this long between two frames breaks the lines of the strip chart.
constexpr std::int64_t GapMs = 2000;
constexpr double LiveRadius = 6, HitRadius = 10;
// How far the pointer must go before a press becomes a drag: a click only selects.
constexpr double DragThreshold = 3;

const QColor AxisTextColour(70, 70, 70);

QString Text(TCurveText key) {
  return QString::fromUtf8(CurveText(key, CurrentLanguage));
}

QString Number(int value) {
  return QLocale().toString(value);
}

// The live samples of the trail: those of the last few seconds with a pick-up signal; none
// while the connection indicator is up.
struct TTrail {
  int First = 0, End = 0;
  int LowestAdvance = 0, HighestAdvance = 0;
};

TTrail TrailOf(const TFormHlav& form, std::int64_t now) {
  TTrail trail;
  if (form.Link.ConnectionVisible()) return trail;
  const TMonitorRing& ring = form.MonitorRing;
  trail.First = ring.FirstSince(now - TrailMs);
  trail.End = ring.Size();
  for (int i = trail.First; i < trail.End; ++i) {
    if (!ring[i].Pickup) continue;
    trail.LowestAdvance = std::min<int>(trail.LowestAdvance, ring[i].Advance);
    trail.HighestAdvance = std::max<int>(trail.HighestAdvance, ring[i].Advance);
  }
  return trail;
}

QFont SmallFont(const QWidget* widget) {
  QFont font = widget->font();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  return font;
}

} // namespace

// ---- the curve graph ----

TCurveGraph::TCurveGraph(TFormHlav& form, QWidget* parent) : QWidget(parent), Form(form) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(420, 260);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPlotArea TCurveGraph::PlotArea() const {
  return CurvePlotArea(QRectF(rect()), SmallFont(this));
}

TCurveScale TCurveGraph::CurrentScale() const {
  const TIgnParams& p = Form.Image.Params;
  const TTrail trail = TrailOf(Form, MonitorClockMs());
  return TCurveScale(
      CurveAxesFor(p, CurveStartLimiterShown(p), trail.LowestAdvance, trail.HighestAdvance),
      PlotArea());
}

TCurveScale TCurveGraph::Scale() const {
  return Dragged >= 0 ? DragScale : CurrentScale();
}

QPointF TCurveGraph::PointPosition(int index) const {
  const TCurvePointValue value = CurvePointValue(Form.Image.Params, index);
  return CurveGraphPoint(Scale(), value.Rpm, value.Advance);
}

std::optional<QPointF> TCurveGraph::LivePoint() const {
  const TMonitorSample* live = Form.MonitorRing.Newest();
  if (live == nullptr || !live->Pickup || Form.Link.ConnectionVisible()) return std::nullopt;
  return CurveGraphPoint(Scale(), live->Rpm, live->Advance);
}

bool TCurveGraph::TBackgroundKey::operator==(const TBackgroundKey& other) const {
  return Size == other.Size && PixelRatio == other.PixelRatio && Axes == other.Axes &&
         Language == other.Language && std::memcmp(&Params, &other.Params, sizeof Params) == 0;
}

TCurveDrawing TCurveGraph::Drawing(const TCurveScale& scale) const {
  TCurveDrawing drawing;
  drawing.Params = Form.Image.Params;
  drawing.Axes = scale.Axes();
  drawing.Language = CurrentLanguage;
  drawing.Font = SmallFont(this);
  if (!Form.NoActivePoint) drawing.Marks.Active = Form.ActivePoint;
  if (Dragged >= 0 && Moved) {
    drawing.Marks.Held = Dragged;
    drawing.Marks.HeldValue = DragValue;
  }
  if (Selected >= 0 && Selected < CurvePoints && hasFocus())
    drawing.Marks.Selected.set(std::size_t(Selected));
  // The curve tools' selection, and the points a dragged selection takes along.
  drawing.Marks.SelectionColour = SelectionColour();
  for (int i = 0; i < CurvePointsInUse(drawing.Params); ++i) {
    if (PointSelection.Has(i)) drawing.Marks.InSelection.set(std::size_t(i));
    if (i == Dragged || !MovesWithDrag(i)) continue;
    const TCurvePointValue value = DrawnValue(i);
    drawing.Params.RpmAdv[i] = SpeedToStored(value.Rpm);
    drawing.Params.Advance[i] = static_cast<std::uint8_t>(value.Advance);
  }
  return drawing;
}

void TCurveGraph::paintEvent(QPaintEvent*) {
  ++PaintCount;
  const std::int64_t now = MonitorClockMs();
  const TCurveScale scale = Scale();
  const TCurveDrawing drawing = Drawing(scale);
  const QRectF area(rect());

  // Grid, axes, marks and labels change only with the record, the axes, the size or the
  // language: drawn once into pictures that each repaint copies.
  const TBackgroundKey key{size(), devicePixelRatioF(), scale.Axes(), CurrentLanguage,
                           Form.Image.Params};
  if (Background.isNull() || !(key == BackgroundKey)) {
    Background = QPixmap(size() * key.PixelRatio);
    Background.setDevicePixelRatio(key.PixelRatio);
    Background.fill(Qt::white);
    QPainter background(&Background);
    DrawCurve(background, area, drawing, CurveLayerBackground);
    Labels = QPixmap(size() * key.PixelRatio);
    Labels.setDevicePixelRatio(key.PixelRatio);
    Labels.fill(Qt::transparent);
    QPainter labels(&Labels);
    DrawCurve(labels, area, drawing, CurveLayerLabels);
    BackgroundKey = key;
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, Background);
  DrawCurve(painter, area, drawing, CurveLayerLine);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(drawing.Font);
  const QFontMetricsF metrics(painter.font());

  // The trail of the last seconds, fading with age, then the live point itself.
  const TTrail trail = TrailOf(Form, now);
  const TMonitorRing& ring = Form.MonitorRing;
  std::optional<QPointF> previous;
  for (int i = trail.First; i < trail.End; ++i) {
    const TMonitorSample& s = ring[i];
    if (!s.Pickup) {
      previous.reset();
      continue;
    }
    const double age = std::clamp(double(now - s.Ms) / TrailMs, 0.0, 1.0);
    QColor colour = LiveColour;
    colour.setAlphaF(0.15 + 0.6 * (1 - age));
    const QPointF at = CurveGraphPoint(scale, s.Rpm, s.Advance);
    painter.setPen(QPen(colour, 2));
    if (previous) painter.drawLine(*previous, at);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(at, 2.5, 2.5);
    previous = at;
  }

  DrawCurve(painter, area, drawing, CurveLayerPoints);
  painter.drawPixmap(0, 0, Labels);

  if (const std::optional<QPointF> live = LivePoint()) {
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(LiveColour);
    painter.drawEllipse(*live, LiveRadius, LiveRadius);
  }

  // The value of a held point, beside it and inside the widget.
  const int inUse = CurvePointsInUse(drawing.Params);
  if (Dragged >= 0 && Dragged < inUse && Moved) {
    const QString label =
        QString::asprintf(CurveText(TCurveText::DraggedPoint, CurrentLanguage), Dragged + 1,
                          Number(DragValue.Rpm).toUtf8().constData(), DragValue.Advance);
    QRectF box = metrics.boundingRect(label).adjusted(-5, -3, 5, 3);
    box.moveTopLeft(CurveGraphPoint(scale, DragValue.Rpm, DragValue.Advance) +
                    QPointF(12, -box.height() - 12));
    box.moveLeft(std::clamp(box.left(), 2.0, width() - box.width() - 2));
    box.moveTop(std::clamp(box.top(), 2.0, height() - box.height() - 2));
    painter.setPen(QColor(120, 120, 120));
    painter.setBrush(QColor(255, 255, 225));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, label);
  }
}

// ---- the selection of the curve tools ----

QColor TCurveGraph::SelectionColour() const {
  return palette().color(QPalette::Highlight);
}

void TCurveGraph::SetSelectedPoints(TCurveSelection selection, int current) {
  PointSelection = selection;
  Selected = Anchor = current;
  update();
}

bool TCurveGraph::SeveralSelected() const {
  return PointSelection.Within(CurvePointsInUse(Form.Image.Params)).Count() > 1;
}

bool TCurveGraph::MovesWithDrag(int index) const {
  if (Dragged < 0 || !Moved) return false;
  return index == Dragged || (DragSelection && PointSelection.Has(index));
}

TCurvePointValue TCurveGraph::DrawnValue(int index) const {
  const TCurvePointValue value = CurvePointValue(Form.Image.Params, index);
  if (!MovesWithDrag(index)) return value;
  if (index == Dragged) return DragValue;
  return SteppedPointValue(value, (DragValue.Rpm - PressValue.Rpm) / RangeRpmAdv.Step,
                           (DragValue.Advance - PressValue.Advance) / RangeAdvance.Step);
}

void TCurveGraph::contextMenuEvent(QContextMenuEvent* event) {
  if (PointMenu == nullptr || Dragged >= 0) return;
  const QPointF at = event->pos();
  const int hit = CurvePointAt(Form.Image.Params, CurrentScale(), at.x(), at.y(), HitRadius);
  // A point outside the selection becomes the selection, as in a list.
  if (hit >= 0 && !PointSelection.Has(hit)) SetSelectedPoints(TCurveSelection::Point(hit), hit);
  PointMenu->popup(event->globalPos());
}

// ---- pointer and keys ----

void TCurveGraph::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Dragged >= 0) return QWidget::mousePressEvent(event);
  const TCurveScale scale = CurrentScale();
  const QPointF at = event->position();
  const int hit = CurvePointAt(Form.Image.Params, scale, at.x(), at.y(), HitRadius);
  if (hit < 0) return;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const int inUse = CurvePointsInUse(Form.Image.Params);
  if (shift || ctrl) {
    // With a modifier a click only selects.
    PointSelection = ClickedSelection(PointSelection.Within(inUse), Anchor, hit, shift, ctrl);
    if (!shift || Anchor < 0) Anchor = hit;
    Selected = hit;
    update();
    return;
  }
  DragSelection = PointSelection.Has(hit) && SeveralSelected();
  if (!DragSelection) PointSelection = TCurveSelection::Point(hit);
  Selected = Anchor = hit;
  Dragged = hit;
  Moved = false;
  PressPosition = at;
  PressValue = DragValue = CurvePointValue(Form.Image.Params, hit);
  DragScale = scale;
  update();
}

void TCurveGraph::mouseMoveEvent(QMouseEvent* event) {
  if (Dragged < 0 || !(event->buttons() & Qt::LeftButton)) return;
  const QPointF at = event->position();
  if (!Moved && (at - PressPosition).manhattanLength() < DragThreshold) return;
  Moved = true;
  DragValue = DraggedPointValue(PressValue, DragScale, PressPosition.x(), PressPosition.y(), at.x(),
                                at.y());
  update();
}

void TCurveGraph::mouseReleaseEvent(QMouseEvent* event) {
  if (Dragged < 0 || event->button() != Qt::LeftButton) return;
  const int index = Dragged;
  const QPointF at = event->position();
  if (!Moved && (at - PressPosition).manhattanLength() >= DragThreshold) Moved = true;
  const TCurvePointValue value = Moved ? DraggedPointValue(PressValue, DragScale, PressPosition.x(),
                                                           PressPosition.y(), at.x(), at.y())
                                       : PressValue;
  const bool changed = Moved && value != PressValue;
  const bool together = DragSelection, moved = Moved;
  CancelDrag();
  // A click only selects; a drag that ends where it began changes nothing.
  if (!moved && together) PointSelection = TCurveSelection::Point(index);
  if (!changed) return;
  if (together && MoveSelection)
    MoveSelection((value.Rpm - PressValue.Rpm) / RangeRpmAdv.Step,
                  (value.Advance - PressValue.Advance) / RangeAdvance.Step);
  else
    ApplyPointValue(index, value);
}

void TCurveGraph::CancelDrag() {
  Dragged = -1;
  Moved = false;
  DragSelection = false;
  update();
}

void TCurveGraph::keyPressEvent(QKeyEvent* event) {
  if (Dragged >= 0) {
    if (event->key() == Qt::Key_Escape) CancelDrag();
    return;
  }
  const int inUse = CurvePointsInUse(Form.Image.Params);
  int rpmSteps = 0, advanceSteps = 0;
  switch (event->key()) {
  case Qt::Key_Left:
    rpmSteps = -1;
    break;
  case Qt::Key_Right:
    rpmSteps = 1;
    break;
  case Qt::Key_Up:
    advanceSteps = 1;
    break;
  case Qt::Key_Down:
    advanceSteps = -1;
    break;
  case Qt::Key_PageDown:
  case Qt::Key_PageUp:
    break;
  default:
    return QWidget::keyPressEvent(event);
  }
  if (inUse == 0) return;
  // Several selected points move together, as one change.
  if (SeveralSelected() && (rpmSteps != 0 || advanceSteps != 0)) {
    if (MoveSelection) MoveSelection(rpmSteps, advanceSteps);
    return;
  }
  // Without a selection the keys take the point in use, else the first.
  if (Selected < 0 || Selected >= inUse)
    Selected = !Form.NoActivePoint && Form.ActivePoint < inUse ? Form.ActivePoint : 0;
  else if (event->key() == Qt::Key_PageDown)
    Selected = std::min(Selected + 1, inUse - 1); // down the list of points, as in the main window
  else if (event->key() == Qt::Key_PageUp)
    Selected = std::max(Selected - 1, 0);
  PointSelection = TCurveSelection::Point(Selected);
  Anchor = Selected;
  update();
  if (rpmSteps == 0 && advanceSteps == 0) return;
  // Each key press is one spinner click: one step, one pass of the change path.
  ApplyPointValue(Selected, SteppedPointValue(CurvePointValue(Form.Image.Params, Selected),
                                              rpmSteps, advanceSteps));
}

void TCurveGraph::ApplyPointValue(int index, const TCurvePointValue& value) {
  Form.RpmUpDowns[index]->SetPosition(value.Rpm);
  Form.AdvanceUpDowns[index]->SetPosition(value.Advance);
  Form.UpDownClick();
}

// ---- the strip chart ----

TStripChart::TStripChart(TFormHlav& form, QWidget* parent) : QWidget(parent), Form(form) {
  setMinimumHeight(200);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStripChart::paintEvent(QPaintEvent*) {
  ++PaintCount;
  const TIgnParams& p = Form.Image.Params;
  const TMonitorRing& ring = Form.MonitorRing;
  const std::int64_t now = MonitorClockMs();
  const int first = ring.FirstSince(now - StripMs);
  int lowest = 0, highest = 0;
  for (int i = first; i < ring.Size(); ++i) {
    lowest = std::min<int>(lowest, ring[i].Advance);
    highest = std::max<int>(highest, ring[i].Advance);
  }
  const TCurveAxes axes = CurveAxesFor(p, CurveStartLimiterShown(p), lowest, highest);

  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.setFont(SmallFont(this));
  const QFontMetricsF metrics(painter.font());
  // The graph's margins, so time and speed start below each other.
  const TPlotArea plot = CurvePlotArea(QRectF(rect()), painter.font());
  const double left = plot.Left, right = plot.Left + plot.Width;
  const double bottomRow = metrics.height() + 4;
  const double laneHeight = (height() - bottomRow - 4) / 3.0;
  const auto timeX = [&](std::int64_t ms) {
    return right - double(now - ms) * (right - left) / double(StripMs);
  };

  struct TLane {
    double Low, High;
    QColor Colour;
    QString Title;
    double (*Value)(const TMonitorSample&);
  };
  const TMonitorView& view = Form.Link.MonitorView;
  const bool seen = ring.Size() > 0;
  const auto text = [](const std::string& s) { return QString::fromStdString(s).trimmed(); };
  const TLane lanes[3] = {
      {0, double(axes.RpmMax), QColor(20, 60, 170),
       seen ? text(view.LabelRpm) : Text(TCurveText::LaneRpm),
       [](const TMonitorSample& s) { return double(s.Rpm); }},
      {double(axes.AdvanceMin), double(axes.AdvanceMax), QColor(0, 120, 40),
       seen ? text(view.MonAdvance.Text) : Text(TCurveText::LaneAdvance),
       [](const TMonitorSample& s) { return double(s.Advance); }},
      {6000, 19000, QColor(0, 0, 0), seen ? text(view.Napeti.Text) : Text(TCurveText::LaneVoltage),
       [](const TMonitorSample& s) { return double(s.Millivolts); }},
  };

  for (int l = 0; l < 3; ++l) {
    const TLane& lane = lanes[l];
    const QRectF box(left, 2 + l * laneHeight, right - left, laneHeight - 3);
    const auto laneY = [&](double value) {
      const double t = (value - lane.Low) / (lane.High - lane.Low);
      return box.bottom() - std::clamp(t, 0.0, 1.0) * box.height();
    };
    painter.fillRect(box, Qt::white);
    if (l == 2) {
      // The live monitor's voltage colours as bands, row by row from its own rule.
      for (int y = int(box.top()); y < int(box.bottom()); ++y) {
        const double t = (box.bottom() - y) / box.height();
        const TColour band = VoltageColour(unsigned(lane.Low + t * (lane.High - lane.Low)));
        if (band == TColour::Red)
          painter.fillRect(QRectF(box.left(), y, box.width(), 1), QColor(255, 205, 205));
        else if (band == TColour::Yellow)
          painter.fillRect(QRectF(box.left(), y, box.width(), 1), QColor(255, 248, 190));
      }
    }
    painter.setPen(QColor(170, 170, 170));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(lane.Colour, 1.5));
    std::optional<QPointF> previous;
    std::int64_t previousMs = 0;
    for (int i = first; i < ring.Size(); ++i) {
      const TMonitorSample& s = ring[i];
      const QPointF at(timeX(s.Ms), laneY(lane.Value(s)));
      if (previous && s.Ms - previousMs <= GapMs) painter.drawLine(*previous, at);
      previous = at;
      previousMs = s.Ms;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(lane.Colour);
    painter.drawText(box.adjusted(4, 1, -4, -1), Qt::AlignLeft | Qt::AlignTop, lane.Title);
    // Beside the lanes, on the window's own background, light or dark.
    painter.setPen(palette().color(QPalette::WindowText));
    const QString high = l == 2 ? QString::number(lane.High / 1000) : Number(int(lane.High));
    const QString low = l == 2 ? QString::number(lane.Low / 1000) : Number(int(lane.Low));
    painter.drawText(QRectF(0, box.top(), left - 4, metrics.height()), Qt::AlignRight, high);
    painter.drawText(QRectF(0, box.bottom() - metrics.height(), left - 4, metrics.height()),
                     Qt::AlignRight, low);
  }

  // Seconds back from now along the bottom, where the title leaves room.
  const double bottom = 2 + 3 * laneHeight;
  painter.setPen(palette().color(QPalette::WindowText));
  const QString title = Text(TCurveText::LastMinute);
  const QRectF titleBox(left, bottom, metrics.horizontalAdvance(title) + 8, bottomRow);
  painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignTop, title);
  for (int seconds = 0; seconds <= 60; seconds += 10) {
    const double x = timeX(now - seconds * 1000);
    painter.drawLine(QPointF(x, bottom - 3), QPointF(x, bottom + 1));
    const QRectF label(x - 30, bottom, 60, bottomRow);
    if (seconds > 0 && seconds < 60 && !label.intersects(titleBox))
      painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, QString("-%1 s").arg(seconds));
  }
}
