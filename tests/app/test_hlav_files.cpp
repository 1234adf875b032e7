// The New, Open and Save commands and the settings and state files, on the real window.
#include "app/Hlav.h"
#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "files/IgnFile.h"
#include "files/Profile.h"
#include "files/SafeRead.h"
#include "model/Defaults.h"
#include "model/Normalise.h"
#include "support/AppSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::unique_ptr<TFormHlav> Start(const QStringList& arguments = {}) {
  CurrentLanguage = LangEnglish;
  return std::make_unique<TFormHlav>(arguments);
}

bool Same(const TIgnParams& a, const TIgnParams& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TIgnParams Defaults() {
  TIgnParams p{};
  LoadDefaultParams(p);
  return p;
}

} // namespace

class TestFiles : public QObject {
  Q_OBJECT

private slots:
  void FirstStartWithoutFilesWritesBothAtClosing() {
    TTestHome home;
    TModalAnswerer answerer;
    auto form = Start();
    QCOMPARE(form->ComPort, 1);
    QCOMPARE(CurrentLanguage, LangEnglish);
    QCOMPARE(form->LabelFile2->text(), QString());
    QVERIFY(!form->CheckBoxIgnAll->isChecked());
    QVERIFY(Same(form->Image.Params, Defaults()));
    form->close();

    const QString zeros = QString("    0 ").repeated(10) + "\r\n";
    const QString state = zeros.repeated(5) +
                          "    0     2    10   100   150     6     2     0     0     1 \r\n"
                          "  120    20   100     0     0     0     1   100     0     0 \r\n"
                          "   10    20    30    40    50    60    70    80    90   100 \r\n"
                          "  110   120   130   140   150    10    10    10    10    10 \r\n" +
                          QString("   10 ").repeated(10) + "\r\n";
    QCOMPARE(FileBytes(home.File("_vantel.ini")), state.toLatin1());
    const QRegularExpression ini("^\\[FORM_HLAV\\]\r\nLeft=-?\\d+\r\nTop=-?\\d+\r\nHeight=\\d+\r\n"
                                 "Width=\\d+\r\nComPort=1\r\nLanguage=0\r\nFile=\r\nIniDir=\r\n"
                                 "CheckBoxIgnAll->Checked=0\r\n$");
    QVERIFY2(ini.match(FileBytes(home.File("vantel.ini"))).hasMatch(),
             FileBytes(home.File("vantel.ini")));
    // No tool asked for an option: no extra settings file either.
    QVERIFY(!QFile::exists(home.File("vantel-extra.ini")));
  }

  // A tool's option goes to the extra settings file at closing; vantel.ini keeps its keys.
  void ToolOptionsGoToTheirOwnFileAtClosing() {
    TTestHome home;
    TModalAnswerer answerer;
    {
      auto form = Start();
      form->ExtraSettings().WriteInteger("TOOLS", "Option", 7);
      form->close();
    }
    QCOMPARE(FileBytes(home.File("vantel-extra.ini")), QByteArray("[TOOLS]\r\nOption=7\r\n"));
    QVERIFY(!FileBytes(home.File("vantel.ini")).contains("Option"));
    auto form = Start();
    QCOMPARE(form->ExtraSettings().ReadInteger("TOOLS", "Option", 0), 7);
  }

  void EverythingOnScreenIsBackAfterARestart() {
    TTestHome home;
    TModalAnswerer answerer;
    TIgnParams curve{};
    {
      auto form = Start();
      form->Image.Params.PocetBodu = 3;
      form->Image.Params.RpmAdv[2] = 47;
      form->Image.Params.Advance[1] = 23;
      form->ParamsToScreen();
      form->CheckBoxIgnAll->setChecked(true);
      form->LabelFile2->setText(home.File("a.ign"));
      form->LastFilePath = home.File("a.ign");
      form->close();
      curve = form->Image.Params;
    }
    auto form = Start();
    QVERIFY(Same(form->Image.Params, curve));
    QCOMPARE(form->Image.Params.Advance[1], 23);
    QVERIFY(form->CheckBoxIgnAll->isChecked());
    QCOMPARE(form->LabelFile2->text(), home.File("a.ign"));
    QCOMPARE(form->OpenDialog1.FileName, home.File("a.ign"));
    QCOMPARE(form->SaveDialog1.FileName, home.File("a.ign"));
  }

