#include "app/CurveDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "i18n/CurveTexts.h"
#include "model/Conversions.h"

namespace {

constexpr double PointRadius = 5, ActiveRadius = 7;

const QColor CurveColour(20, 60, 170);
const QColor GridColour(228, 228, 228);
const QColor AxisTextColour(70, 70, 70);
// The marks in the monitor's colours, darkened enough to read on white.
const QColor StartLimiterColour(200, 0, 200);
const QColor LimiterColour(220, 0, 0);
const QColor ShiftLightColour(190, 150, 0);

// Room around the plot for the numbers and titles of the axes.
struct TMargins {
  double Left, Right, Top, Bottom;
};

TMargins MarginsOf(const QFont& font) {
  const QFontMetricsF metrics(font);
  return {metrics.horizontalAdvance("-20 000") + 6, 18, 12, 2 * metrics.height() + 10};
}

class TCurvePainter {
public:
  TCurvePainter(QPainter& painter, const QRectF& rect, const TCurveDrawing& d)
      : Painter(painter), Rect(rect), D(d), Scale(d.Axes, CurvePlotArea(rect, d.Font)) {}

  void Background();
  void Line();
  void Points();
  void Labels();

private:
  QString Text(TCurveText key) const { return QString::fromUtf8(CurveText(key, D.Language)); }
  QString Number(int value) const { return D.Locale.toString(value); }
  QPointF At(double rpm, double advance) const { return CurveGraphPoint(Scale, rpm, advance); }
  TCurvePointValue ValueOf(int index) const {
    return index == D.Marks.Held ? D.Marks.HeldValue : CurvePointValue(D.Params, index);
  }
  void MarkLine(int rpm, const QColor& colour);
  void MarkLabel(int rpm, const QColor& colour, TCurveText name);
  void Label(const QPointF& baseline, const QString& text, const QColor& colour);

