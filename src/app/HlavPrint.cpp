// Printing, the user manual, the about window and Exit: the window side.
#include "app/HlavPrint.h"

#include "app/Hlav.h"
#include "app/RadioGroup.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTime>
#include <QUrl>

#include <array>
#include <functional>

#include "app/FormAbout.h"
#include "app/Pictures.h"
#include "ui/Manual.h"
#include "ui/PrintFit.h"
#include "files/SafeWrite.h"
#include "i18n/ManualTexts.h"
#include "i18n/PrintTexts.h"

namespace {

void FocusRadioGroup(TRadioGroup* group) {
  // The group itself takes no focus; its selected button does, as the group would.
  if (QAbstractButton* target = group->FocusButton())
    target->setFocus(Qt::OtherFocusReason);
  else
    group->setFocus(Qt::OtherFocusReason);
}

// The desktop's opener for one document. Qt starts it detached and so never learns that it
// found no viewer; run and watched here, its failure reaches the user.
class TDocumentOpener : public QProcess {
public:
  using QProcess::QProcess;
  ~TDocumentOpener() override {
    // In a plain window manager the opener waits for the viewer: the viewer stays open.
    if (state() != NotRunning) {
      kill();
      waitForFinished(1000);
    }
  }
};

// An opener that has run this long has shown the document: in a plain window manager it
// waits for the viewer and fails when the viewer ends badly, which says nothing about
// whether the document could be shown.
constexpr qint64 DocumentShownMs = 3000;

// The opener's own answers that nothing was shown (bad call, no such file, no program for
// the file), whatever time its search took: on a busy machine it takes seconds to find no
// viewer.
bool OpenerShowedNothing(int code) {
  return code == 1 || code == 2 || code == 3;
}

// Hands the file to the desktop; `failed` runs when no program could show it, now or when
// the opener gives up.
void OpenDocument(QWidget* owner, const QString& path, std::function<void()> failed) {
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) failed();
    return;
  }
  auto* process = new TDocumentOpener(owner);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QElapsedTimer running;
  running.start();
  QObject::connect(process, &QProcess::finished, owner,
                   [process, failed, running](int code, QProcess::ExitStatus status) {
                     process->deleteLater();
                     const bool normal = status == QProcess::NormalExit;
                     if ((normal && OpenerShowedNothing(code)) ||
                         ((!normal || code != 0) && running.elapsed() < DocumentShownMs))
                       failed();
                   });
  QObject::connect(process, &QProcess::errorOccurred, owner,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     failed();
                   });
  process->start(opener, {path});
}

} // namespace

void BeginPrintLayout(TFormHlav& form) {
  const QLocale locale;
  // The long time is hours, minutes and seconds; the time-zone name that Qt's long format
  // adds would not fit the status label.
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QRegularExpression("\\s*t+\\s*"));
  const QString dateLine = QString::fromStdString(form.Msg.MsgPrintDateTime) +
                           locale.toString(QDate::currentDate(), QLocale::ShortFormat) + "    " +
                           locale.toString(QTime::currentTime(), timeFormat.trimmed());
  form.LabelHlaseni->setText(dateLine);
  TFormHlav::SetColour(form.LabelHlaseni, TColour::White);
  form.LabelHlaseni->show();
  form.LabelSpojeni->hide();
  form.Link.HoldStatus();
  // The print scale to fit the page is applied when the page is drawn (FitToPage).
  form.CGaugeProgram->hide();
  form.Link.SetPrinting(true);
  FocusRadioGroup(form.RadioGroupInput1);
  form.ApplyControlRules();
}

