// The command-line tool and the window meet in the same files: what vantel-cli reads from a
// unit is byte for byte what the window's Read and Save put on disk, and a file the window
// saved programs the same record through the tool.
#include "app/Hlav.h"
#include "support/AppSupport.h"
#include "support/CliProcess.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTest>

class TestCliFiles : public QObject {
  Q_OBJECT

private slots:
  void ReadByTheToolAndSavedByTheWindowAreTheSameBytes() {
    TSimProcess sim;
    QVERIFY(sim.Start());
    TTestHome home;
    // A record that Open and a read must normalise, with every field away from the
    // defaults but within its control's range and the keying type's rule (Save takes the
    // screen): a negative correction, reversed pilot light, speeds and clutch times between
    // steps, curve speeds out of order and beyond their bounds, the start limiter too high.
    home.Write("odd.ign", "ZANDERIX_KEY  67 \r\n\r\nBIKE            3 \r\n"
                          "RPM_ADV       500  1050  1000  4000  5000  6000  7000  8000  9000 "
                          "10000 11000 12000 13000 14000 20100 \r\n"
                          "ADVANCE        5    12    19    26    33    40    47    54    60    "
                          "0     1     2     3     4     60 \r\n"
                          "POCET_BODU      9 \r\nBASE_ADV       17 \r\n"
                          "LIMITER       160   120    11 \r\nPOLARITA        1 \r\n"
                          "GEBER_NR        1 \r\nPILOT_LIGHT       10050 \r\n"
                          "REV_OUT_PILOT_LIGHT   1\r\nCLUTCH        255  2499 \r\n"
                          "RPM             6   -60 \r\nINPUT           2     4 ");
    const TCliRun programmed =
        RunCli({"-p", sim.Path, "program", home.File("odd.ign").toStdString()});
    QVERIFY2(programmed.Status == 0, programmed.Err.c_str());

    qputenv("VANTEL_COM1", QByteArray::fromStdString(sim.Path));
    {
      TModalAnswerer answerer;
      TFormHlav form(QStringList{});
      form.show();
      QVERIFY(QTest::qWaitForWindowActive(&form));
      Press(&form, form.MenuRead->shortcut());
      QTRY_COMPARE_WITH_TIMEOUT(form.LabelHlaseni->text(), QString("Verify: OK"), 5000);
      TFileDialogTyper typer({home.File("window.ign")});
      Press(&form, QKeySequence(Qt::Key_F2));
      QCOMPARE(form.LabelFile2->text(), home.File("window.ign"));
      QVERIFY2(answerer.Texts.isEmpty(), qPrintable(answerer.Texts.join("|")));
    }

    const TCliRun read = RunCli({"-p", sim.Path, "read", "-o", home.File("cli.ign").toStdString()});
    QVERIFY2(read.Status == 0, read.Err.c_str());
    const std::string window = TTempHome::Slurp(home.File("window.ign").toStdString());
    QVERIFY(window.find("\r\nRPM_ADV       600  1000  1100  4000 ") != std::string::npos);
    QVERIFY(window.find("\r\nRPM             6   -60 ") != std::string::npos);
    QVERIFY(window.find("\r\nLIMITER       120   120    11 ") != std::string::npos);
    QCOMPARE(TTempHome::Slurp(home.File("cli.ign").toStdString()), window);

    // The window's file verifies against the unit it came from.
    const TCliRun verified =
        RunCli({"-p", sim.Path, "verify", home.File("window.ign").toStdString()});
    QCOMPARE(verified.Status, 0);
    QCOMPARE(verified.Out, std::string("Verify: OK\n"));
  }
};

QTEST_MAIN(TestCliFiles)
#include "test_cli_files.moc"
