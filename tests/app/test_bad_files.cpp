// Every file the program reads but did not write itself, with a folder, a named pipe, a
// file without read permission, a vanished file or an endless device in its place: the
// window comes up, the command reports it, closing goes on, and nothing hangs.
#include "app/Hlav.h"
#include "support/BadPaths.h"
#include "model/Defaults.h"
#include "support/AppSupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <cstring>

#include <sys/stat.h>

class TestBadFiles : public QObject {
  Q_OBJECT

public slots:
  void OpenUrl(const QUrl& url) { Opened << url; }

private:
  QList<QUrl> Opened;

private slots:
  void EveryReaderSurvivesWhatIsNoReadableFile_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("place");
    for (const TBadPathKind& k : BadPathKinds)
      for (const char* place : {"test_qorvin.txt", "vantel.ini", "_vantel.ini", "bad.ign",
                                "logo_main.jpg", "manual_vantel_en.pdf"})
        QTest::addRow("%s as %s", k.Name, place) << int(k.Kind) << QString(place);
  }
  void EveryReaderSurvivesWhatIsNoReadableFile() {
    QFETCH(int, kind);
    QFETCH(QString, place);
    TTestHome home;
    QTemporaryDir assets, cwd;
    qputenv("VANTEL_ASSETS", assets.path().toLocal8Bit());
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    const QString path = place == "logo_main.jpg"          ? assets.filePath(place)
                         : place == "manual_vantel_en.pdf" ? cwd.filePath(place)
                                                           : home.File(place);
    const auto bad = TBadPath(kind);
    if (!PlaceBadPath(bad, path.toStdString(), "DIAG_UNLOCK\n[FORM_HLAV]\nLanguage=2\n"))
      QSKIP("permission bits do not stop root");
    std::signal(SIGALRM, SIG_DFL); // a read that hangs ends the test program
    alarm(60);
    QDesktopServices::setUrlHandler("file", this, "OpenUrl");
    Opened.clear();
    const bool setting = place == "vantel.ini" || place == "_vantel.ini";
    {
      TModalAnswerer answerer;
      {
        CurrentLanguage = LangEnglish;
        TFormHlav form(QStringList{});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!form.TestDisplayEnabled);
        QCOMPARE(int(CurrentLanguage), int(LangEnglish));
        TIgnParams defaults{};
        LoadDefaultParams(defaults);
        QVERIFY(std::memcmp(&form.Image.Params, &defaults, sizeof defaults) == 0);
        answerer.Texts.clear();

        if (place == "bad.ign") {
          TFileDialogAnswerer dialog(path);
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
          // The dialog itself refuses a folder (it opens it) and a name that is not there.
          if (bad == TBadPath::Folder || bad == TBadPath::Vanished)
            QVERIFY(!answerer.Texts.join('|').contains("Open file error!"));
          else
            QVERIFY2(answerer.Texts.value(0).startsWith("Open file error!\n" + path + ": "),
                     qPrintable(answerer.Texts.join('|')));
        } else if (place == "manual_vantel_en.pdf") {
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
          QCOMPARE(answerer.Texts, QStringList{"Open file error manual_vantel_en.pdf !"});
          QVERIFY(Opened.isEmpty());
        }
        answerer.Texts.clear();
        form.close();
      }
      // Closing writes the two settings files; what cannot be replaced is reported once.
      if (setting && bad != TBadPath::Vanished) {
        QCOMPARE(answerer.Texts.size(), 1);
        QVERIFY2(answerer.Texts[0].contains(path + ": "), qPrintable(answerer.Texts[0]));
      } else {
        QCOMPARE(answerer.Texts, QStringList{});
      }
    }
    alarm(0);
    QDesktopServices::unsetUrlHandler("file");
    QDir::setCurrent(before);
    qunsetenv("VANTEL_ASSETS");

    // What stood there is left as it was.
    const QFileInfo after(path);
    switch (bad) {
    case TBadPath::Folder:
      QVERIFY(after.isDir());
      break;
    case TBadPath::Pipe: {
      struct stat info {};
      QVERIFY(::stat(path.toLocal8Bit(), &info) == 0 && S_ISFIFO(info.st_mode));
      break;
    }
    case TBadPath::Unreadable:
      QCOMPARE(int(after.permissions() & 0x7777), 0);
      break;
    case TBadPath::Vanished: // the settings are written through the link
      QCOMPARE(QFileInfo(path + ".gone").exists(), setting);
      break;
    case TBadPath::Endless:
      QCOMPARE(after.symLinkTarget(), QString("/dev/zero"));
      break;
    }
  }
};

QTEST_MAIN(TestBadFiles)
#include "test_bad_files.moc"
