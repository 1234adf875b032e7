#include "app/HlavFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QShowEvent>

#include "files/FileName.h"

#include <algorithm>

namespace {

const QString IgnFilter = "Ignition Parametrs(*.ign)";
const QString AllFilter = "All Files (*.*)";

class TIgnFileDialog : public QFileDialog {
public:
  TIgnFileDialog(QWidget* parent, TFileDialogKind kind) : QFileDialog(parent) {
    const bool save = kind == TFileDialogKind::Save;
    setObjectName(save ? "SaveDialog1" : "OpenDialog1");
    setAcceptMode(save ? AcceptSave : AcceptOpen);
    setFileMode(save ? AnyFile : ExistingFile);
    setNameFilters(save ? QStringList{IgnFilter} : QStringList{IgnFilter, AllFilter});
    setDefaultSuffix(IgnExtension);
    setSizeGripEnabled(true);
    connect(this, &QFileDialog::filterSelected, this, &TIgnFileDialog::ListEveryFileFor);
  }

protected:
  void showEvent(QShowEvent* event) override {
    QFileDialog::showEvent(event);
    ListEveryFileFor(selectedNameFilter());
  }

  void accept() override {
    setDefaultSuffix(QString());
    const QStringList typed = selectedFiles();
    const bool addExtension =
        typed.size() == 1 && NeedsDefaultExtension(QFile::encodeName(typed.first()).toStdString());
    setDefaultSuffix(addExtension ? QString(IgnExtension) : QString());
    QFileDialog::accept();
  }

private:
  // "*.*" taken literally would hide names without a dot; all files are all files.
  void ListEveryFileFor(const QString& filter) {
    if (filter != AllFilter) return;
    if (auto* model = findChild<QFileSystemModel*>()) model->setNameFilters({"*"});
  }
};

} // namespace

QString RunIgnFileDialog(QWidget* parent, TFileDialogKind kind, TFileDialogState& state) {
  TIgnFileDialog dialog(parent, kind);
  const QStringList filters = dialog.nameFilters();
  dialog.selectNameFilter(filters.value(state.FilterIndex, IgnFilter));
  if (!state.FileName.isEmpty()) {
    const QFileInfo file(state.FileName);
    dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.absoluteFilePath());
  } else if (!state.Folder.isEmpty()) {
    dialog.setDirectory(state.Folder);
  }
  const bool accepted = dialog.exec() == QDialog::Accepted;
  state.Folder = dialog.directory().absolutePath();
  state.FilterIndex = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
  const QString chosen = accepted ? dialog.selectedFiles().value(0) : QString();
  if (!chosen.isEmpty()) state.FileName = chosen;
  return chosen;
}
