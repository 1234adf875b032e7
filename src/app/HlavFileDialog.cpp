#include "app/HlavFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeView>

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
    OpenWide();
  }

protected:
  void showEvent(QShowEvent* event) override {
    QFileDialog::showEvent(event);
    ListEveryFileFor(selectedNameFilter());
    ShowWholeNames();
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
  // The name, size, type and date of each file, wide enough for all four columns and the
  // side bar's place names in every language; the columns fit their contents once the
  // folder is listed.
  void OpenWide() {
    setViewMode(Detail);
    const QFontMetrics metrics(font());
    QSize wanted(metrics.averageCharWidth() * 125, metrics.height() * 30);
    if (const QScreen* shown = screen())
      wanted = wanted.boundedTo(shown->availableGeometry().size() * 9 / 10);
    resize(wanted.expandedTo(minimumSizeHint()));
    if (auto* model = findChild<QFileSystemModel*>())
      connect(model, &QFileSystemModel::directoryLoaded, this, [this] { ShowWholeNames(); });
  }

  void ShowWholeNames() {
    if (auto* list = findChild<QTreeView*>("treeView")) {
      int others = 0;
      for (int column = 1; column < list->header()->count(); ++column) {
        list->resizeColumnToContents(column);
        others += list->columnWidth(column);
      }
      // The name takes the rest, so no column is pushed out of view.
      list->setColumnWidth(
          0, std::max(list->viewport()->width() - others, list->header()->minimumSectionSize()));
    }
    auto* sidebar = findChild<QAbstractItemView*>("sidebar");
    auto* splitter = findChild<QSplitter*>("splitter");
    if (sidebar == nullptr || splitter == nullptr || splitter->count() < 2) return;
    const int needed = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() + 8;
    const QList<int> sizes = splitter->sizes();
    if (sizes.size() >= 2 && sizes[0] < needed)
      splitter->setSizes({needed, std::max(0, sizes[0] + sizes[1] - needed)});
  }

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
