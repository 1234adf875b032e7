// The tune sheet on paper: one page painted from the sheet's content, its curve by the curve
// window's own drawing. Works on a printer, the print preview and a PDF writer alike.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>

#include "app/CurveDrawing.h"
#include "ui/TuneSheet.h"

class QPagedPaintDevice;

// The curve of a record as the sheet draws it: no live marks, the language's numbers.
TCurveDrawing SheetCurveDrawing(const TIgnParams& p, TLanguage language);

// Paints the page; false when the device cannot be painted on (a printer that refused).
bool PaintTuneSheet(QPagedPaintDevice& device, const TTuneSheet& sheet, const TCurveDrawing& curve,
                    const QImage& logo);

// Paper and margins of the sheet unless the user chooses others: portrait.
QPageLayout TuneSheetLayout(const QPageSize& pageSize);

// The sheet as a one-page PDF document in memory; empty when it could not be drawn.
QByteArray TuneSheetPdf(const TTuneSheet& sheet, const TCurveDrawing& curve, const QImage& logo,
                        const QPageLayout& layout);
