// Restore points, the back-up before programming and the difference window, on the real
// window with real keys, clicks and file dialogs, against the simulated unit.
#include "app/Hlav.h"
#include "files/IgnFile.h"
#include "files/RestorePoints.h"
#include "link/Frame.h"
#include "model/Identity.h"
#include "support/AppSupport.h"
#include "app/FormDiff.h"
#include "app/FormRestorePoints.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <cstring>

namespace {

bool Same(const TIgnParams& a, const TIgnParams& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The simulated unit's folder: named by its identity block.
QString UnitFolder(const TTestHome& home) {
  const TSimUnit unit;
  TDeviceImage image{};
  std::memcpy(image.Block(0), unit.Block(0), BlockSize);
  TUnitIdentity identity;
  DecodeUnitIdentity(image, identity);
  return home.File("data/vantel/restore-points/") +
         QString::fromStdString(UnitFolderName(identity));
}

// The restore points of a kind, oldest first.
QStringList RestorePoints(const TTestHome& home, const char* kind) {
  QDir folder(UnitFolder(home));
  QStringList paths;
  for (const QString& name :
       folder.entryList({QString("*-%1.ign").arg(kind)}, QDir::Files, QDir::Name))
    paths << folder.filePath(name);
  return paths;
}

// The block frames that reach the unit: their command bytes, and all their bytes.
class TRecordingPort : public TSimPort {
public:
  bool Write(const std::uint8_t* data, int count) override {
    if (count > 0 && data[0] != MonitorRequestCommand) {
      Commands.push_back(data[0]);
      Bytes.append(reinterpret_cast<const char*>(data), count);
    }
    return TSimPort::Write(data, count);
  }
  void Clear() {
    Commands.clear();
    Bytes.clear();
  }
  std::vector<std::uint8_t> Commands;
  QByteArray Bytes;
};

// A read request exactly as a Read sends it: zero payload, sealed.
QByteArray ReadRequest(std::uint8_t command) {
  TLinkFrame frame{};
  BuildBlockFrame(frame, command, true, TDeviceImage{});
  return QByteArray(reinterpret_cast<const char*>(frame.data()), FrameSize);
}

// The window, shown and active, with its first port on this device.
struct TWindow {
  explicit TWindow(const QString& device = {}) {
    if (!device.isEmpty()) qputenv("VANTEL_COM1", device.toLocal8Bit());
    CurrentLanguage = LangEnglish;
    Form = std::make_unique<TFormHlav>(QStringList{});
    Form->show();
    if (!QTest::qWaitForWindowActive(Form.get())) qFatal("the window did not become active");
    Answerer.Texts.clear(); // without a device: the port's own message at start-up
  }
  ~TWindow() {
    if (Form) Form->Link.SetPort(nullptr);
  }
  void Press(const QKeySequence& key) { ::Press(Form.get(), key); }
  // A transfer that a key started, to its end.
  void Await(const QString& status) {
    QTRY_COMPARE_WITH_TIMEOUT(Form->LabelHlaseni->text(), status, 8000);
    QTRY_COMPARE_WITH_TIMEOUT(Form->Link.TransferMode, tmIdle, 2000);
  }
  // An item at the end of the Tools menu through the keyboard: the File menu by its letter,
  // across to Tools, then the item's letter.
  void Tools(char letter) {
    Press(QKeySequence(Qt::ALT | Qt::Key_F));
    QTRY_VERIFY(QApplication::activePopupWidget() == Form->MenuFile);
    for (int i = 0; i < 3; ++i) QTest::keyClick(KeyTarget(), Qt::Key_Right);
    QTRY_VERIFY(QApplication::activePopupWidget() == Form->MenuTools);
    QTest::keyClick(KeyTarget(), letter);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    // Offscreen has no window manager: the closed menu's own activation may still arrive
    // afterwards. The window takes it back, as a window manager would give it.
    for (int settled = 0, i = 0; settled < 5 && i < 200; ++i) {
      settled = QApplication::activeWindow() == Form.get() ? settled + 1 : 0;
      if (settled == 0) Form->activateWindow();
      QTest::qWait(10);
    }
    QVERIFY(QApplication::activeWindow() == Form.get());
  }
  TModalAnswerer Answerer;
  std::unique_ptr<TFormHlav> Form;
};

} // namespace

class TestRestorePoints : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  // A Read keeps what the unit held, a Program what was programmed, byte for byte.
  void ReadAndProgramEachLeaveOneRestorePoint() {
    TSimProcess sim;
    QVERIFY2(sim.Start(), "vantel-sim did not start");
    TTestHome home;
    TWindow w(QString::fromStdString(sim.Path));
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    const QStringList read = RestorePoints(home, "read");
    QCOMPARE(read.size(), 1);
    QCOMPARE(FileBytes(read[0]), IgnBytes(TSimUnit().Params()));

    // A change typed into the window, then programmed.
    w.Form->EditBaseAdv->setFocus();
    w.Form->EditBaseAdv->selectAll();
    QTest::keyClicks(w.Form->EditBaseAdv, "14");
    QTest::keyClick(w.Form->EditBaseAdv, Qt::Key_Return);
    QCOMPARE(w.Form->Image.Params.BaseAdv, 14);
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Verify: OK");
    QVERIFY(RestorePoints(home, "programmed").isEmpty()); // not before the unit has stored it
    w.Await("Programing: OK");
    const QStringList programmed = RestorePoints(home, "programmed");
    QCOMPARE(programmed.size(), 1);
    QCOMPARE(FileBytes(programmed[0]), IgnBytes(w.Form->Image.Params));
    QCOMPARE(RestorePoints(home, "read").size(), 1);
    QVERIFY(w.Form->LabelRestorePointFailure == nullptr ||
            w.Form->LabelRestorePointFailure->isHidden());
  }

