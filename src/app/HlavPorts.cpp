// Port discovery, the window side: the Com items' hints and the ports dialog.
#include "app/Hlav.h"

#include <QAction>

#include "app/FormPorts.h"
#include "i18n/ControlTexts.h"

void TFormHlav::MenuComPopup() {
  // Read once a menu opening, not on the tick: sysfs is cheap but not free.
  const std::vector<TSerialDevice> devices = ListSerialDevices(DeviceRoots);
  for (int n = 1; n <= 10; ++n) {
    const std::string hint =
        ComItemHint(CurrentLanguage, n) + " — " + ComItemDeviceHint(n, devices, CurrentLanguage);
    MenuComItems[n - 1]->setStatusTip(QString::fromStdString(hint));
  }
}

void TFormHlav::MenuPortsClick() {
  if (FormPorts == nullptr) {
    FormPorts = new TFormPorts(DeviceRoots, this);
    FormPorts->ApplyTexts(CurrentLanguage);
    JoinToolWindow(FormPorts, PortsWindowSection); // else the dialog's own place, over this one
  }
  FormPorts->SetAssignCom(ComPort);
  FormPorts->show();
  FormPorts->raise();
  FormPorts->activateWindow();
}
