// The one drawing of the advance curve: grid and axes, the base advance, the marks of the
// start limiter, limiter and gear-shift light, the curve and its points. The curve window
// paints it on the screen and the tune sheet on paper, each into its own rectangle.
#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QPointF>
#include <QRectF>

#include <bitset>

#include "model/CurveGeometry.h"
#include "model/Types.h"

class QPainter;

// How the points are marked beyond the record itself.
struct TCurvePointMarks {
  int Active = -1; // the point in use at the live engine speed, marked as in the main window
  int Held = -1;   // a point held by the mouse, drawn at HeldValue
  TCurvePointValue HeldValue;
  std::bitset<CurvePoints> Selected; // ringed
};

struct TCurveDrawing {
  TIgnParams Params{};
  TCurveAxes Axes;
  TLanguage Language = 0;
  QFont Font;     // of the numbers and names; the plot's margins follow from it
  QLocale Locale; // of the numbers on the axes
  TCurvePointMarks Marks;
};

// The layers in the order they are painted. The window keeps the still ones in pictures and
// paints a live trail between the line and the points; paper takes them all at once.
enum TCurveLayer : unsigned {
  CurveLayerBackground = 1, // grid, axes, the marks' lines, the base advance
  CurveLayerLine = 2,
  CurveLayerPoints = 4,
  CurveLayerLabels = 8, // the names of the marks and of the base advance
  CurveLayersAll = 15,
};

inline const QColor CurveActiveColour(0, 255, 0); // the main window's mark of the point in use

// Whether the start limiter is drawn: only while an input is in its mode.
bool CurveStartLimiterShown(const TIgnParams& p);

// The plot inside `rect`, leaving room for the axes' numbers and titles in `font`.
TPlotArea CurvePlotArea(const QRectF& rect, const QFont& font);

// Where a value lies on the graph, kept inside the plot.
QPointF CurveGraphPoint(const TCurveScale& scale, double rpm, double advance);

void DrawCurve(QPainter& painter, const QRectF& rect, const TCurveDrawing& drawing,
               unsigned layers = CurveLayersAll);
