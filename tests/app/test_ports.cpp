// Finding the adapter: the Com items' hints, the ports dialog with its assignment, and the
// port that comes back by itself after a replug.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <memory>
#include <sys/resource.h>

#include "app/FormPorts.h"
#include "app/Hlav.h"
#include "support/AppSupport.h"
#include "support/FakeDevices.h"

namespace fs = std::filesystem;

namespace {

const TFakeDevices::TUsb Ftdi{"ftdi_sio",
                              "FTDI",
                              "FT232R USB UART",
                              "A50285BI",
                              "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                              ""};

// Opens the Com menu as a person does, with a click on its title in the menu bar.
void OpenComMenu(TFormHlav& form) {
  const QPoint title = form.MainMenu1->actionGeometry(form.MenuCom->menuAction()).center();
  QTest::mouseClick(form.MainMenu1, Qt::LeftButton, {}, title);
  QTRY_VERIFY(form.MenuCom->isVisible());
}

// The status bar's text while the pointer rests on item of the open Com menu.
QString HintOver(TFormHlav& form, QAction* item) {
  QTest::mouseMove(form.MenuCom, form.MenuCom->actionGeometry(item).center());
  for (int i = 0; i < 200 && form.MenuCom->activeAction() != item; ++i) QTest::qWait(10);
  return form.MenuCom->activeAction() == item ? form.StatusBar1->currentMessage() : QString();
}

void ClickItem(TFormHlav& form, QAction* item) {
  QTest::mouseClick(form.MenuCom, Qt::LeftButton, {}, form.MenuCom->actionGeometry(item).center());
  QTRY_VERIFY(!form.MenuCom->isVisible());
}

QTreeWidgetItem* RowOf(TFormPorts& dialog, const QString& device) {
  for (int i = 0; i < dialog.ListPorts->topLevelItemCount(); ++i)
    if (dialog.ListPorts->topLevelItem(i)->text(0) == device)
      return dialog.ListPorts->topLevelItem(i);
  return nullptr;
}

double CpuSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) * 1e-6;
}

} // namespace

class TestPorts : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void init() { CurrentLanguage = LangEnglish; }
  void ComHintsNameTheDeviceAndTheAdapter();
  void AssignedDeviceOpensFromItsComItemAndTheListFollowsThePlugs();
  void AHungUpPortIsReopenedQuietlyAndPollingResumes();
};

void TestPorts::ComHintsNameTheDeviceAndTheAdapter() {
  TTestHome home;
  TFakeDevices fake(home.File("root").toStdString());
  fake.PlugUsb("ttyUSB0", Ftdi);
  const QString ftdi = QString::fromStdString(fake.Node("ttyUSB0"));
  qputenv("VANTEL_COM1", ftdi.toLocal8Bit());
  TModalAnswerer answerer; // Com 1 is no serial port: its open fails
  TFormHlav form(QStringList{});
  form.DeviceRoots = fake.Roots();
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));

  OpenComMenu(form);
  QCOMPARE(HintOver(form, form.MenuComItems[0]),
           "Set com 1 — " + ftdi + ": FTDI FT232R USB UART, serial number A50285BI");
  const QString absent = QString::fromLocal8Bit(qgetenv("VANTEL_COM2"));
  QCOMPARE(HintOver(form, form.MenuComItems[1]), "Set com 2 — " + absent + ": not present");
  QCOMPARE(HintOver(form, form.MenuPorts),
           QString("List the serial ports and assign one to a Com item"));
  QTest::keyClick(KeyTarget(), Qt::Key_Escape);
  QTRY_VERIFY(!form.MenuCom->isVisible());

  // In another language the next opening speaks it; the adapter's own words stay.
  form.MenuGerman->trigger();
  fake.Pull("ttyUSB0");
  OpenComMenu(form);
  QCOMPARE(HintOver(form, form.MenuComItems[0]),
           "Com-Anschluß auswahl 1 — " + ftdi + ": nicht vorhanden");
  QTest::keyClick(KeyTarget(), Qt::Key_Escape);
}

