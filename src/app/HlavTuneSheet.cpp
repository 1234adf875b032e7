// The tune sheet: the main window's side, a print preview of the sheet as the window stands.
#include "app/Hlav.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "app/Pictures.h"
#include "app/TuneSheetPage.h"
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

void TFormHlav::MenuTuneSheetClick() {
  if (TuneSheetPreview == nullptr) {
    TuneSheetPreview = new QPrintPreviewDialog(this);
    TuneSheetPreview->setObjectName("TuneSheetPreview");
    QPrinter* printer = TuneSheetPreview->printer();
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    // Drawn afresh for every page the preview or the printer asks for, so the sheet shows
    // the window as it stands and the time when it was printed.
    connect(TuneSheetPreview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* to) {
      const TTuneSheet sheet = BuildTuneSheet(TuneSheetSource(), CurrentLanguage, Msg);
      if (!PaintTuneSheet(*to, sheet, SheetCurveDrawing(Image.Params, CurrentLanguage),
                          LoadLogoPixmap("logo_main.jpg").toImage()))
        ShowMessageBox(QString::fromUtf8(PrintTextsFor(CurrentLanguage).JobRefused));
    });
  }
  TuneSheetPreview->setWindowTitle(
      QString::fromStdString(SheetText(TSheetText::Title, CurrentLanguage)));
  if (TuneSheetPreview->isVisible()) {
    // QPrintPreviewDialog keeps its preview widget to itself; a fresh page comes with a
    // fresh paint request.
    if (auto* preview = TuneSheetPreview->findChild<QPrintPreviewWidget*>())
      preview->updatePreview();
  }
  TuneSheetPreview->show();
  TuneSheetPreview->raise();
  TuneSheetPreview->activateWindow();
}
