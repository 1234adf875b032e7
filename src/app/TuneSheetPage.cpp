#include "app/TuneSheetPage.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

#include "model/Conversions.h"

namespace {

const QColor RuleColour(150, 150, 150);
const QColor CaptionColour(80, 80, 80);
// The curve is drawn at the size of a window and scaled onto the paper: a pixel of the
// window is a quarter of a millimetre there, so lines and numbers keep their proportions.
constexpr double CurvePixelMm = 0.25;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Without ligatures: a search in a PDF viewer must find "file" as typed, not with an fi glyph.
QFont SheetFont() {
  QFont font("DejaVu Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

// Positions in millimetres, turned into the device's pixels.
class TSheetPainter {
public:
  TSheetPainter(QPainter& painter, QPaintDevice& device)
      : Painter(painter), Unit(device.logicalDpiY() / 25.4), Width(device.width() / Unit),
        Height(device.height() / Unit) {}

  double Mm(double mm) const { return mm * Unit; }
  QRectF Box(double x, double y, double w, double h) const { return {Mm(x), Mm(y), Mm(w), Mm(h)}; }
  void SetFont(double points, bool bold = false) {
    QFont font = SheetFont();
    font.setPointSizeF(points);
    font.setBold(bold);
    Painter.setFont(font);
  }
  double LineMm() const { return QFontMetricsF(Painter.font()).height() / Unit; }
  double WidthMm(const QString& text) const {
    return QFontMetricsF(Painter.font()).horizontalAdvance(text) / Unit;
  }
  // Height of text wrapped into a column of w millimetres.
  double HeightMm(const QString& text, double w) const {
    return QFontMetricsF(Painter.font())
               .boundingRect(QRectF(0, 0, Mm(w), Mm(Height)), Qt::TextWordWrap, text)
               .height() /
           Unit;
  }
  // Text in a box; returns the height it took, in millimetres.
  double Text(double x, double y, double w, const QString& text, int flags = Qt::AlignLeft,
              const QColor& colour = Qt::black) {
    Painter.setPen(colour);
    const QRectF box = Box(x, y, w, std::max(0.0, Height - y));
    QRectF used;
    Painter.drawText(box, flags | Qt::AlignTop | Qt::TextWordWrap, text, &used);
    return used.height() / Unit;
  }
  void Rule(double y) {
    Painter.setPen(QPen(RuleColour, Mm(0.2)));
    Painter.drawLine(QPointF(0, Mm(y)), QPointF(Mm(Width), Mm(y)));
  }

  QPainter& Painter;
  const double Unit;          // device pixels per millimetre
  const double Width, Height; // of the printable area, in millimetres
};

} // namespace

TCurveDrawing SheetCurveDrawing(const TIgnParams& p, TLanguage language) {
  static const QLocale::Language Languages[] = {QLocale::English, QLocale::German, QLocale::French,
                                                QLocale::Czech};
  TCurveDrawing drawing;
  drawing.Params = p;
  drawing.Axes = CurveAxesFor(p, CurveStartLimiterShown(p));
  drawing.Language = language;
  drawing.Locale = QLocale(Languages[language < 4 ? language : 0]);
  drawing.Font = SheetFont();
  drawing.Font.setPixelSize(11); // window pixels, scaled with the drawing
  return drawing;
}

bool PaintTuneSheet(QPagedPaintDevice& device, const TTuneSheet& sheet, const TCurveDrawing& curve,
                    const QImage& logo) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  TSheetPainter p(painter, device);
  const double w = p.Width;

  // Head: title, the logo at the right, then the header lines.
  double logoMm = 0;
  if (!logo.isNull()) {
    logoMm = std::min(50.0, w / 3);
    const double logoH = logoMm * logo.height() / logo.width();
    painter.drawImage(p.Box(w - logoMm, 0, logoMm, logoH), logo);
  }
  p.SetFont(16, true);
  double y = p.Text(0, 0, w - logoMm - 4, Q(sheet.Title)) + 3;
  p.SetFont(9.5);
  double captionMm = 0;
  for (const TSheetLine& line : sheet.Header)
    captionMm = std::max(captionMm, p.WidthMm(Q(line.Caption + ":")));
  captionMm = std::min(captionMm + 3, w / 3);
  for (const TSheetLine& line : sheet.Header) {
    p.Text(0, y, captionMm, Q(line.Caption + ":"), Qt::AlignLeft, CaptionColour);
    y += std::max(p.Text(captionMm, y, w - captionMm, Q(line.Value)), p.LineMm()) + 0.6;
  }
  y += 1.5;
  p.Rule(y);
  y += 3;

  // The curve beside the table of its points.
  p.SetFont(11, true);
  y += p.Text(0, y, w, Q(sheet.CurveTitle)) + 1.5;
  // The table as wide as its texts; the graph takes the rest of the width.
  p.SetFont(9, true);
  const QString heads[] = {Q(sheet.PointColumn), Q(sheet.RpmColumn), Q(sheet.AdvanceColumn)};
  double columns[3] = {}; // point, speed, advance
  for (int i = 0; i < 3; ++i) columns[i] = p.WidthMm(heads[i]);
  p.SetFont(9);
  for (const TSheetPoint& point : sheet.Points) {
    columns[1] = std::max(columns[1], p.WidthMm(Q(point.Rpm)));
    columns[2] = std::max(columns[2], p.WidthMm(Q(point.Advance)));
  }
  for (double& column : columns) column += 4;
  const double tableMm = columns[0] + columns[1] + columns[2], gap = 5;
  const double graphW = w - tableMm - gap;
  const double graphH = std::clamp(graphW * 0.62, 60.0, 85.0);
  painter.save();
  painter.translate(p.Mm(0), p.Mm(y));
  painter.scale(p.Mm(CurvePixelMm), p.Mm(CurvePixelMm));
  DrawCurve(painter, QRectF(0, 0, graphW / CurvePixelMm, graphH / CurvePixelMm), curve);
  painter.restore();

  const double rowMm = std::min(graphH / (CurvePoints + 1), p.LineMm() * 1.35);
  const double tableX = w - tableMm;
  auto row = [&](double at, const QString* cells) {
    double x = tableX;
    for (int i = 0; i < 3; ++i) {
      p.Text(x, at + (rowMm - p.LineMm()) / 2, columns[i] - 1.5, cells[i], Qt::AlignRight);
      x += columns[i];
    }
  };
  p.SetFont(9, true);
  row(y, heads);
  p.SetFont(9);
  painter.setPen(QPen(RuleColour, p.Mm(0.2)));
  painter.drawLine(QPointF(p.Mm(tableX), p.Mm(y + rowMm)), QPointF(p.Mm(w), p.Mm(y + rowMm)));
  for (std::size_t i = 0; i < sheet.Points.size(); ++i) {
    const TSheetPoint& point = sheet.Points[i];
    const QString cells[] = {Q(point.Number), Q(point.Rpm), Q(point.Advance)};
    row(y + rowMm * double(i + 1), cells);
  }
  y += graphH + 3;
  p.Rule(y);
  y += 3;

  // Every other parameter: caption, value, unit.
  p.SetFont(11, true);
  y += p.Text(0, y, w, Q(sheet.ParametersTitle)) + 1.5;
  p.SetFont(9.5);
  const double valueX = w * 0.58;
  for (std::size_t i = 0; i < sheet.Parameters.size(); ++i) {
    const TSheetLine& line = sheet.Parameters[i];
    const double captionH = p.HeightMm(Q(line.Caption), valueX - 3);
    const QString value = Q(line.Value);
    const double valueH = p.HeightMm(value, w - valueX - 1);
    const double h = std::max({captionH, valueH, p.LineMm()});
    if (i % 2 == 1) painter.fillRect(p.Box(0, y - 0.4, w, h + 0.8), QColor(243, 243, 243));
    p.Text(1, y, valueX - 3, Q(line.Caption));
    p.Text(valueX, y, w - valueX - 1, value);
    // The unit after the value, in grey.
    if (!line.Unit.empty())
      p.Text(valueX + p.WidthMm(value + " "), y, w - valueX, Q(line.Unit), Qt::AlignLeft,
             CaptionColour);
    y += h + 0.8;
  }

  // Footer at the bottom of the page; the notes take the room down to it.
  p.SetFont(8);
  const double footerY = p.Height - p.LineMm();
  if (!sheet.Notes.empty()) {
    y += 3;
    p.Rule(y);
    y += 3;
    p.SetFont(11, true);
    y += p.Text(0, y, w, Q(sheet.NotesTitle)) + 1.5;
    p.SetFont(9.5);
    const QRectF room = p.Box(0, y, w, std::max(0.0, footerY - 3 - y));
    const QFontMetricsF metrics(painter.font());
    // What does not fit above the footer is cut, and an ellipsis says so.
    const auto fits = [&](const QString& text) {
      return metrics.boundingRect(room, Qt::TextWordWrap, text).height() <= room.height();
    };
    QString notes = Q(sheet.Notes);
    if (!fits(notes)) {
      qsizetype kept = 0, tooMany = notes.size();
      while (tooMany - kept > 1) {
        const qsizetype middle = (kept + tooMany) / 2;
        (fits(notes.left(middle) + QChar(0x2026)) ? kept : tooMany) = middle;
      }
      notes = notes.left(kept) + QChar(0x2026);
    }
    painter.setPen(Qt::black);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, notes);
  }
  p.SetFont(8);
  p.Rule(footerY - 1.5);
  p.Text(0, footerY, w / 2, Q(sheet.Footer), Qt::AlignLeft, CaptionColour);
  p.Text(w / 2, footerY, w / 2, Q(sheet.Page), Qt::AlignRight, CaptionColour);
  return painter.end();
}

QPageLayout TuneSheetLayout(const QPageSize& pageSize) {
  return QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(15, 15, 15, 12),
                     QPageLayout::Millimeter);
}

QByteArray TuneSheetPdf(const TTuneSheet& sheet, const TCurveDrawing& curve, const QImage& logo,
                        const QPageLayout& layout) {
  QByteArray pdf;
  QBuffer buffer(&pdf);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(layout);
    writer.setResolution(600);
    writer.setTitle(QString::fromStdString(sheet.Title));
    writer.setCreator(QString::fromStdString(sheet.Footer));
    if (!PaintTuneSheet(writer, sheet, curve, logo)) return {};
  }
  return pdf;
}