  QPainter& Painter;
  QRectF Rect;
  const TCurveDrawing& D;
  TCurveScale Scale;
};

// A speed mark: the line behind the curve; its name is written along it on top.
void TCurvePainter::MarkLine(int rpm, const QColor& colour) {
  const TPlotArea& a = Scale.Area();
  if (rpm > Scale.Axes().RpmMax) return;
  const double x = Scale.X(rpm);
  Painter.setPen(QPen(colour, 1.5));
  Painter.drawLine(QPointF(x, a.Top), QPointF(x, a.Top + a.Height));
}

// A label on a pale ground, so the curve or a point under it does not make it unreadable.
void TCurvePainter::Label(const QPointF& baseline, const QString& text, const QColor& colour) {
  const QFontMetricsF metrics(Painter.font());
  const QRectF box(baseline.x() - 2, baseline.y() - metrics.ascent() - 1,
                   metrics.horizontalAdvance(text) + 4, metrics.height() + 2);
  Painter.fillRect(box, QColor(255, 255, 255, 170));
  Painter.setPen(colour);
  Painter.drawText(baseline, text);
}

void TCurvePainter::MarkLabel(int rpm, const QColor& colour, TCurveText name) {
  const TPlotArea& a = Scale.Area();
  if (rpm > Scale.Axes().RpmMax) return;
  const QFontMetricsF metrics(Painter.font());
  Painter.save();
  Painter.translate(Scale.X(rpm) + 3, a.Top + 4);
  Painter.rotate(90);
  Label(QPointF(0, -metrics.descent()), Text(name) + " " + Number(rpm), colour);
  Painter.restore();
}

void TCurvePainter::Background() {
  const TIgnParams& p = D.Params;
  const TCurveAxes& axes = Scale.Axes();
  const TPlotArea& a = Scale.Area();
  const QFontMetricsF metrics(Painter.font());

  // Grid with the speeds below and the degrees on the left.
  const int rpmStep = GridStep(a.Width / axes.RpmMax, metrics.horizontalAdvance("00 000") + 16);
  for (int rpm = 0; rpm <= axes.RpmMax; rpm += rpmStep) {
    const double x = Scale.X(rpm);
    Painter.setPen(GridColour);
    Painter.drawLine(QPointF(x, a.Top), QPointF(x, a.Top + a.Height));
    Painter.setPen(AxisTextColour);
    Painter.drawText(QRectF(x - 40, a.Top + a.Height + 2, 80, metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, Number(rpm));
  }
  const int advanceSpan = axes.AdvanceMax - axes.AdvanceMin;
  const int advanceStep = GridStep(a.Height / advanceSpan, metrics.height() * 1.6);
  for (int advance = axes.AdvanceMin; advance <= axes.AdvanceMax; advance += advanceStep) {
    const double y = Scale.Y(advance);
    Painter.setPen(advance == 0 ? QColor(150, 150, 150) : GridColour);
    Painter.drawLine(QPointF(a.Left, y), QPointF(a.Left + a.Width, y));
    Painter.setPen(AxisTextColour);
    Painter.drawText(QRectF(a.Left - 44, y - metrics.height() / 2, 40, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, Number(advance));
  }
  Painter.setPen(QColor(150, 150, 150));
  Painter.setBrush(Qt::NoBrush);
  Painter.drawRect(QRectF(a.Left, a.Top, a.Width, a.Height));
  Painter.setPen(AxisTextColour);
  Painter.drawText(
      QRectF(a.Left, Rect.bottom() - metrics.height() - 4, a.Width, metrics.height() + 2),
      Qt::AlignHCenter, Text(TCurveText::AxisRpm));
  Painter.save();
  Painter.translate(Rect.left() + 4, a.Top + a.Height / 2);
  Painter.rotate(-90);
  Painter.drawText(QRectF(-a.Height / 2, 0, a.Height, metrics.height() + 2), Qt::AlignHCenter,
                   Text(TCurveText::AxisAdvance));
  Painter.restore();

  // The marks' lines and the base advance.
  if (CurveStartLimiterShown(p)) MarkLine(SpeedToScreen(p.Omez1), StartLimiterColour);
  MarkLine(SpeedToScreen(p.Omez2), LimiterColour);
  MarkLine(SpeedToScreen(p.LedRazeni), ShiftLightColour);
  const double baseY = At(0, p.BaseAdv).y();
  Painter.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::DashLine));
  Painter.drawLine(QPointF(a.Left, baseY), QPointF(a.Left + a.Width, baseY));
}

// The points in use joined by lines; beyond the last the unit keeps its advance.
void TCurvePainter::Line() {
  const int inUse = CurvePointsInUse(D.Params);
  if (inUse == 0) return;
  QPointF points[CurvePoints];
  for (int i = 0; i < inUse; ++i) {
    const TCurvePointValue value = ValueOf(i);
    points[i] = At(value.Rpm, value.Advance);
  }
  const TPlotArea& a = Scale.Area();
  Painter.setPen(QPen(CurveColour, 2));
  Painter.drawPolyline(points, inUse);
  Painter.setPen(QPen(CurveColour, 1.2, Qt::DotLine));
  Painter.drawLine(points[inUse - 1], QPointF(a.Left + a.Width, points[inUse - 1].y()));
}

// Points on top, the one in use marked as in the main window.
void TCurvePainter::Points() {
  const int inUse = CurvePointsInUse(D.Params);
  for (int i = 0; i < inUse; ++i) {
    const TCurvePointValue value = ValueOf(i);
    const QPointF at = At(value.Rpm, value.Advance);
    const bool active = i == D.Marks.Active;
    const bool held = i == D.Marks.Held;
    const double radius = active ? ActiveRadius : PointRadius;
    Painter.setPen(QPen(active ? Qt::black : CurveColour, 1.5));
    Painter.setBrush(held ? QColor(255, 200, 120) : active ? CurveActiveColour : QColor(Qt::white));
    Painter.drawEllipse(at, radius, radius);
    Painter.setPen(CurveColour);
    Painter.drawText(at + QPointF(radius + 1, -radius - 1), QString::number(i + 1));
    if (D.Marks.Selected.test(std::size_t(i))) {
      Painter.setBrush(Qt::NoBrush);
      Painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
      Painter.drawEllipse(at, radius + 4, radius + 4);
    }
  }
}

// The names of the marks and of the base advance, over the curve.
void TCurvePainter::Labels() {
  const TIgnParams& p = D.Params;
  const TPlotArea& a = Scale.Area();
  const QFontMetricsF metrics(Painter.font());
  if (CurveStartLimiterShown(p))
    MarkLabel(SpeedToScreen(p.Omez1), StartLimiterColour, TCurveText::StartLimiter);
  MarkLabel(SpeedToScreen(p.Omez2), LimiterColour, TCurveText::Limiter);
  MarkLabel(SpeedToScreen(p.LedRazeni), ShiftLightColour, TCurveText::ShiftLight);
  // Below the line at the right end: the curve starts at the left, often on the line.
  const QString base = Text(TCurveText::BaseAdvance) + " " + Number(p.BaseAdv) + "\u00B0";
  const double baseY = At(0, p.BaseAdv).y();
  Label(QPointF(a.Left + a.Width - metrics.horizontalAdvance(base) - 6,
                std::min(baseY + metrics.ascent() + 3, a.Top + a.Height - metrics.descent() - 2)),
        base, QColor(70, 70, 70));
}

} // namespace

bool CurveStartLimiterShown(const TIgnParams& p) {
  return InputModeInUse(p, InputModeStartLimiter);
}

TPlotArea CurvePlotArea(const QRectF& rect, const QFont& font) {
  const TMargins m = MarginsOf(font);
  return {rect.left() + m.Left, rect.top() + m.Top, rect.width() - m.Left - m.Right,
          rect.height() - m.Top - m.Bottom};
}

QPointF CurveGraphPoint(const TCurveScale& scale, double rpm, double advance) {
  const TPlotArea& a = scale.Area();
  return {std::clamp(scale.X(rpm), a.Left, a.Left + a.Width),
          std::clamp(scale.Y(advance), a.Top, a.Top + a.Height)};
}

void DrawCurve(QPainter& painter, const QRectF& rect, const TCurveDrawing& drawing,
               unsigned layers) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(drawing.Font);
  TCurvePainter curve(painter, rect, drawing);
  if (layers & CurveLayerBackground) curve.Background();
  if (layers & CurveLayerLine) curve.Line();
  if (layers & CurveLayerPoints) curve.Points();
  if (layers & CurveLayerLabels) curve.Labels();
  painter.restore();
}
