// The tune sheet as a user gets it: `vantel --tune-sheet` writes a one-page PDF whose text a
// PDF viewer finds, in each language, with the logo as its only picture; the window opens its
// print preview from the File menu and Ctrl+Shift+P.
#include "app/FormCurve.h"
#include "app/Hlav.h"
#include "app/TuneSheetPage.h"
#include "files/IgnFile.h"
#include "model/Defaults.h"
#include "model/Normalise.h"
#include "support/AppSupport.h"
#include "ui/TuneSheet.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun {
  int Status = -1;
  QString Err;
};

TRun Run(const QString& program, const QStringList& arguments,
         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) return {};
  return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

QString Tool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text as a search sees it: runs of white space as one blank.
QString PdfText(const QString& pdf) {
  return Tool("pdftotext", {pdf, "-"}).simplified();
}

// Rows of `pdfimages -list`: one per picture in the document.
QStringList PdfImages(const QString& pdf) {
  QStringList rows = Tool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
  return rows.mid(2); // the head and its underline
}

QString PdfInfo(const QString& pdf, const QString& key) {
  const QRegularExpression line("^" + key + ":\\s*(.*)$", QRegularExpression::MultilineOption);
  return line.match(Tool("pdfinfo", {pdf})).captured(1).trimmed();
}

// Everything the sheet of these parameters says, but the minute of its printing.
QStringList SheetTexts(const TIgnParams& p, TLanguage language, const QString& fileName) {
  TSheetSource source;
  source.Params = p;
  source.FileName = fileName.toStdString();
  TMessageCatalogue msg;
  FillMessageCatalogue(msg, language);
  const TTuneSheet sheet = BuildTuneSheet(source, language, msg);
  QStringList texts;
  auto add = [&](const std::string& text) {
    if (!text.empty()) texts << QString::fromStdString(text).simplified();
  };
  for (const std::string* text :
       {&sheet.Title, &sheet.CurveTitle, &sheet.PointColumn, &sheet.RpmColumn, &sheet.AdvanceColumn,
        &sheet.ParametersTitle, &sheet.Footer, &sheet.Page})
    add(*text);
  for (const TSheetLine& line : sheet.Header) add(line.Caption);
  for (std::size_t i = 0; i + 1 < sheet.Header.size(); ++i) add(sheet.Header[i].Value);
  for (const TSheetLine& line : sheet.Parameters) {
    add(line.Caption);
    add(line.Value);
    add(line.Unit);
  }
  for (const TSheetPoint& point : sheet.Points) {
    add(point.Rpm);
    add(point.Advance);
  }
  return texts;
}

TIgnParams SampleParams() {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.Bike = 2; // Yamaha XT 600 older model
  p.PocetBodu = 15;
  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = std::uint8_t(12 + 9 * i);
    p.Advance[i] = std::uint8_t(8 + 2 * i);
  }
  p.Input1 = 3;
  p.Input2 = 1;
  p.Clutch1 = 35;
  p.RpmPulsu = 4;
  p.RpmKorekce = 112;
  TLanguage language = 0;
  std::uint8_t com = 1;
  NormaliseParams(p, language, com);
  return p;
}

QByteArray IgnText(const TIgnParams& p) {
  return QByteArray::fromStdString(IgnFileText(p));
}

} // namespace

class TestTuneSheet : public QObject {
  Q_OBJECT

  QString Program;

private slots:
  void initTestCase() {
    Program = qEnvironmentVariable("VANTEL_PROGRAM");
    if (Program.isEmpty()) QSKIP("VANTEL_PROGRAM is not set");
  }
  void cleanup() { CurrentLanguage = LangEnglish; }

