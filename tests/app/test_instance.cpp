// The program as started from a file manager: a .ign file on the command line is opened, and
// a second start on the same settings folder hands its file to the running window and ends,
// while nobody else can drive the window through its socket. Real processes throughout.
#include "files/StateFile.h"
#include "model/Defaults.h"
#include "model/Instance.h"
#include "support/AppSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// A tune that differs from the defaults in its base advance.
QByteArray Tune(int baseAdvance) {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.BaseAdv = std::uint8_t(baseAdvance);
  return IgnBytes(p);
}

// The parameters the window kept at closing.
int KeptBaseAdvance(const QString& stateFile) {
  TDeviceImage image{};
  ReadStateFile(stateFile.toStdString(), image);
  return image.Params.BaseAdv;
}

QString KeptFile(const QString& ini) {
  for (const QByteArray& line : FileBytes(ini).split('\n'))
    if (line.startsWith("File=")) return QString::fromUtf8(line.mid(5).trimmed());
  return {};
}

// The program on a settings home and a simulated unit, with its own runtime directory.
class TProgram {
public:
  TProgram(const QString& home, const QString& runtime, const QString& device) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VANTEL_HOME", home);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("VANTEL_COM1", device);
    Process.setProcessEnvironment(env);
    Process.setWorkingDirectory(home);
  }
  ~TProgram() {
    if (Process.state() != QProcess::NotRunning) {
      Process.kill();
      Process.waitForFinished(5000);
    }
  }
  void Start(const QStringList& arguments) {
    Process.start(qEnvironmentVariable("VANTEL_PROGRAM"), arguments);
  }
  // Runs to its end; its exit status, or -1 when it does not end in time.
  int Run(const QStringList& arguments, int ms = 20000) {
    Start(arguments);
    if (!Process.waitForFinished(ms)) return -1;
    return Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
  }
  // Ends it as a session end does: the settings are written.
  bool Close() {
    ::kill(pid_t(Process.processId()), SIGTERM);
    return Process.waitForFinished(20000) && Process.exitCode() == 0;
  }
  QProcess Process;
};

} // namespace

class TestInstance : public QObject {
  Q_OBJECT

private slots:
  void init() {
    if (qEnvironmentVariable("VANTEL_PROGRAM").isEmpty()) QSKIP("VANTEL_PROGRAM is not set");
  }

  void ASecondStartHandsItsFileToTheRunningWindow() {
    TTestHome home;
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TSimProcess sim;
    QVERIFY(sim.Start());
    const QString device = QString::fromStdString(sim.Path);
    home.Write("first.ign", Tune(11));
    home.Write("second.ign", Tune(14));
    const QString socket = runtime.path() + '/' +
                           QString::fromStdString(InstanceName(
                               QFileInfo(home.Path()).canonicalFilePath().toStdString()));

    // A crash left its socket and its lock behind: the next start is not stopped by them.
    QFile::copy(home.File("first.ign"), socket);
    {
      QFile lock(socket + ".lock");
      QVERIFY(lock.open(QIODevice::WriteOnly));
      lock.write("999999999\nvantel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }

    // The first start opens the file it names, relative to where it was started.
    TProgram first(home.Path(), runtime.path(), device);
    first.Start({"DEUTSCH", "first.ign"});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) && !QFileInfo(socket).isFile(), 20000);
    // Only the user reaches the socket.
    QCOMPARE(QFileInfo(socket).permissions() &
                 (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
             QFile::Permissions());

    // Strangers: garbage, an endless request, a relative path, a missing file, a folder.
    const QList<QByteArray> strangers = {
        "open /etc/passwd\n",
        QByteArray(int(MaxInstanceRequest) + 100, 'x'),
        QByteArray::fromStdString(EncodeInstanceRequest("second.ign")),
        QByteArray::fromStdString(EncodeInstanceRequest(home.File("none.ign").toStdString())),
        QByteArray::fromStdString(EncodeInstanceRequest(home.Path().toStdString())),
    };
    for (const QByteArray& request : strangers) {
      QLocalSocket peer;
      peer.connectToServer(socket);
      QVERIFY(peer.waitForConnected(5000));
      peer.write(request);
      peer.waitForBytesWritten(5000);
      // The window answers only a well-formed request, and acts on none of these.
      peer.waitForDisconnected(8000);
    }

    // A start on the same folder hands over its file and ends at once.
    TProgram second(home.Path(), runtime.path(), device);
    QCOMPARE(second.Run({home.File("second.ign")}), 0);
    // Without a file it only raises the window.
    TProgram third(home.Path(), runtime.path(), device);
    QCOMPARE(third.Run({}), 0);

    QVERIFY(first.Close());
    QCOMPARE(KeptFile(home.File("vantel.ini")), home.File("second.ign"));
    QCOMPARE(KeptBaseAdvance(home.File("_vantel.ini")), 14);
    QVERIFY(FileBytes(home.File("vantel.ini")).contains("Language=1")); // DEUTSCH still counts
    QVERIFY(!QFileInfo::exists(socket));

    // With the window gone, a start with a file is a window of its own again.
    TProgram again(home.Path(), runtime.path(), device);
    again.Start({home.File("first.ign")});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 20000);
    QVERIFY(again.Close());
    QCOMPARE(KeptBaseAdvance(home.File("_vantel.ini")), 11);
  }

  void AnotherSettingsFolderIsAnotherWindow() {
    TTestHome home;
    QTemporaryDir other, runtime;
    TSimProcess sim;
    QVERIFY(sim.Start());
    const QString device = QString::fromStdString(sim.Path);
    TProgram first(home.Path(), runtime.path(), device);
    first.Start({});
    QTRY_VERIFY_WITH_TIMEOUT(QDir(runtime.path()).entryList({"vantel-*"}, QDir::System).size() > 0,
                             20000);
    TProgram second(other.path(), runtime.path(), device);
    second.Start({});
    QVERIFY(!second.Process.waitForFinished(3000)); // still running: its own window
    QVERIFY(second.Close());
    QVERIFY(first.Close());
  }
};

QTEST_MAIN(TestInstance)
#include "test_instance.moc"
