#include "app/Hlav.h"
#include "app/UpDown.h"
#include "support/AppSupport.h"
#include "app/FormAbout.h"
#include "app/HlavPrint.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstring>

#include <sys/resource.h>

namespace {

bool AllWhite(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) != QColor(Qt::white)) return false;
  return true;
}

bool AnyRed(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == QColor(255, 0, 0)) return true;
  return false;
}

QColor Background(const QWidget* w) {
  return w->palette().color(w->backgroundRole());
}

// The print layout, or the normal one, as the widgets say it.
void CheckLayout(TFormHlav& form, bool printing) {
  QCOMPARE(form.Link.IsPrinting(), printing);
  QCOMPARE(Background(form.ClientArea) == QColor(Qt::white), printing);
  for (const TUpDown* upDown : form.ClientArea->findChildren<TUpDown*>()) {
    const QString name = upDown->objectName();
    const bool tachometer = name == "UpDownRpmPulsu" || name == "UpDownRpmKorekce";
    const bool usedRow = name == "UpDownRpmAdv1" || name == "UpDownRpmAdv3" ||
                         name == "UpDownAdvance2" || name == "UpDownPocetBodu";
    if (printing || tachometer || usedRow)
      QVERIFY2(upDown->isHidden() == (printing && !tachometer), qPrintable(name));
  }
  for (const QWidget* w : std::initializer_list<const QWidget*>{
           form.GroupBoxToolBar, form.StatusBar1, form.ImageLogo, form.CGaugeRpm})
    QVERIFY2(w->isHidden() == printing, qPrintable(w->objectName()));
  for (int i = 0; i < CurvePoints; ++i) {
    QCOMPARE(form.RpmEdits[i]->isHidden(), i >= 3);
    QCOMPARE(form.AdvanceEdits[i]->isHidden(), i >= 3);
  }
}

} // namespace

class TestPrint : public QObject {
  Q_OBJECT

public slots:
  void OpenUrl(const QUrl& url) { Opened << url; }

private:
  QList<QUrl> Opened;

  // A shown window with three curve points and no unit for longer than 18 ticks.
  static void Prepare(TFormHlav& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Image.Params.PocetBodu = 3;
    form.ParamsToScreen();
    for (int i = 0; i < 20; ++i) form.Link.Timer1Timer();
    QVERIFY(!form.LabelSpojeni->isHidden());
  }

private slots:
  void initTestCase() { qunsetenv("VANTEL_ASSETS"); }
  void cleanup() { CurrentLanguage = LangEnglish; }

