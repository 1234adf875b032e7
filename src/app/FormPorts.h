// The ports dialog: every serial device present with its adapter, stable name, whether
// this user may open it and the Com items that lead to it; a device is assigned to a Com
// item by the com<n> link in the settings folder. Non-modal; follows plugging and pulling.
#pragma once

#include <QDialog>
#include <QFileSystemWatcher>
#include <QTimer>

#include <vector>

#include "link/SerialDevices.h"
#include "model/Types.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TFormPorts : public QDialog {
  Q_OBJECT

public:
  TFormPorts(const TDeviceRoots& roots, QWidget* parent);

  // The texts in language, and the list again (its columns are in words).
  void ApplyTexts(TLanguage language);
  // Reads the devices again; the selected device stays selected.
  void Refresh();
  // The Com item that Assign proposes.
  void SetAssignCom(int n);
  void ButtonAssignClick();

  QTreeWidget* ListPorts = nullptr;
  QLabel* LabelPortsNote = nullptr;
  QComboBox* ComboBoxAssignCom = nullptr;
  QPushButton* ButtonAssign = nullptr;
  QPushButton* ButtonClose = nullptr;
  std::vector<TSerialDevice> Devices; // in the order of the list's rows

protected:
  void showEvent(QShowEvent* event) override;

private:
  void SelectionChanged();
  void WatchDeviceFolders();
  const TSerialDevice* Selected() const;

  TDeviceRoots Roots;
  TLanguage Language = 0;
  QString AssignNote; // what the last assignment did, until the selection changes
  QFileSystemWatcher Watcher;
  // udev makes a device's node and its names one after the other: one read after the burst.
  QTimer RescanDelay;
};
