// The tune sheet: the main window's side, a print preview of the sheet as the window stands.
#include "app/Hlav.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "app/Pictures.h"
#include "app/TuneSheetPage.h"
#include "files/SafeWrite.h"
#include "i18n/PrintTexts.h"
#include "i18n/SheetTexts.h"
#include "ui/TuneSheet.h"
#include "usage/Usage.h"

namespace {

TSheetTime SheetTimeOf(const QDateTime& at) {
  return {at.date().year(), at.date().month(), at.date().day(), at.time().hour(),
          at.time().minute()};
}

} // namespace

TSheetBike TFormHlav::CurrentSheetBike() const {
  return {};
}

TSheetSource TFormHlav::TuneSheetSource() const {
  TSheetSource source;
  source.Params = Image.Params;
  // The identity texts are filled by the first read or program since start-up.
  source.UnitRead = !Identity.UnitTimeText.empty();
  source.Identity = Identity;
  source.LayoutVersion = Image.Block0[10];
  const QString path = LabelFile2->text();
  if (!path.isEmpty()) source.FileName = QFileInfo(path).fileName().toStdString();
  source.Bike = CurrentSheetBike();
  source.Printed = SheetTimeOf(QDateTime::currentDateTime());
  source.ProgramVersion = ProjectVersion();
  return source;
}

void TFormHlav::PaintTuneSheetOn(QPrinter& printer) {
  const TTuneSheet sheet = BuildTuneSheet(TuneSheetSource(), CurrentLanguage, Msg);
  const TCurveDrawing curve = SheetCurveDrawing(Image.Params, CurrentLanguage);
  const QImage logo = LoadLogoPixmap("logo_main.jpg").toImage();
  // A PDF file is drawn in memory and written like every other file: a painter drawing into
  // the file itself leaves half a file on a full disk and reports nothing.
  if (printer.outputFormat() == QPrinter::PdfFormat && printer.paintEngine() != nullptr &&
      printer.paintEngine()->type() == QPaintEngine::Pdf && !printer.outputFileName().isEmpty()) {
    const std::string path = QFile::encodeName(printer.outputFileName()).toStdString();
    const QByteArray pdf = TuneSheetPdf(sheet, curve, logo, printer.pageLayout());
    TFailureReport failure{TFailure::NotRendered, path, {}, 0};
    if (pdf.isEmpty() ||
        !WriteFileSafely(path, std::string_view(pdf.constData(), std::size_t(pdf.size())), failure))
      ShowMessageBox(QString::fromUtf8(PrintTextsFor(CurrentLanguage).PdfError) + "\n" +
                     QString::fromStdString(DescribeFailure(failure, CurrentLanguage)));
    return;
  }
  if (!PaintTuneSheet(printer, sheet, curve, logo))
    ShowMessageBox(QString::fromUtf8(PrintTextsFor(CurrentLanguage).JobRefused));
}

void TFormHlav::MenuTuneSheetClick() {
  if (TuneSheetPreview == nullptr) {
    // Built on first use; drawn afresh for every page the preview or the printer asks for,
    // so the sheet shows the window as it stands and the time when it was printed.
    TuneSheetPreview = new QPrintPreviewDialog(this);
    TuneSheetPreview->setObjectName("TuneSheetPreview");
    QPrinter* printer = TuneSheetPreview->printer();
    // The printer's own paper (the locale's: A4 or Letter), in the sheet's layout.
    printer->setPageLayout(TuneSheetLayout(printer->pageLayout().pageSize()));
    connect(TuneSheetPreview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* to) { PaintTuneSheetOn(*to); });
  } else if (auto* preview = TuneSheetPreview->findChild<QPrintPreviewWidget*>()) {
    // The dialog draws its preview only when first shown; later the page is asked for
    // afresh, so the preview shows the window as it stands now.
    preview->updatePreview();
  }
  TuneSheetPreview->setWindowTitle(
      QString::fromStdString(SheetText(TSheetText::Title, CurrentLanguage)));
  TuneSheetPreview->show();
  TuneSheetPreview->raise();
  TuneSheetPreview->activateWindow();
}