  void PrintLayoutOnThePageOnly() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No); // the port that cannot be opened, and more
    TFormHlav form(QStringList{});
    answerer.Texts.clear();
    Prepare(form);
    form.MenuGermanClick();

    BeginPrintLayout(form);
    const QString line = form.LabelHlaseni->text();
    const QString head = QString::fromUtf8("Zeitpunkt des Ausdruckes   ") +
                         QLocale().toString(QDate::currentDate(), QLocale::ShortFormat) + "    ";
    QVERIFY2(line.startsWith(head), qPrintable(line));
    // The long time format, seconds included (the zone name may follow).
    QVERIFY2(
        QRegularExpression("^[0-9]{1,2}:[0-9]{2}:[0-9]{2}").match(line.mid(head.size())).hasMatch(),
        qPrintable(line));
    QVERIFY(!form.LabelHlaseni->isHidden());
    QCOMPARE(Background(form.LabelHlaseni), QColor(Qt::white));
    QVERIFY(form.LabelSpojeni->isHidden());
    QVERIFY(form.CGaugeProgram->isHidden());
    QCOMPARE(int(form.Link.StatusTicks), 200);
    CheckLayout(form, true);
    const QImage page = RenderClientArea(form);
    EndPrintLayout(form);
    CheckLayout(form, false);
    QCOMPARE(Background(form.LabelHlaseni), Background(form.GroupBoxToolBar));

    QCOMPARE(page.size(), form.ClientArea->size());
    QVERIFY(AllWhite(page, form.ImageLogo->geometry()));
    QVERIFY(!AnyRed(page, form.LabelSpojeni->geometry()));
    const QImage screen = RenderClientArea(form);
    QVERIFY(!AllWhite(screen, form.ImageLogo->geometry())); // the logo is back
    // Within one tick the indicator is back on the screen; the date line stays for 200 ticks
    // and goes on the next one.
    form.Link.Timer1Timer();
    QVERIFY(!form.LabelSpojeni->isHidden());
    for (int i = 0; i < 199; ++i) form.Link.Timer1Timer();
    QVERIFY(!form.LabelHlaseni->isHidden());
    form.Link.Timer1Timer();
    QVERIFY(form.LabelHlaseni->isHidden());
  }

  void PageGoesToAPdfFile() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No); // the port that cannot be opened, and more
    TFormHlav form(QStringList{});
    answerer.Texts.clear();
    Prepare(form);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(home.File("out.pdf"));
    QImage page;
    QString error;
    QVERIFY2(PrintClientArea(form, &pdf, page, error), qPrintable(error));
    CheckLayout(form, false);
    QVERIFY(AllWhite(page, QRect(form.GroupBoxToolBar->geometry())));
    QFile file(home.File("out.pdf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    if (!qEnvironmentVariableIsEmpty("VANTEL_KEEP_PDF"))
      QFile::copy(home.File("out.pdf"), qEnvironmentVariable("VANTEL_KEEP_PDF"));

    // A file that cannot be written is a failure, not a silent success.
    QPrinter bad(QPrinter::HighResolution);
    bad.setOutputFormat(QPrinter::PdfFormat);
    bad.setOutputFileName(home.File("no-such-dir/out.pdf"));
    QVERIFY(!PrintPage(bad, page, error));
    QVERIFY(!error.isEmpty());
  }

  void NoPrinterReportsAndRestores() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed here");
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No); // the port that cannot be opened, and more
    TFormHlav form(QStringList{});
    answerer.Texts.clear();
    Prepare(form);
    form.SpeedButtonPrintClick();
    QCOMPARE(answerer.Texts.size(), 1);
    QVERIFY(answerer.Texts[0].startsWith("No printer is installed."));
    QVERIFY(answerer.Texts[0].contains("PDF"));
    CheckLayout(form, false);
    QVERIFY(form.LabelHlaseni->text().startsWith("Date and time of printing:  "));
  }

  // With no printer the page may go to a PDF file: written whole through a temporary file,
  // or, when the disk takes no more (a file size limit here), not at all, with the old file
  // kept byte for byte and the failure told in the current language.
  void PdfInsteadOfPrintIsWrittenWholeOrNotAtAll_data() {
    QTest::addColumn<bool>("full");
    QTest::newRow("written") << false;
    QTest::newRow("disk full") << true;
  }
  void PdfInsteadOfPrintIsWrittenWholeOrNotAtAll() {
    QFETCH(bool, full);
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed here");
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::Yes); // also Qt's question before replacing a file
    TFormHlav form(QStringList{});
    Prepare(form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.MenuGermanClick();
    const QString path = home.File("record.pdf");
    const QByteArray old = "%PDF-1.4 an older record";
    home.Write("record.pdf", old);
    answerer.Texts.clear();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    rlimit small{4096, limit.rlim_max};
    if (full) {
      signal(SIGXFSZ, SIG_IGN);
      setrlimit(RLIMIT_FSIZE, &small);
    }
    {
      TFileDialogAnswerer dialog(path);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    }
    setrlimit(RLIMIT_FSIZE, &limit);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY2(
        answerer.Texts.value(0).startsWith(QString::fromUtf8("Es ist kein Drucker installiert.")),
        qPrintable(answerer.Texts.join('|')));
    if (full) {
      QCOMPARE(written, old);
      QCOMPARE(answerer.Texts.last(),
               QString::fromUtf8("Die PDF-Datei konnte nicht geschrieben werden:\n") + path +
                   QString::fromUtf8(": Schreiben nicht möglich: ") + QString(strerror(EFBIG)));
    } else {
      QVERIFY(written.startsWith("%PDF-"));
      QVERIFY(written.trimmed().endsWith("%%EOF"));
      QVERIFY(!answerer.Texts.last().contains("PDF-Datei"));
    }
    QCOMPARE(QDir(home.Path()).entryList(QDir::Files | QDir::Hidden).filter(".tmp"), QStringList{});
  }

  // F1 hands the manual of the current language, from the first place that holds it, to
  // the desktop's opener (a stand-in xdg-open that notes what it was given); a desktop that
  // cannot show it, or a missing manual, is reported in the language.
  void F1OpensTheManualOfTheLanguageOrReports() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No); // the port that cannot be opened, and more
    TFormHlav form(QStringList{});
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    answerer.Texts.clear();

    QTemporaryDir bin, cwd;
    const QString opened = bin.filePath("opened");
    {
      QFile opener(bin.filePath("xdg-open"));
      QVERIFY(opener.open(QIODevice::WriteOnly));
      opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$VANTEL_TEST_OPENED\"\n"
                   "[ -n \"$VANTEL_TEST_OPEN_DELAY\" ] && sleep \"$VANTEL_TEST_OPEN_DELAY\"\n"
                   "exit \"${VANTEL_TEST_OPEN_STATUS:-0}\"\n");
      opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    auto lastOpened = [&] {
      QFile file(opened);
      if (!file.open(QIODevice::ReadOnly)) return QString();
      const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
      return lines.isEmpty() ? QString() : lines.last();
    };
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
    qputenv("VANTEL_TEST_OPENED", opened.toLocal8Bit());
    qputenv("VANTEL_TEST_OPEN_STATUS", "0");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(cwd.path()));
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(exeDir + "/../share/doc/vantel");
    const QString beside = exeDir + "/docs";
    QVERIFY(QDir().mkpath(installed) && QDir().mkpath(beside));
    auto place = [](const QString& dir, const char* name) {
      QFile file(dir + "/" + name);
      file.open(QIODevice::WriteOnly);
      file.write("%PDF-1.4\n");
      return file.fileName();
    };

    const struct {
      void (TFormHlav::*Choose)();
      const char* File;
      QString Dir;
    } cases[] = {
        {&TFormHlav::MenuEnglishClick, "manual_vantel_en.pdf", cwd.path()},
        {&TFormHlav::MenuGermanClick, "manual_vantel_de.pdf", installed},
        {&TFormHlav::MenuFrenchClick, "manual_vantel_fr.pdf", beside},
        {&TFormHlav::MenuCzechClick, "manual_vantel_cz.pdf", installed},
    };
    QStringList placed;
    for (const auto& c : cases) {
      (form.*c.Choose)();
      const QString file = place(c.Dir, c.File);
      placed << file;
      QTest::keyClick(&form, Qt::Key_F1);
      QTRY_COMPARE(lastOpened(), file);
      QVERIFY2(answerer.Texts.isEmpty(), qPrintable(answerer.Texts.join("|")));
    }
    // The current directory comes before the installed manuals.
    placed << place(cwd.path(), "manual_vantel_cz.pdf");
    QTest::keyClick(&form, Qt::Key_F1);
    QTRY_COMPARE(lastOpened(), cwd.filePath("manual_vantel_cz.pdf"));

    // The desktop has no viewer: the opener gives up, and the user learns where the file is.
    qputenv("VANTEL_TEST_OPEN_STATUS", "3");
    form.MenuGermanClick();
    QTest::keyClick(&form, Qt::Key_F1);
    QTRY_COMPARE(answerer.Texts.size(), 1);
    QCOMPARE(answerer.Texts[0],
             QString::fromUtf8("Fehler beim öffnen der Datei manual_vantel_de.pdf !\n\n"
                               "Auf diesem Rechner ist kein Programm zum Anzeigen von "
                               "PDF-Dokumenten eingerichtet. Das Handbuch liegt hier:\n") +
                 installed + "/manual_vantel_de.pdf");

    // A busy desktop that takes seconds to find no viewer still says so.
    answerer.Texts.clear();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    qputenv("VANTEL_TEST_OPEN_DELAY", "3.5");
    QTest::keyClick(&form, Qt::Key_F1);
    QTRY_COMPARE_WITH_TIMEOUT(answerer.Texts.size(), 1, 10000);
    QVERIFY(answerer.Texts[0].endsWith(installed + "/manual_vantel_de.pdf"));

    // A viewer that ran for a while and then ended badly was seen: no message.
    answerer.Texts.clear();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    qputenv("VANTEL_TEST_OPEN_STATUS", "4");
    QTest::keyClick(&form, Qt::Key_F1);
    QTest::qWait(4500);
    QVERIFY2(answerer.Texts.isEmpty(), qPrintable(answerer.Texts.join("|")));
    qunsetenv("VANTEL_TEST_OPEN_DELAY");

    // No opener at all: the toolkit's own way is asked.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    qputenv("PATH", cwd.path().toLocal8Bit());
    QDesktopServices::setUrlHandler("file", this, "OpenUrl");
    form.MenuFrenchClick();
    QTest::keyClick(&form, Qt::Key_F1);
    QTRY_COMPARE(Opened, QList<QUrl>{QUrl::fromLocalFile(beside + "/manual_vantel_fr.pdf")});
    QDesktopServices::unsetUrlHandler("file");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);

    // No manual anywhere: the message alone, nothing is handed on.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    answerer.Texts.clear();
    for (const QString& file : placed) QFile::remove(file);
    qputenv("VANTEL_TEST_OPEN_STATUS", "0");
    const QString last = lastOpened();
    form.MenuCzechClick();
    QTest::keyClick(&form, Qt::Key_F1);
    QTRY_COMPARE(answerer.Texts, QStringList{QString::fromUtf8(
                                     "Chyba při otevírání souboru manual_vantel_cz.pdf !")});
    QTest::qWait(200);
    QCOMPARE(lastOpened(), last);

    qputenv("PATH", path);
    QDir().rmdir(beside);
    QDir().rmpath(installed);
    QDir::setCurrent(before);
  }

  void AboutIsModalAndExitCloses() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No); // the port that cannot be opened, and more
    TFormHlav form(QStringList{});
    answerer.Texts.clear();
    form.MenuAboutClick(); // no about window: nothing happens
    TFormAbout about;
    form.SetAboutForm(&about);
    bool shown = false;
    QTimer::singleShot(0, &about, [&] {
      shown = about.isVisible() && about.isModal();
      about.done(0);
    });
    form.MenuAboutClick();
    QVERIFY(shown);
    QVERIFY(!form.ImageLogo->pixmap().isNull());

    form.show();
    form.MenuExitClick();
    QVERIFY(!form.isVisible());
  }
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"
