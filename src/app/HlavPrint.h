// The Print command of the main window in its parts, so the page can also go to a PDF file.
#pragma once

#include <QImage>
#include <QString>

class QPrinter;
class TFormHlav;

// Steps before the page is rendered: the date line in the status label, indicator and gauge
// hidden, Printing set, focus away from the edits, the control rules in print layout.
void BeginPrintLayout(TFormHlav& form);
// The window's client area as it is now, in an image of the client size.
QImage RenderClientArea(TFormHlav& form);
// Printing cleared, the control rules in normal layout, the status label's usual colour.
void EndPrintLayout(TFormHlav& form);

// One page on `printer` with `page` at its top-left, scaled to fit. False with the reason in
// `error` when the document cannot be started or finished.
bool PrintPage(QPrinter& printer, const QImage& page, QString& error);

// The page as a one-page PDF document in memory, scaled to fit like a printed one; empty
// when it cannot be drawn.
QByteArray RenderPdf(const QImage& page);

// The whole Print command on `printer` (nullptr: no printer installed). The window is back in
// its normal layout in every case; `page` keeps the rendered page for a second try elsewhere.
bool PrintClientArea(TFormHlav& form, QPrinter* printer, QImage& page, QString& error);