void TestPorts::AssignedDeviceOpensFromItsComItemAndTheListFollowsThePlugs() {
  TTestHome home;
  TSimProcess sim;
  QVERIFY(sim.Start());
  TFakeDevices fake(home.File("root").toStdString());
  TFakeDevices::TUsb adapter = Ftdi;
  adapter.NodeTarget = sim.Path; // the simulated unit behind the adapter
  fake.PlugUsb("ttyUSB0", adapter);
  qunsetenv("VANTEL_COM3");
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.DeviceRoots = fake.Roots();
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));

  OpenComMenu(form);
  ClickItem(form, form.MenuPorts);
  QVERIFY(form.FormPorts != nullptr);
  TFormPorts& dialog = *form.FormPorts;
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QVERIFY(!dialog.isModal());
  QCOMPARE(dialog.windowTitle(), QString("Serial ports"));
  const QString node = QString::fromStdString(fake.Node("ttyUSB0"));
  QTreeWidgetItem* row = RowOf(dialog, node);
  QVERIFY(row != nullptr);
  QCOMPARE(row->text(1), QString("FTDI FT232R USB UART, serial number A50285BI"));
  QCOMPARE(row->text(2), QString::fromStdString(Ftdi.ById));
  QCOMPARE(row->text(3), QString("yes"));
  QCOMPARE(row->text(4), QString());

  // Pick the adapter, Com 3 in the list beside the button, and assign.
  QTest::mouseClick(dialog.ListPorts->viewport(), Qt::LeftButton, {},
                    dialog.ListPorts->visualItemRect(row).center());
  QCOMPARE(dialog.ListPorts->currentItem(), row);
  QTest::mouseClick(dialog.ComboBoxAssignCom, Qt::LeftButton);
  QTRY_VERIFY(dialog.ComboBoxAssignCom->view()->isVisible());
  for (int i = 0; i < 2; ++i) QTest::keyClick(dialog.ComboBoxAssignCom->view(), Qt::Key_Down);
  QTest::keyClick(dialog.ComboBoxAssignCom->view(), Qt::Key_Return);
  QTRY_COMPARE(dialog.ComboBoxAssignCom->currentText(), QString("Com 3"));
  QTest::mouseClick(dialog.ButtonAssign, Qt::LeftButton);
  const std::string byId = fake.Node("serial/by-id/" + Ftdi.ById);
  QCOMPARE(QString::fromStdString(fs::read_symlink(home.File("com3").toStdString()).string()),
           QString::fromStdString(byId));
  QVERIFY2(dialog.LabelPortsNote->text().startsWith("Com 3 now leads to "),
           qPrintable(dialog.LabelPortsNote->text()));
  row = RowOf(dialog, node);
  QVERIFY(row != nullptr);
  QCOMPARE(row->text(4), QString("Com 3"));

  // Com 3 now names the adapter, and choosing it opens it: the unit answers.
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  OpenComMenu(form);
  QVERIFY(HintOver(form, form.MenuComItems[2])
              .endsWith(": FTDI FT232R USB UART, serial number A50285BI"));
  ClickItem(form, form.MenuComItems[2]);
  QCOMPARE(int(form.ComPort), 3);
  QVERIFY(form.ComHandle.IsOpen());
  QCOMPARE(QString::fromStdString(form.ComHandle.DeviceName()), home.File("com3"));
  QTRY_VERIFY_WITH_TIMEOUT(form.Link.MonitorFrame[0] == 0xB0, 3000);
  QTRY_VERIFY_WITH_TIMEOUT(form.LabelSpojeni->isHidden(), 3000);

  // A CDC adapter plugged in and pulled again: the open list follows.
  const int rows = dialog.ListPorts->topLevelItemCount();
  fake.PlugUsb("ttyACM0", {"cdc_acm", "Arduino (www.arduino.cc)", "Uno", "", "", ""});
  QTRY_COMPARE_WITH_TIMEOUT(dialog.ListPorts->topLevelItemCount(), rows + 1, 3000);
  QVERIFY(RowOf(dialog, QString::fromStdString(fake.Node("ttyACM0"))) != nullptr);
  fake.Pull("ttyACM0");
  QTRY_COMPARE_WITH_TIMEOUT(dialog.ListPorts->topLevelItemCount(), rows, 3000);

  // Something of the user's in a Com item's place is left as it is, with a clear word.
  home.Write("com4", "notes");
  const int boxes = answerer.Texts.size(); // the start-up box of Com 1 is among them
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QTest::mouseClick(dialog.ComboBoxAssignCom, Qt::LeftButton);
  QTRY_VERIFY(dialog.ComboBoxAssignCom->view()->isVisible());
  QTest::keyClick(dialog.ComboBoxAssignCom->view(), Qt::Key_Down);
  QTest::keyClick(dialog.ComboBoxAssignCom->view(), Qt::Key_Return);
  QTRY_COMPARE(dialog.ComboBoxAssignCom->currentText(), QString("Com 4"));
  QTest::mouseClick(dialog.ButtonAssign, Qt::LeftButton);
  QTRY_COMPARE(answerer.Texts.size(), boxes + 1);
  QCOMPARE(answerer.Texts.last(),
           home.File("com4") + ": not a link, left as it is: remove it to assign a device");
  QCOMPARE(QString::fromStdString(TTempHome::Slurp(home.File("com4").toStdString())),
           QString("notes"));
}

void TestPorts::AHungUpPortIsReopenedQuietlyAndPollingResumes() {
  TTestHome home;
  const std::string link = home.File("com1").toStdString();
  qunsetenv("VANTEL_COM1"); // Com 1 is the link the simulated unit makes
  auto first = std::make_unique<TSimProcess>();
  QVERIFY(first->Start({"--link", link}));
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTRY_VERIFY_WITH_TIMEOUT(form.Link.MonitorFrame[0] == 0xB0, 3000);
  QVERIFY(form.LabelSpojeni->isHidden());

  first.reset(); // pulled
  QTRY_VERIFY_WITH_TIMEOUT(!form.LabelSpojeni->isHidden(), 3000);
  QVERIFY(!form.ComHandle.IsOpen()); // the device is free for the replugged adapter
  const double cpuStart = CpuSeconds();
  QTest::qWait(3000);
  const double cpu = CpuSeconds() - cpuStart;
  QVERIFY2(cpu < 0.1, qPrintable(QString("%1 s of CPU in 3 s without a port").arg(cpu)));

  TSimProcess second; // plugged again under the same name
  QVERIFY(second.Start({"--link", link}));
  QTRY_VERIFY_WITH_TIMEOUT(form.ComHandle.IsOpen(), 2000);
  form.Link.MonitorFrame[0] = 0;
  QTRY_VERIFY_WITH_TIMEOUT(form.Link.MonitorFrame[0] == 0xB0, 2000);
  QTRY_VERIFY_WITH_TIMEOUT(form.LabelSpojeni->isHidden(), 2000);
  QVERIFY2(answerer.Texts.isEmpty(), qPrintable(answerer.Texts.join("|")));
  QVERIFY(form.MenuComItems[0]->isChecked());
}

QTEST_MAIN(TestPorts)
#include "test_ports.moc"