  // With the option the unit's own set is read and kept first; the screen keeps its values
  // and no step enters the history. Off, Program sends byte for byte what it always sends.
  // The option lives in the extra settings file.
  void BackUpReadsTheUnitFirstKeepsTheScreenAndIsRemembered() {
    TTestHome home;
    {
      TWindow w;
      TRecordingPort port;
      w.Form->Link.SetPort(&port);
      // A Program before the option was ever on: the frames it sends today, once block 0
      // holds what the unit echoed.
      w.Press(QKeySequence(Qt::Key_F9));
      w.Await("Verify: OK");
      port.Clear();
      w.Press(QKeySequence(Qt::Key_F9));
      w.Await("Verify: OK");
      QCOMPARE(port.Commands, (std::vector<std::uint8_t>{0x00, 0x01, 0x41}));
      const QByteArray plain = port.Bytes;
      port.Unit = TSimUnit();
      port.Clear();
      QDir(home.File("data")).removeRecursively();

      QVERIFY(!w.Form->MenuBackUp->isChecked());
      w.Tools('b');
      QVERIFY(w.Form->MenuBackUp->isChecked());
      QVERIFY(w.Form->Link.BackUpBeforeProgramming);

      const TIgnParams unitHeld = port.Unit.Params();
      QVERIFY(!Same(unitHeld, w.Form->Image.Params));
      const TIgnParams screen = w.Form->Image.Params;
      const bool undo = w.Form->MenuZpet->isEnabled();
      w.Press(QKeySequence(Qt::Key_F9));
      QCOMPARE(w.Form->LabelHlaseni->text(), QString("Read:"));
      w.Await("Verify: OK");
      QCOMPARE(port.Commands, (std::vector<std::uint8_t>{0x40, 0x41, 0x00, 0x01, 0x41}));
      QCOMPARE(port.Bytes, ReadRequest(0x40) + ReadRequest(0x41) + plain);
      QVERIFY(Same(w.Form->Image.Params, screen));
      QCOMPARE(w.Form->EditBaseAdv->text().toInt(), int(screen.BaseAdv));
      QCOMPARE(w.Form->MenuZpet->isEnabled(), undo);
      QVERIFY(Same(port.Unit.Params(), screen));
      const QStringList read = RestorePoints(home, "read");
      QCOMPARE(read.size(), 1);
      QCOMPARE(FileBytes(read[0]), IgnBytes(unitHeld));
      port.Unit.Advance(TSimUnit::StoreSeconds + 0.1);
      w.Await("Programing: OK");
      QCOMPARE(RestorePoints(home, "programmed").size(), 1);

      // Off again sends exactly what Program sends without it.
      w.Tools('b');
      QVERIFY(!w.Form->Link.BackUpBeforeProgramming);
      port.Clear();
      w.Press(QKeySequence(Qt::Key_F9));
      w.Await("Verify: OK");
      QCOMPARE(port.Bytes, plain);
      w.Tools('b');
      w.Form->close();
    }
    QVERIFY(FileBytes(home.File("vantel-extra.ini"))
                .contains("[RESTORE_POINTS]\r\nBackUpBeforeProgramming=1\r\n"));
    QVERIFY(!FileBytes(home.File("vantel.ini")).contains("BackUp"));
    TWindow again;
    QVERIFY(again.Form->MenuBackUp->isChecked());
    QVERIFY(again.Form->Link.BackUpBeforeProgramming);
  }