  void StoredPortAndLanguageAreBroughtIntoRange_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("language");
    QTest::newRow("port 12") << QByteArray("[FORM_HLAV]\nComPort=12\n") << QStringList() << 1 << 0;
    QTest::newRow("port 0x3") << QByteArray("[FORM_HLAV]\nComPort=0x3\n") << QStringList() << 3
                              << 0;
    QTest::newRow("port three") << QByteArray("[FORM_HLAV]\nComPort=three\n") << QStringList() << 1
                                << 0;
    QTest::newRow("language 7") << QByteArray("[FORM_HLAV]\nLanguage=7\n") << QStringList() << 1
                                << 0;
    QTest::newRow("LANGUAGE 3") << QByteArray("[form_hlav]\nLANGUAGE=3\n") << QStringList() << 1
                                << 3;
    QTest::newRow("2, DEUTSCH") << QByteArray("[FORM_HLAV]\nLanguage=2\n") << QStringList{"DEUTSCH"}
                                << 1 << 1;
    QTest::newRow("2, deutsch") << QByteArray("[FORM_HLAV]\nLanguage=2\n") << QStringList{"deutsch"}
                                << 1 << 2;
    QTest::newRow("1, FRANCE") << QByteArray("[FORM_HLAV]\nLanguage=1\n") << QStringList{"FRANCE"}
                               << 1 << 2;
    QTest::newRow("1, france") << QByteArray("[FORM_HLAV]\nLanguage=1\n") << QStringList{"france"}
                               << 1 << 1;
  }
  void StoredPortAndLanguageAreBroughtIntoRange() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, arguments);
    QFETCH(int, port);
    QFETCH(int, language);
    TTestHome home;
    TModalAnswerer answerer;
    home.Write("vantel.ini", ini);
    auto form = Start(arguments);
    QCOMPARE(int(form->ComPort), port);
    QCOMPARE(int(CurrentLanguage), language);
    form->close();
    const QByteArray saved = FileBytes(home.File("vantel.ini"));
    QVERIFY(saved.contains(QString("ComPort=%1\r\n").arg(port).toLatin1()));
    QVERIFY(saved.contains(QString("\nLanguage=%1\r\n").arg(language).toLatin1()) ||
            saved.contains(QString("\nLANGUAGE=%1\r\n").arg(language).toLatin1()));
  }

  void StateFileFillsTheImageInOrderAndNoFurther_data() {
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<int>("restored"); // bytes taken from the file, the rest keep defaults
    QByteArray fifty, hundredFifty;
    for (int i = 0; i < 50; ++i) fifty += QByteArray::number(i + 300) + " ";
    for (int i = 0; i < 150; ++i) hundredFifty += QByteArray::number(i + 300) + "\n";
    QTest::newRow("50 numbers") << fifty << 50;
    QTest::newRow("150 numbers") << hundredFifty << 100;
    QTest::newRow("not a number") << QByteArray("300 301 x 303") << 2;
  }
  void StateFileFillsTheImageInOrderAndNoFurther() {
    QFETCH(QByteArray, state);
    QFETCH(int, restored);
    TTestHome home;
    TModalAnswerer answerer;
    home.Write("_vantel.ini", state);
    auto form = Start();
    for (int k = 0; k < restored && k < 50; ++k)
      QCOMPARE(form->Image.Block(0)[k], (k + 300) & 0xFF);
    for (int k = restored; k < 50; ++k) QCOMPARE(form->Image.Block(0)[k], 0);
    if (restored <= 50) QVERIFY(Same(form->Image.Params, Defaults()));
  }

  void PositionOffEveryScreenStaysCentred_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("applied");
    QTest::newRow("on screen") << 10 << 20 << true;
    QTest::newRow("partly visible") << -300 << -200 << true;
    QTest::newRow("far left and up") << -5000 << -5000 << false;
    QTest::newRow("beyond the right edge") << 5000 << 10 << false;
  }
  void PositionOffEveryScreenStaysCentred() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(bool, applied);
    TTestHome home;
    TModalAnswerer answerer;
    home.Write("vantel.ini", QString("[FORM_HLAV]\nLeft=%1\nTop=%2\nHeight=500\nWidth=700\n")
                                 .arg(left)
                                 .arg(top)
                                 .toLatin1());
    auto form = Start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(form->size(), QSize(700, 500)); // no frame is known before the first show
    if (applied) {
      QCOMPARE(form->pos(), QPoint(left, top));
    } else {
      TTestHome fresh;
      auto centred = Start();
      QCOMPARE(form->pos(), centred->pos());
      QVERIFY(screen.intersects(form->frameGeometry()));
    }
  }

  void SettingsThatCannotBeWrittenAreReportedOnceAndClosingGoesOn() {
    TTestHome home;
    TModalAnswerer answerer;
    qputenv("VANTEL_HOME", home.File("settings").toLocal8Bit());
    auto form = Start();
    home.Write("settings", "a file where the directory should be");
    const int before = answerer.Texts.size();
    form->close();
    QCOMPARE(answerer.Texts.size(), before + 1);
    QVERIFY(answerer.Texts.last().startsWith("Open file error!\n"));
    QVERIFY(answerer.Texts.last().contains(home.File("settings/vantel.ini")));
    QVERIFY(answerer.Texts.last().contains(home.File("settings/_vantel.ini")));
  }

  // A vantel.ini that other tools grew to near the read limit in LF would pass it in CR LF;
  // one past the limit cannot be read at all. Neither is replaced by what the program
  // holds: every section stays for the next start, and the closing message names it.
  void SettingsNearOrOverTheReadLimitAreKept_data() {
    QTest::addColumn<bool>("over");
    QTest::newRow("near the limit") << false;
    QTest::newRow("over the limit") << true;
  }
  void SettingsNearOrOverTheReadLimitAreKept() {
    QFETCH(bool, over);
    TTestHome home;
    TModalAnswerer answerer;
    QByteArray ini = "[FORM_HLAV]\nLanguage=2\n[OTHER_TOOL]\n";
    const qsizetype size =
        static_cast<qsizetype>(over ? ReadLimitBytes + 10 : ReadLimitBytes - 1000);
    while (ini.size() < size) ini += "Key=a value another tool keeps\n";
    home.Write("vantel.ini", ini);
    auto form = Start();
    QCOMPARE(int(CurrentLanguage), over ? int(LangEnglish) : int(LangFrench));
    answerer.Texts.clear();
    form->close();
    QCOMPARE(answerer.Texts.size(), 1);
    QVERIFY2(answerer.Texts[0].contains(home.File("vantel.ini")), qPrintable(answerer.Texts[0]));
    QCOMPARE(FileBytes(home.File("vantel.ini")), ini);
  }

  // Both settings files read-only, or a folder in their place: left as they are and
  // named in the one closing message, whose detail lines follow the language.
  void SettingsThatCannotBeReplacedAreLeftAndReportedOnce_data() {
    QTest::addColumn<bool>("folder");
    QTest::newRow("read-only files") << false;
    QTest::newRow("folders in their place") << true;
  }
  void SettingsThatCannotBeReplacedAreLeftAndReportedOnce() {
    QFETCH(bool, folder);
    if (!folder && geteuid() == 0) QSKIP("permission bits do not stop root");
    TTestHome home;
    TModalAnswerer answerer;
    const QByteArray ini = "[FORM_HLAV]\nLanguage=1\n", state = "1 2 3";
    for (const auto& [name, content] : {std::pair{"vantel.ini", ini}, {"_vantel.ini", state}}) {
      if (folder) {
        QDir(home.Path()).mkdir(name);
      } else {
        home.Write(name, content);
        QFile::setPermissions(home.File(name), QFile::ReadOwner | QFile::ReadGroup);
      }
    }
    auto form = Start({"DEUTSCH"});
    answerer.Texts.clear();
    form->close();
    QCOMPARE(answerer.Texts.size(), 1);
    const QString sentence = folder ? QString::fromUtf8("keine gewöhnliche Datei")
                                    : QString::fromUtf8("kann nicht zum Schreiben geöffnet "
                                                        "werden, bleibt unverändert");
    QCOMPARE(answerer.Texts[0].section('\n', 0, 1),
             QString::fromUtf8("Fehler beim öffnen der Datei!\nDiese Einstellungen konnten für "
                               "den nächsten Start nicht gespeichert werden:"));
    for (const char* name : {"vantel.ini", "_vantel.ini"}) {
      QVERIFY2(answerer.Texts[0].contains(home.File(name) + ": " + sentence),
               qPrintable(answerer.Texts[0]));
      if (folder) QVERIFY(QFileInfo(home.File(name)).isDir());
    }
    if (!folder) {
      QCOMPARE(FileBytes(home.File("vantel.ini")), ini);
      QCOMPARE(FileBytes(home.File("_vantel.ini")), state);
      QVERIFY(!(QFile::permissions(home.File("vantel.ini")) & QFile::WriteOwner));
    }
  }

  void SaveTakesTheScreenAndProposesTheFileToOpen() {
    TTestHome home;
    TModalAnswerer answerer;
    auto form = Start();
    form->RpmEdits[0]->setText("1250");
    {
      TFileDialogAnswerer driver(home.File("bike"));
      form->MenuSaveClick();
    }
    const QString saved = home.File("bike.ign");
    QVERIFY(FileBytes(saved).contains("\r\nRPM_ADV      1200  2000 "));
    QCOMPARE(form->RpmUpDowns[0]->Position(), 1200);
    QCOMPARE(form->LabelFile2->text(), saved);
    QCOMPARE(form->LastFilePath, saved);
    TFileDialogAnswerer cancel("");
    form->MenuOpenClick();
    QCOMPARE(cancel.Proposed.value(0), saved);
  }

  void OpenOfAnEqualFileTakesNoStepAndOverwritingAsksFirst() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::No);
    auto form = Start();
    const QString path = home.File("same.ign");
    home.Write("same.ign", IgnBytes(form->Image.Params));
    const auto cur = form->History.HistoryCur;
    {
      TFileDialogAnswerer driver(path);
      form->MenuOpenClick();
    }
    QCOMPARE(form->History.HistoryCur, cur);
    QCOMPARE(form->LabelFile2->text(), path);

    form->EditBaseAdv->setText("20");
    TFileDialogAnswerer driver(path);
    form->MenuSaveClick();
    QCOMPARE(driver.Proposed.value(0), path);
    QCOMPARE(driver.Proposed.size(), 2); // the question said No, then the dialog was left
    QVERIFY(FileBytes(path).contains("\r\nBASE_ADV       10 "));
  }

  void OpenLaysTheFileOverTheRecordOrRefusesAnotherVersion_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("taken");
    QTest::newRow("version 67, one key") << QByteArray("ZANDERIX_KEY 67\nBASE_ADV 12\n") << true;
    QTest::newRow("version 66") << QByteArray("ZANDERIX_KEY  66 \r\n\r\nBASE_ADV 12 ") << false;
  }
  void OpenLaysTheFileOverTheRecordOrRefusesAnotherVersion() {
    QFETCH(QByteArray, file);
    QFETCH(bool, taken);
    TTestHome home;
    TModalAnswerer answerer;
    auto form = Start();
    home.Write("x.ign", file);
    form->Image.Params.Advance[0] = 30;
    form->ParamsToScreen();
    form->LabelFile2->setText("before");
    form->LabelHlaseni->show();
    TIgnParams expected = form->Image.Params;
    if (taken) expected.BaseAdv = 12;
    TFileDialogAnswerer driver(home.File("x.ign"));
    form->MenuOpenClick();
    for (int i = 0; i < 50; ++i)
      QCOMPARE(form->Image.Block(1)[i], reinterpret_cast<const std::uint8_t*>(&expected)[i]);
    QCOMPARE(form->LabelFile2->text(), taken ? home.File("x.ign") : QString("before"));
    if (!taken) QCOMPARE(answerer.Texts.last(), QString("Unmatched version of *.ign file!"));
    QVERIFY(form->LabelHlaseni->isHidden());
  }

  void FailedSaveKeepsTheOldFileTheRecordAndTheScreen_data() {
    QTest::addColumn<int>("failure");
    QTest::newRow("directory removed") << 0;
    QTest::newRow("directory replaced by a file") << 1;
    QTest::newRow("file size limit while writing") << 2;
  }
  void FailedSaveKeepsTheOldFileTheRecordAndTheScreen() {
    QFETCH(int, failure);
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::Yes);
    auto form = Start();
    QDir(home.Path()).mkdir("sub");
    const QString target = home.File("sub/old.ign");
    const QByteArray old = "ZANDERIX_KEY  67 \r\nBASE_ADV 5 ";
    home.Write("sub/old.ign", old);
    form->LabelFile2->setText("before");
    form->RpmEdits[0]->setText("1250");
    const TIgnParams record = form->Image.Params;
    std::function<void()> breakIt = [&] {
      QDir(home.File("sub")).removeRecursively();
      if (failure == 1) home.Write("sub", old);
    };
    if (failure == 2) breakIt = nullptr;
    rlimit limit{}, small{100, 100};
    getrlimit(RLIMIT_FSIZE, &limit);
    if (failure == 2) {
      signal(SIGXFSZ, SIG_IGN);
      small.rlim_max = limit.rlim_max;
      setrlimit(RLIMIT_FSIZE, &small);
    }
    {
      TFileDialogAnswerer driver(target, breakIt);
      form->MenuSaveClick();
    }
    setrlimit(RLIMIT_FSIZE, &limit);
    QVERIFY2(answerer.Texts.last().startsWith("Open file error!\n" + target + ": "),
             qPrintable(answerer.Texts.last()));
    QCOMPARE(form->LabelFile2->text(), QString("before"));
    QCOMPARE(form->LastFilePath, QString());
    QCOMPARE(FileBytes(failure == 1 ? home.File("sub") : target),
             failure == 0 ? QByteArray() : old);
    if (failure != 2) {
      QVERIFY(Same(form->Image.Params, record));
      QCOMPARE(form->RpmEdits[0]->text(), QString("1250"));
    }
  }

  void NewAsksAndOnlyYesLoadsTheDefaults_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(QMessageBox::No);
    QTest::newRow("Cancel") << int(QMessageBox::Cancel);
    QTest::newRow("Yes") << int(QMessageBox::Yes);
  }
  void NewAsksAndOnlyYesLoadsTheDefaults() {
    QFETCH(int, answer);
    TTestHome home;
    TModalAnswerer answerer{QMessageBox::StandardButton(answer)};
    auto form = Start();
    form->Image.Params.Advance[0] = 30;
    form->Image.Params.Input1 = 3;
    form->ParamsToScreen();
    form->PushHistory();
    form->LabelFile2->setText("before");
    const TIgnParams before = form->Image.Params;
    const auto cur = form->History.HistoryCur;
    form->MenuNewClick();
    QCOMPARE(answerer.Texts.last(), QString("Do you want default setting?"));
    if (answer != QMessageBox::Yes) {
      QVERIFY(Same(form->Image.Params, before));
      QCOMPARE(form->History.HistoryCur, cur);
      QCOMPARE(form->LabelFile2->text(), QString("before"));
      return;
    }
    TIgnParams expected = Defaults();
    expected.Input1 = 3;
    QVERIFY(Same(form->Image.Params, expected));
    QCOMPARE(form->LabelFile2->text(), QString());
    QVERIFY(form->History.HistoryCur != cur);
  }

  void NewKeepsSelfsearchUntilTheNextEdit() {
    TTestHome home;
    TModalAnswerer answerer(QMessageBox::Yes);
    auto form = Start();
    form->ComboBoxBike->setCurrentIndex(4); // KTM 4T SEM
    form->EditExit();
    QCOMPARE(form->Image.Params.Polarita, 1);
    form->MenuNewClick();
    QCOMPARE(form->Image.Params.Polarita, 2);
    QCOMPARE(form->RadioGroupPolarita->ItemIndex(), 2);
    form->EditExit();
    QCOMPARE(form->Image.Params.Polarita, 1);
  }

  void OpeningAChangingFileProgramsThenHidesTheStatus() {
    TTestHome home;
    TModalAnswerer answerer;
    auto form = Start();
    form->CheckBoxProgHned->setChecked(true);
    form->ParamsChanged(); // arms program-after-change
    TIgnParams changed = form->Image.Params;
    changed.BaseAdv = 15;
    home.Write("x.ign", IgnBytes(changed));
    TFileDialogAnswerer driver(home.File("x.ign"));
    form->MenuOpenClick();
    QCOMPARE(form->Link.TransferMode, tmProgram);
    QVERIFY(form->LabelHlaseni->isHidden());
    QVERIFY(form->CGaugeProgram->isHidden());
  }
};

QTEST_MAIN(TestFiles)
#include "test_hlav_files.moc"