QImage RenderClientArea(TFormHlav& form) {
  return form.ClientArea->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void EndPrintLayout(TFormHlav& form) {
  form.Link.SetPrinting(false);
  form.ApplyControlRules();
  TFormHlav::SetColour(form.LabelHlaseni, TColour::ButtonFace);
}

namespace {

void DrawFitted(QPainter& painter, const QPaintDevice& device, const QImage& page) {
  const TPrintRect r = FitToPage(page.width(), page.height(), device.width(), device.height());
  if (r.Width > 0 && r.Height > 0) painter.drawImage(QRect(r.Left, r.Top, r.Width, r.Height), page);
}

} // namespace

bool PrintPage(QPrinter& printer, const QImage& page, QString& error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = QString::fromUtf8(PrintTextsFor(CurrentLanguage).JobRefused);
    return false;
  }
  DrawFitted(painter, printer, page);
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    error = QString::fromUtf8(PrintTextsFor(CurrentLanguage).JobRefused);
    return false;
  }
  return true;
}

QByteArray RenderPdf(const QImage& page) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    DrawFitted(painter, writer, page);
    if (!painter.end()) return {};
  }
  return bytes;
}

bool PrintClientArea(TFormHlav& form, QPrinter* printer, QImage& page, QString& error) {
  BeginPrintLayout(form);
  page = RenderClientArea(form);
  bool printed = false;
  if (printer == nullptr)
    error = QString::fromUtf8(PrintTextsFor(CurrentLanguage).NoPrinter);
  else
    printed = PrintPage(*printer, page, error);
  EndPrintLayout(form);
  return printed;
}

void TFormHlav::SpeedButtonPrintClick() {
  QImage page;
  QString error;
  bool printed = false;
  // Without any printer Qt quietly turns a default printer into a PDF writer with no file.
  if (QPrinterInfo::defaultPrinter().isNull()) {
    printed = PrintClientArea(*this, nullptr, page, error);
  } else {
    QPrinter printer(QPrinter::HighResolution);
    printed = PrintClientArea(*this, &printer, page, error);
  }
  if (printed) return;

  // Many workstations have no printer: the same page can still be kept as a PDF file.
  const QString question =
      error + "\n\n" + QString::fromUtf8(PrintTextsFor(CurrentLanguage).OfferPdf);
  if (ShowMessageBox(question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) return;
  QFileDialog dialog(this);
  dialog.setObjectName("SavePdfDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("pdf");
  dialog.setNameFilter("PDF (*.pdf)");
  dialog.selectFile("vantel.pdf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString fileName = dialog.selectedFiles().first();

  // Drawn in memory and written like every other file, so a full disk leaves the old
  // file whole and is reported, which a painter drawing into the file itself does not.
  const std::string path = QFile::encodeName(fileName).toStdString();
  const QByteArray pdf = RenderPdf(page);
  TFailureReport failure{TFailure::NotRendered, path, {}, 0};
  if (!pdf.isEmpty() &&
      WriteFileSafely(path, std::string_view(pdf.constData(), std::size_t(pdf.size())), failure))
    return;
  ShowMessageBox(QString::fromUtf8(PrintTextsFor(CurrentLanguage).PdfError) + "\n" +
                 QString::fromStdString(DescribeFailure(failure, CurrentLanguage)));
}

void TFormHlav::MenuContensClick() {
  // The desktop reports success even for a missing file, so look for it first.
  const std::string found = FindManualFile(Msg.MsgManualFile);
  if (found.empty()) {
    ShowMessageBox(QString::fromStdString(Msg.MsgManualOpenError));
    return;
  }
  // The texts of the language in which the manual was asked for, even if the user switches
  // before the desktop answers.
  const QString path = QString::fromStdString(found);
  const QString report = QString::fromStdString(Msg.MsgManualOpenError) + "\n\n" +
                         QString::fromUtf8(ManualNotShownText(CurrentLanguage)) + "\n" +
                         QDir::toNativeSeparators(path);
  OpenDocument(this, path, [this, report] { ShowMessageBox(report); });
}

void TFormHlav::MenuAboutClick() {
  if (FormAbout != nullptr) FormAbout->exec();
}

void TFormHlav::MenuExitClick() {
  close();
}

void TFormHlav::LoadLogo() {
  // A missing or damaged picture leaves the area empty.
  ImageLogo->setPixmap(LoadLogoPixmap("logo_main.jpg", devicePixelRatioF()));
}