  // A unit that does not answer the read is not programmed: the red read error says so.
  void BackUpFromAUnitThatDoesNotAnswerProgramsNothing() {
    TTestHome home;
    TWindow w;
    TRecordingPort port;
    TSimOptions silent;
    silent.Silent = true;
    port.Unit = TSimUnit(silent);
    const TIgnParams unitHeld = port.Unit.Params();
    w.Form->Link.SetPort(&port);
    w.Tools('b');
    const TIgnParams screen = w.Form->Image.Params;
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Read error! Nothing programmed: the back-up could not be read from the unit.");
    QCOMPARE(w.Form->LabelHlaseni->palette().color(w.Form->LabelHlaseni->backgroundRole()),
             QColor(255, 0, 0));
    QTest::qWait(500);
    QCOMPARE(port.Commands, std::vector<std::uint8_t>(MaxSends, 0x40));
    QVERIFY(Same(port.Unit.Params(), unitHeld));
    QCOMPARE(port.Unit.ProgrammingCount(), 0);
    QVERIFY(Same(w.Form->Image.Params, screen));
    QVERIFY(!QDir(home.File("data")).exists());
  }

  // A back-up that was read but cannot be kept (its folder cannot be made: a full or
  // read-only disk) programs nothing; the red label says why, in the window's language.
  void BackUpThatCannotBeKeptProgramsNothing() {
    TTestHome home;
    TWindow w;
    TRecordingPort port;
    const TIgnParams unitHeld = port.Unit.Params();
    w.Form->Link.SetPort(&port);
    w.Tools('b');
    QFile blocker(home.File("data"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TIgnParams screen = w.Form->Image.Params;
    w.Press(QKeySequence(Qt::Key_F9));
    QTRY_COMPARE(w.Form->LabelHlaseni->text(),
                 QString("Nothing programmed: the back-up could not be saved."));
    QVERIFY(w.Form->LabelRestorePointFailure != nullptr);
    QVERIFY(w.Form->LabelRestorePointFailure->text().contains(home.File("data")));
    QCOMPARE(w.Form->LabelHlaseni->palette().color(w.Form->LabelHlaseni->backgroundRole()),
             QColor(255, 0, 0));
    QTest::qWait(500);
    QCOMPARE(port.Commands, (std::vector<std::uint8_t>{0x40, 0x41}));
    QVERIFY(Same(port.Unit.Params(), unitHeld));
    QCOMPARE(port.Unit.ProgrammingCount(), 0);
    QVERIFY(Same(w.Form->Image.Params, screen));
    QVERIFY(w.Form->LabelHlaseni->isVisible());
  }

  // The unit answers the verify with one byte changed: the red label, and then the menu,
  // open the window that names exactly that field with both values.
  void ABadVerifyUnitsDifferenceByItsNameAndACompareWithAFile() {
    TSimProcess sim;
    QVERIFY2(sim.Start({"--bad-verify"}), "vantel-sim did not start");
    TTestHome home;
    TWindow w(QString::fromStdString(sim.Path));
    QVERIFY(!w.Form->MenuDifferences->isEnabled());
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Verify error!");
    QVERIFY(w.Form->MenuDifferences->isEnabled());
    QCOMPARE(w.Form->LabelHlaseni->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(RestorePoints(home, "programmed").isEmpty());

    QTest::mouseClick(w.Form->LabelHlaseni, Qt::LeftButton);
    QVERIFY(w.Form->FormDiff != nullptr);
    QTRY_VERIFY(w.Form->FormDiff->isVisible());
    QTreeWidget* list = w.Form->FormDiff->ListDifferences;
    const QString pc = QString::number(w.Form->Image.Params.Advance[0]);
    const QString unit = QString::number(w.Form->Image.Params.Advance[0] ^ 1);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("Point 1: Advance [°]"));
    QCOMPARE(list->topLevelItem(0)->text(1), pc);
    QCOMPARE(list->topLevelItem(0)->text(2), unit);
    QCOMPARE(list->headerItem()->text(1), QString("PC"));
    QCOMPARE(list->headerItem()->text(2), QString("Unit"));

    // Closed, then opened again with its key, in German.
    QTest::mouseClick(w.Form->FormDiff->ButtonClose, Qt::LeftButton);
    QVERIFY(!w.Form->FormDiff->isVisible());
    w.Form->MenuGerman->trigger();
    w.Press(QKeySequence(Qt::Key_F12));
    QTRY_VERIFY(w.Form->FormDiff->isVisible());
    QCOMPARE(w.Form->FormDiff->windowTitle(), QString("Unterschiede"));
    QCOMPARE(list->topLevelItem(0)->text(0), QString("Stützpunkt 1: Vorzündung [°]"));
    QCOMPARE(list->headerItem()->text(2), QString("Zündung"));

    // The screen against a file, through the real file dialog.
    TIgnParams file = w.Form->Image.Params;
    file.Omez2 = 120;
    home.Write("other.ign", IgnBytes(file));
    {
      TFileDialogTyper typer({home.File("other.ign")});
      QTest::mouseClick(w.Form->FormDiff->ButtonCompareFile, Qt::LeftButton);
      QCOMPARE(typer.Proposed.size(), 1);
    }
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("Begrenzer [rpm]"));
    QCOMPARE(list->topLevelItem(0)->text(1), QString::number(w.Form->Image.Params.Omez2 * 100));
    QCOMPARE(list->topLevelItem(0)->text(2), QString("12000"));
    QCOMPARE(list->headerItem()->text(2), QString("other.ign"));
    QVERIFY(w.Form->FormDiff->LabelDiffHead->text().contains(home.File("other.ign")));

    // The next pass withdraws the offer.
    w.Form->activateWindow();
    w.Press(QKeySequence(Qt::Key_F8));
    QVERIFY(!w.Form->MenuDifferences->isEnabled());
    QCOMPARE(w.Form->LabelHlaseni->cursor().shape(), Qt::ArrowCursor);
  }

  // Chosen in the window and opened: loaded exactly as the Open command loads a file.
  void ARestorePointOpensAsTheOpenCommandOpensAFile() {
    TTestHome home;
    TWindow w;
    TRecordingPort port;
    w.Form->Link.SetPort(&port);
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    const TIgnParams unitHeld = w.Form->Image.Params;
    w.Form->Image.Params.BaseAdv = 3;
    w.Form->ParamsChanged();
    QTest::qWait(1100); // the next restore point a second later
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Verify: OK");
    port.Unit.Advance(TSimUnit::StoreSeconds + 0.1);
    w.Await("Programing: OK");

    w.Press(QKeySequence(Qt::Key_F11));
    TFormRestorePoints* window = w.Form->FormRestorePoints;
    QVERIFY(window != nullptr);
    QTRY_VERIFY(window->isActiveWindow());
    QTreeWidget* list = window->ListRestorePoints;
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), QString("programmed"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("read"));
    QCOMPARE(list->topLevelItem(1)->text(0), QFileInfo(UnitFolder(home)).fileName());

    w.Form->CheckBoxProgHned->click(); // program after change: Open programs at once
    const std::uint16_t history = w.Form->History.HistoryCur;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(window->ChosenPath(), RestorePoints(home, "read").value(0));
    port.Clear();
    QTest::mouseClick(window->ButtonOpen, Qt::LeftButton);
    QVERIFY(Same(w.Form->Image.Params, unitHeld));
    QCOMPARE(w.Form->History.HistoryCur, std::uint16_t(history + 1));
    QCOMPARE(w.Form->LabelFile2->text(), RestorePoints(home, "read").value(0));
    QVERIFY(w.Form->LabelHlaseni->isHidden());
    QCOMPARE(w.Form->Link.TransferMode, tmProgram);
    QTRY_VERIFY_WITH_TIMEOUT(Same(port.Unit.Params(), unitHeld), 3000);
    // The programming it started, once stored, left its own restore point, and the list
    // shows it.
    QTRY_COMPARE(w.Form->Link.Phase(), TLinkPhase::Storing);
    port.Unit.Advance(TSimUnit::StoreSeconds + 0.1);
    QTRY_COMPARE(list->topLevelItemCount(), 3);
  }

