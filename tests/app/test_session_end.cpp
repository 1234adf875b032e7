// The program as a process: SIGTERM, SIGHUP and SIGINT close it as Exit does, with both
// settings files written and exit status 0, whether its start-up box is open or it runs.
#include "files/StateFile.h"
#include "model/Defaults.h"
#include "model/Normalise.h"
#include "support/AppSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

#include <sys/stat.h>

namespace {

// The process has its handlers for the ending signals in place.
bool CatchesSigterm(qint64 pid) {
  const QList<QByteArray> lines = FileBytes(QString("/proc/%1/status").arg(pid)).split('\n');
  for (const QByteArray& line : lines)
    if (line.startsWith("SigCgt:"))
      return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
  return false;
}

// The process has the serial device open, so its window is built.
bool HasOpen(qint64 pid, const QString& device) {
  const QDir fds(QString("/proc/%1/fd").arg(pid));
  for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
    if (fd.symLinkTarget() == device) return true;
  return false;
}

ino_t Inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class TestSessionEnd : public QObject {
  Q_OBJECT

private slots:
  void EndingSignalsCloseAsExitDoes_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("running");
    for (const auto& [signal, name] :
         {std::pair{SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}}) {
      QTest::addRow("%s during the start-up box", name) << signal << false;
      QTest::addRow("%s while it runs", name) << signal << true;
    }
  }
  void EndingSignalsCloseAsExitDoes() {
    QFETCH(int, signal);
    QFETCH(bool, running);
    const QString program = qEnvironmentVariable("VANTEL_PROGRAM");
    if (program.isEmpty()) QSKIP("VANTEL_PROGRAM is not set");
    TTestHome home;
    TSimProcess sim;
    QVERIFY(sim.Start());
    const QString device = QString::fromStdString(sim.Path);

    // A curve that was never saved to a parameter file, and French.
    TDeviceImage image{};
    LoadDefaultParams(image.Params);
    image.Params.BaseAdv = 13;
    image.Params.Advance[2] = 27;
    TLanguage language = LangFrench;
    std::uint8_t port = 1;
    NormaliseParams(image.Params, language, port);
    TFailureReport failure;
    QVERIFY(WriteStateFile(home.File("_vantel.ini").toStdString(), image, failure));
    const QByteArray state = FileBytes(home.File("_vantel.ini"));
    home.Write("vantel.ini", "[FORM_HLAV]\nLanguage=2\n");

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (running) env.insert("VANTEL_COM1", device);
    process.setProcessEnvironment(env);
    process.start(program, {});
    QVERIFY(process.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(CatchesSigterm(process.processId()), 20000);
    if (running) QTRY_VERIFY_WITH_TIMEOUT(HasOpen(process.processId(), device), 20000);
    const ino_t before = Inode(home.File("_vantel.ini"));

    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(Inode(home.File("_vantel.ini")) != before); // replaced, by the closing sequence
    QCOMPARE(FileBytes(home.File("_vantel.ini")), state);
    const QByteArray ini = FileBytes(home.File("vantel.ini"));
    QVERIFY2(ini.contains("\r\nLanguage=2\r\n") &&
                 ini.contains("\r\nCheckBoxIgnAll->Checked=0\r\n"),
             ini.constData());
  }
};

QTEST_MAIN(TestSessionEnd)
#include "test_session_end.moc"