  void CommandWritesTheSheetInEachLanguage_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("settingsLanguage");
    QTest::addColumn<int>("language");
    QTest::addRow("ENGLISH") << "ENGLISH" << 3 << int(LangEnglish);
    QTest::addRow("DEUTSCH") << "DEUTSCH" << 0 << int(LangGerman);
    QTest::addRow("FRANCE") << "FRANCE" << 0 << int(LangFrench);
    QTest::addRow("CESKY") << "CESKY" << 0 << int(LangCzech);
    QTest::addRow("the last run's language") << "" << 1 << int(LangGerman);
  }
  void CommandWritesTheSheetInEachLanguage() {
    QFETCH(QString, word);
    QFETCH(int, settingsLanguage);
    QFETCH(int, language);
    TTestHome home;
    home.Write("vantel.ini",
               QString("[FORM_HLAV]\r\nLanguage=%1\r\n").arg(settingsLanguage).toUtf8());
    QTemporaryDir dir;
    const TIgnParams p = SampleParams();
    const QString ign = dir.filePath("race 2.ign"), pdf = dir.filePath("sheet.pdf");
    QFile file(ign);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(IgnText(p)) > 0);
    file.close();

    // No display and no platform chosen: no window is needed.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(name);
    QStringList arguments{"--tune-sheet", ign, "-o", pdf};
    if (!word.isEmpty()) arguments.prepend(word);
    const TRun run = Run(Program, arguments, environment);
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Err, QString());

    QCOMPARE(PdfInfo(pdf, "Pages"), QString("1"));
    QVERIFY2(PdfInfo(pdf, "Page size").contains("A4"), qPrintable(PdfInfo(pdf, "Page size")));
    const QStringList images = PdfImages(pdf);
    QCOMPARE(images.size(), 1); // the logo
    QVERIFY2(images[0].contains(QRegularExpression("image\\s+311\\s+50\\s")),
             qPrintable(images[0]));
    const QString text = PdfText(pdf);
    for (const QString& expected : SheetTexts(p, TLanguage(language), "race 2.ign"))
      QVERIFY2(text.contains(expected), qPrintable(expected + " missing in: " + text));
    if (language == LangEnglish)
      for (const char* expected : {"Limiter", "15,000", "Yamaha XT 600 older model", "Retard",
                                   "not read from a unit", "page 1 of 1"})
        QVERIFY2(text.contains(expected), expected);
  }

  void LetterPaperHoldsTheWholeSheet() {
    TTestHome home;
    QTemporaryDir dir;
    const QString ign = dir.filePath("a.ign"), pdf = dir.filePath("a.pdf");
    QFile file(ign);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(IgnText(SampleParams())) > 0);
    file.close();
    QCOMPARE(Run(Program, {"CESKY", "--tune-sheet", ign, "-o", pdf, "--paper", "Letter"}).Status,
             0);
    QCOMPARE(PdfInfo(pdf, "Pages"), QString("1"));
    QVERIFY(PdfInfo(pdf, "Page size").contains("letter"));
    // The footer, drawn last at the bottom, is on the page.
    QVERIFY(PdfText(pdf).contains("strana 1 z 1"));
  }

  void FailuresAreToldAndKeepTheOldPdf_data() {
    QTest::addColumn<QString>("input"); // in the temporary folder
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("more");
    QTest::addColumn<int>("status");
    QTest::addRow("missing input") << "none.ign"
                                   << "old.pdf" << QStringList{} << 4;
    QTest::addRow("not a parameter file") << "notes.txt"
                                          << "old.pdf" << QStringList{} << 4;
    QTest::addRow("input is a folder") << "."
                                       << "old.pdf" << QStringList{} << 4;
    QTest::addRow("output in a missing folder") << "good.ign"
                                                << "gone/new.pdf" << QStringList{} << 4;
    QTest::addRow("output is a folder") << "good.ign"
                                        << "folder" << QStringList{} << 4;
    QTest::addRow("no output named") << "good.ign"
                                     << "" << QStringList{} << 64;
    QTest::addRow("bike unknown to this build") << "good.ign"
                                                << "old.pdf" << QStringList{"--bike", "KTM"} << 64;
    QTest::addRow("unknown paper") << "good.ign"
                                   << "old.pdf" << QStringList{"--paper", "A3"} << 64;
  }
  void FailuresAreToldAndKeepTheOldPdf() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QStringList, more);
    QFETCH(int, status);
    TTestHome home;
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write("good.ign", IgnText(SampleParams()));
    write("notes.txt", "ZANDERIX_KEY 66\r\nBIKE 1");
    write("old.pdf", "%PDF-1.4 the sheet of last week");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QStringList arguments{"--tune-sheet", dir.filePath(input)};
    if (!output.isEmpty()) arguments << "-o" << dir.filePath(output);
    const TRun run = Run(Program, arguments + more);
    QCOMPARE(run.Status, status);
    QVERIFY2(run.Err.startsWith("vantel: ") && run.Err.count('\n') == 1, qPrintable(run.Err));
    QCOMPARE(FileBytes(dir.filePath("old.pdf")), QByteArray("%PDF-1.4 the sheet of last week"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
  }

  void BikeAndNotesFitOnThePage_data() {
    QTest::addColumn<int>("noteLines");
    QTest::addColumn<bool>("whole");
    QTest::addRow("short notes") << 3 << true;
    QTest::addRow("notes longer than the page") << 400 << false;
  }
  void BikeAndNotesFitOnThePage() {
    QFETCH(int, noteLines);
    QFETCH(bool, whole);
    TSheetSource source;
    source.Params = SampleParams();
    source.Bike = {"Enduro 610 blue", "J. Novák", ""};
    for (int i = 1; i <= noteLines; ++i)
      source.Bike.Notes += "Note " + std::to_string(i) + ": jet 165, plug gap 0.7 mm.\n";
    source.ProgramVersion = "9.9";
    TMessageCatalogue msg;
    FillMessageCatalogue(msg, LangEnglish);
    const TTuneSheet sheet = BuildTuneSheet(source, LangEnglish, msg);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("notes.pdf");
    for (const QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter}) {
      QFile file(pdf);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(TuneSheetPdf(sheet, SheetCurveDrawing(source.Params, LangEnglish), QImage(),
                              TuneSheetLayout(QPageSize(paper))));
      file.close();
      QCOMPARE(PdfInfo(pdf, "Pages"), QString("1"));
      const QString text = PdfText(pdf);
      for (const char* expected :
           {"Bike", "Enduro 610 blue", "Customer", "J. Novák", "Notes", "Note 1: jet 165",
            "Reverse otput polarity", "VANTEL-9 Setup 9.9", "page 1 of 1"})
        QVERIFY2(text.contains(expected), expected);
      QCOMPARE(text.contains(QString("Note %1:").arg(noteLines)), whole);
      QCOMPARE(text.contains(QChar(0x2026)), !whole);
      QVERIFY(PdfImages(pdf).isEmpty()); // no logo given: no picture at all
    }
  }

  void MenuAndKeyOpenThePreviewOfTheWindowAsItStands() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::Ok); // the port that cannot be opened
    TFormHlav form(QStringList{});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // After the File menu's own items, with a key no other item has.
    const QList<QAction*> items = form.MenuFile->actions();
    QCOMPARE(items.last(), form.MenuTuneSheet);
    QVERIFY(items.indexOf(form.MenuExit) < items.indexOf(form.MenuTuneSheet));
    QCOMPARE(form.MenuTuneSheet->shortcut(), QKeySequence("Ctrl+Shift+P"));
    for (QAction* action : form.findChildren<QAction*>())
      if (action != form.MenuTuneSheet)
        QVERIFY(action->shortcut() != form.MenuTuneSheet->shortcut());

    QTemporaryDir dir;
    const QString ign = dir.filePath("race.ign");
    TIgnParams p = SampleParams();
    QFile file(ign);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(IgnText(p)) > 0);
    file.close();
    form.OpenParameterFile(ign);
    form.MenuGermanClick();
    QCOMPARE(form.MenuTuneSheet->text(), QString("&Einstellblatt..."));

    int previewPages = 0; // pages drawn for the preview itself, not for a printer
    // The key works in the curve window as in the main window.
    Press(&form, QKeySequence(Qt::Key_F6));
    QTRY_VERIFY(form.FormCurve != nullptr && form.FormCurve->isActiveWindow());
    Press(form.FormCurve, QKeySequence("Ctrl+Shift+P"));
    QTRY_VERIFY(form.TuneSheetPreview != nullptr && form.TuneSheetPreview->isVisible());
    connect(form.TuneSheetPreview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* printer) {
              previewPages += printer->paintEngine()->type() != QPaintEngine::Pdf;
            });
    QCOMPARE(form.TuneSheetPreview->windowTitle(), QString("Einstellblatt"));
    QPrintPreviewDialog* preview = form.TuneSheetPreview;

    // What the preview shows goes to a PDF as the user's Print to File does.
    auto printed = [&](const QString& name) {
      QPrinter* printer = preview->printer();
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(dir.filePath(name));
      preview->findChild<QPrintPreviewWidget*>()->print();
      return PdfText(dir.filePath(name));
    };
    QString text = printed("first.pdf");
    for (const QString& expected : SheetTexts(p, LangGerman, "race.ign"))
      QVERIFY2(text.contains(expected), qPrintable(expected + " missing in: " + text));
    QCOMPARE(PdfImages(dir.filePath("first.pdf")).size(), 1);

    // Again: the same preview, showing the record as it is now.
    form.Image.Params.Omez2 = 173;
    form.ParamsChanged();
    preview->hide();
    form.activateWindow();
    Press(&form, QKeySequence("Ctrl+Shift+P"));
    QCOMPARE(form.TuneSheetPreview, preview);
    QTRY_VERIFY(preview->isVisible());
    QCOMPARE(previewPages, 1);
    text = printed("second.pdf");
    QVERIFY2(text.contains("17.300"), qPrintable(text));

    // A PDF that cannot be written is told, not left half written.
    answerer.Texts.clear();
    printed("gone/third.pdf");
    QCOMPARE(answerer.Texts.size(), 1);
    QVERIFY2(answerer.Texts[0].startsWith("Die PDF-Datei konnte nicht geschrieben werden:"),
             qPrintable(answerer.Texts[0]));
    QVERIFY(!QFile::exists(dir.filePath("gone/third.pdf")));
  }
};

QTEST_MAIN(TestTuneSheet)
#include "test_tune_sheet.moc"