  // Nowhere to keep restore points: the transfers complete, one message says so. (With
  // the back-up option nothing would be programmed: see above.)
  void ADataFolderThatTakesNothingGivesOneMessage() {
    TTestHome home;
    home.Write("data", "a file where the data folder belongs");
    TWindow w;
    TRecordingPort port;
    w.Form->Link.SetPort(&port);

    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    QVERIFY(Same(w.Form->Image.Params, port.Unit.Params()));
    w.Form->Image.Params.BaseAdv = 3;
    w.Form->ParamsChanged();
    // Programmed with the pointer on a button: its hint takes the message's place.
    QTest::mouseMove(w.Form->ButtonRead);
    QTRY_COMPARE(w.Form->StatusBar1->currentMessage(), QString("Reading parametrs from ignition"));
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Verify: OK");
    QVERIFY(Same(port.Unit.Params(), w.Form->Image.Params));
    QVERIFY(w.Answerer.Texts.isEmpty());
    const QList<QLabel*> messages =
        w.Form->StatusBar1->findChildren<QLabel*>("LabelRestorePointFailure");
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0]->isHidden());
    QTest::mouseMove(w.Form->LabelHlaseni);
    QTRY_VERIFY(w.Form->StatusBar1->currentMessage().isEmpty());
    QVERIFY(messages[0]->isVisible());
    QVERIFY2(messages[0]->text().startsWith("Restore point not saved: " + home.File("data")),
             qPrintable(messages[0]->text()));
    QCOMPARE(FileBytes(home.File("data")), QByteArray("a file where the data folder belongs"));
    // However long the message, the window still narrows as far as it did.
    w.Form->resize(360, w.Form->height());
    QTRY_COMPARE(w.Form->width(), 360);

    w.Form->MenuCzech->trigger();
    QVERIFY(messages[0]->text().startsWith("Bod obnovení nebyl uložen: "));
    QFile::remove(home.File("data"));
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verifikace: OK");
    QVERIFY(messages[0]->isHidden());
    QCOMPARE(RestorePoints(home, "read").size(), 1);
  }
};

QTEST_MAIN(TestRestorePoints)
#include "test_restore_points.moc"
