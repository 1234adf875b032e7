#include "app/FormPorts.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdlib>
#include <string>

#include "i18n/Failure.h"
#include "i18n/PortTexts.h"
#include "link/ComLink.h"
#include "link/PortName.h"
#include "model/SettingsDir.h"

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

enum TColumn { ColDevice, ColAdapter, ColById, ColAccess, ColCom, ColumnCount };

} // namespace

TFormPorts::TFormPorts(const TDeviceRoots& roots, QWidget* parent) : QDialog(parent), Roots(roots) {
  setObjectName("FormPorts");
  setModal(false);
  ListPorts = new QTreeWidget(this);
  ListPorts->setObjectName("ListPorts");
  ListPorts->setColumnCount(ColumnCount);
  ListPorts->setRootIsDecorated(false);
  ListPorts->setUniformRowHeights(true);
  ListPorts->setSelectionMode(QAbstractItemView::SingleSelection);
  ListPorts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ListPorts->header()->setStretchLastSection(true);
  LabelPortsNote = new QLabel(this);
  LabelPortsNote->setObjectName("LabelPortsNote");
  LabelPortsNote->setWordWrap(true);
  LabelPortsNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ButtonAssign = new QPushButton(this);
  ButtonAssign->setObjectName("ButtonAssign");
  ComboBoxAssignCom = new QComboBox(this);
  ComboBoxAssignCom->setObjectName("ComboBoxAssignCom");
  for (int n = 1; n <= 10; ++n) ComboBoxAssignCom->addItem(QString("Com %1").arg(n));
  ButtonClose = new QPushButton(this);
  ButtonClose->setObjectName("ButtonClose");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonAssign);
  buttons->addWidget(ComboBoxAssignCom);
  buttons->addStretch();
  buttons->addWidget(ButtonClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListPorts, 1);
  layout->addWidget(LabelPortsNote);
  layout->addLayout(buttons);
  resize(760, 300);

  RescanDelay.setSingleShot(true);
  RescanDelay.setInterval(300);
  connect(&RescanDelay, &QTimer::timeout, this, &TFormPorts::Refresh);
  connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
    if (isVisible()) RescanDelay.start();
  });
  connect(ListPorts, &QTreeWidget::itemSelectionChanged, this, [this] {
    AssignNote.clear();
    SelectionChanged();
  });
  connect(ButtonAssign, &QPushButton::clicked, this, &TFormPorts::ButtonAssignClick);
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::close);
}

void TFormPorts::ApplyTexts(TLanguage language) {
  Language = language;
  setWindowTitle(Utf8(PortText(TPortText::DialogCaption, language)));
  ListPorts->setHeaderLabels({Utf8(PortText(TPortText::ColumnDevice, language)),
                              Utf8(PortText(TPortText::ColumnAdapter, language)),
                              Utf8(PortText(TPortText::ColumnById, language)),
                              Utf8(PortText(TPortText::ColumnAccess, language)),
                              Utf8(PortText(TPortText::ColumnCom, language))});
  ButtonAssign->setText(Utf8(PortText(TPortText::Assign, language)));
  ButtonClose->setText(Utf8(PortText(TPortText::Close, language)));
  AssignNote.clear();
  if (isVisible()) Refresh();
}

void TFormPorts::SetAssignCom(int n) {
  if (n >= 1 && n <= 10) ComboBoxAssignCom->setCurrentIndex(n - 1);
}

void TFormPorts::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
}

void TFormPorts::WatchDeviceFolders() {
  // /dev/serial/by-id comes and goes with the first and last adapter; the settings folder
  // holds the com<n> links, /dev/pts the pseudo-terminals they may lead to.
  const QString dev = QString::fromStdString(Roots.Dev);
  const QString settings = QString::fromStdString(SettingsDirectory());
  for (const QString& folder :
       {dev, dev + "/serial", dev + "/serial/by-id", dev + "/pts", settings})
    if (QDir(folder).exists() && !Watcher.directories().contains(folder)) Watcher.addPath(folder);
}

void TFormPorts::Refresh() {
  WatchDeviceFolders();
  const TSerialDevice* before = Selected();
  const std::string selected = before != nullptr ? before->Path : std::string();
  Devices = ListComDevices(Roots);
  const QSignalBlocker quiet(ListPorts);
  ListPorts->clear();
  QTreeWidgetItem* select = nullptr;
  for (const TSerialDevice& device : Devices) {
    auto* row = new QTreeWidgetItem(ListPorts);
    row->setText(ColDevice, Utf8(device.Path));
    row->setText(ColAdapter, Utf8(AdapterText(device, Language)));
    row->setText(
        ColById,
        Utf8(device.ById.empty() ? std::string() : device.ById.substr(device.ById.rfind('/') + 1)));
    row->setToolTip(ColById, Utf8(device.ById));
    row->setText(ColAccess, Utf8(PortText(device.AccessError == 0 ? TPortText::AccessOk
                                                                  : TPortText::AccessDenied,
                                          Language)));
    row->setText(ColCom, Utf8(ComItemsOf(device.Path)));
    if (device.Path == selected) select = row;
  }
  if (select == nullptr && ListPorts->topLevelItemCount() > 0) select = ListPorts->topLevelItem(0);
  if (select != nullptr) ListPorts->setCurrentItem(select);
  SelectionChanged();
}

const TSerialDevice* TFormPorts::Selected() const {
  const int row = ListPorts->currentItem() != nullptr
                      ? ListPorts->indexOfTopLevelItem(ListPorts->currentItem())
                      : -1;
  return row >= 0 && row < int(Devices.size()) ? &Devices[std::size_t(row)] : nullptr;
}

void TFormPorts::SelectionChanged() {
  const TSerialDevice* device = Selected();
  ButtonAssign->setEnabled(device != nullptr);
  QString note;
  if (Devices.empty()) note = Utf8(PortText(TPortText::NoDevices, Language));
  if (device != nullptr && device->AccessError != 0) {
    const TFailure what = device->AccessError == EACCES || device->AccessError == EPERM
                              ? TFailure::PortNoAccess
                              : TFailure::PortFailed;
    note = Utf8(DescribeFailure({what, device->Path, {}, device->AccessError}, Language));
  }
  if (!AssignNote.isEmpty()) note = AssignNote + (note.isEmpty() ? "" : "\n" + note);
  LabelPortsNote->setText(note);
}

void TFormPorts::ButtonAssignClick() {
  const TSerialDevice* device = Selected();
  if (device == nullptr) return;
  // The by-id name stays the same whichever name the kernel gives the adapter next time.
  const std::string target = device->ById.empty() ? device->Path : device->ById;
  const int n = ComboBoxAssignCom->currentIndex() + 1;
  TFailureReport failure;
  if (!WriteComLink(SettingsDirectory(), n, target, failure)) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), Utf8(DescribeFailure(failure, Language)),
                    QMessageBox::Ok, this);
    box.exec();
    return;
  }
  const std::string number = std::to_string(n);
  QString note = Utf8(PortText(TPortText::Assigned, Language, number, target));
  const std::string variable = "VANTEL_COM" + number;
  if (const char* set = std::getenv(variable.c_str()); set != nullptr && set[0] != '\0')
    note += "\n" + Utf8(PortText(TPortText::EnvironmentFirst, Language, number, set));
  Refresh();
  AssignNote = note;
  SelectionChanged();
}
