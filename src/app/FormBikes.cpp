#include "app/FormBikes.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <ctime>

#include "library/BikeExport.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string S(const QString& text) {
  return text.toStdString();
}

QString LocalName(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

TBikeText KindText(TEntryKind kind) {
  switch (kind) {
  case TEntryKind::Read:
    return TBikeText::KindRead;
  case TEntryKind::Programmed:
    return TBikeText::KindProgrammed;
  case TEntryKind::BackUp:
    return TBikeText::KindBackUp;
  case TEntryKind::Saved:
    return TBikeText::KindSaved;
  }
  return TBikeText::KindRead;
}

// Notes on one line of a list.
QString OneLine(const std::string& text) {
  QString line = Q(text);
  line.replace('\n', ' ').replace('\r', ' ').replace('\t', ' ');
  return line;
}

QString ChooseFolder(QWidget* parent, const QString& title) {
  QFileDialog dialog(parent, title);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

constexpr int IdRole = Qt::UserRole;
constexpr int PathRole = Qt::UserRole + 1;

} // namespace

// ---- the details of a bike ----

TFormBikeEdit::TFormBikeEdit(QWidget* parent, TBikeLibrary& library, const TBike& bike,
                             TLanguage language)
    : QDialog(parent), Library(library), Edited(bike), Language(language) {
  setObjectName("FormBikeEdit");
  setWindowTitle(Q(BikeText(TBikeText::BikeTitle, language)));
  auto* form = new QFormLayout;
  const auto field = [&](QLineEdit*& edit, const char* name, TBikeText caption,
                         const std::string& value) {
    edit = new QLineEdit(Q(value));
    edit->setObjectName(name);
    auto* label = new QLabel(Q(BikeText(caption, language)));
    label->setBuddy(edit);
    form->addRow(label, edit);
  };
  field(EditBikeName, "EditBikeName", TBikeText::FieldName, bike.Name);
  field(EditBikeCustomer, "EditBikeCustomer", TBikeText::FieldCustomer, bike.Customer);
  field(EditBikeMake, "EditBikeMake", TBikeText::FieldMake, bike.Make);
  field(EditBikeModel, "EditBikeModel", TBikeText::FieldModel, bike.Model);
  field(EditBikeYear, "EditBikeYear", TBikeText::FieldYear, bike.Year);
  field(EditBikeRegistration, "EditBikeRegistration", TBikeText::FieldRegistration,
        bike.Registration);
  EditBikeNotes = new QPlainTextEdit(Q(bike.Notes));
  EditBikeNotes->setObjectName("EditBikeNotes");
  EditBikeNotes->setTabChangesFocus(true);
  auto* notes = new QLabel(Q(BikeText(TBikeText::FieldNotes, language)));
  notes->setBuddy(EditBikeNotes);
  form->addRow(notes, EditBikeNotes);
  LabelBikeError = new QLabel;
  LabelBikeError->setObjectName("LabelBikeError");
  LabelBikeError->setStyleSheet("color: #c00000");
  LabelBikeError->setWordWrap(true);
  LabelBikeError->hide();
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(LabelBikeError);
  layout->addWidget(Buttons);
  resize(480, sizeHint().height());
}

void TFormBikeEdit::accept() {
  TBike bike = Edited;
  bike.Name = S(EditBikeName->text());
  bike.Customer = S(EditBikeCustomer->text());
  bike.Make = S(EditBikeMake->text());
  bike.Model = S(EditBikeModel->text());
  bike.Year = S(EditBikeYear->text());
  bike.Registration = S(EditBikeRegistration->text());
  bike.Notes = S(EditBikeNotes->toPlainText());
  TLibraryFailure failure;
  const bool kept =
      bike.Id == 0 ? Library.AddBike(bike, failure) : Library.UpdateBike(bike, failure);
  if (!kept) {
    // The dialog stays with everything typed; the reason stands above the buttons.
    LabelBikeError->setText(Q(LibraryErrorText(failure.What, failure.Detail, Language)));
    LabelBikeError->show();
    EditBikeName->setFocus();
    return;
  }
  if (bike.Id != 0) {
    // What the library made of it (the name trimmed).
    if (auto stored = Library.BikeById(bike.Id, failure)) bike = *stored;
  }
  Edited = bike;
  QDialog::accept();
}

// ---- the Bikes window ----

TFormBikes::TFormBikes(QWidget* parent, TBikesHost& host)
    : QWidget(parent, Qt::Window), Host(host) {
  setObjectName("FormBikes");
  auto* layout = new QVBoxLayout(this);

  auto* search = new QHBoxLayout;
  LabelBikeSearch = new QLabel;
  LabelBikeSearch->setObjectName("LabelBikeSearch");
  EditBikeSearch = new QLineEdit;
  EditBikeSearch->setObjectName("EditBikeSearch");
  EditBikeSearch->setClearButtonEnabled(true);
  LabelBikeSearch->setBuddy(EditBikeSearch);
  search->addWidget(LabelBikeSearch);
  search->addWidget(EditBikeSearch, 1);
  layout->addLayout(search);

  ListBikes = new QTreeWidget;
  ListBikes->setObjectName("ListBikes");
  ListBikes->setRootIsDecorated(false);
  ListBikes->setColumnCount(5);
  ListBikes->setUniformRowHeights(true);
  for (const auto& [column, width] : {std::pair{0, 200}, {1, 180}, {2, 180}, {3, 60}})
    ListBikes->header()->resizeSection(column, width);
  layout->addWidget(ListBikes, 3);

  const auto button = [this](QPushButton*& b, const char* name, QBoxLayout* row) {
    b = new QPushButton;
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
  };
  auto* bikeRow = new QHBoxLayout;
  button(ButtonNewBike, "ButtonNewBike", bikeRow);
  button(ButtonEditBike, "ButtonEditBike", bikeRow);
  button(ButtonDeleteBike, "ButtonDeleteBike", bikeRow);
  button(ButtonMakeCurrent, "ButtonMakeCurrent", bikeRow);
  button(ButtonNoCurrent, "ButtonNoCurrent", bikeRow);
  bikeRow->addStretch(1);
  button(ButtonExport, "ButtonExport", bikeRow);
  button(ButtonImport, "ButtonImport", bikeRow);
  layout->addLayout(bikeRow);

  LabelHistory = new QLabel;
  LabelHistory->setObjectName("LabelHistory");
  layout->addWidget(LabelHistory);
  ListHistory = new QTreeWidget;
  ListHistory->setObjectName("ListHistory");
  ListHistory->setRootIsDecorated(false);
  ListHistory->setColumnCount(5);
  ListHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListHistory->setUniformRowHeights(true);
  layout->addWidget(ListHistory, 2);

  auto* entryRow = new QHBoxLayout;
  button(ButtonOpenEntry, "ButtonOpenEntry", entryRow);
  button(ButtonCompareEntry, "ButtonCompareEntry", entryRow);
  button(ButtonNoteEntry, "ButtonNoteEntry", entryRow);
  button(ButtonAssignEntries, "ButtonAssignEntries", entryRow);
  entryRow->addStretch(1);
  button(ButtonClose, "ButtonClose", entryRow);
  layout->addLayout(entryRow);

  LabelLibraryError = new QLabel;
  LabelLibraryError->setObjectName("LabelLibraryError");
  LabelLibraryError->setStyleSheet("color: #c00000");
  LabelLibraryError->setWordWrap(true);
  LabelLibraryError->hide();
  layout->addWidget(LabelLibraryError);

  connect(EditBikeSearch, &QLineEdit::textChanged, this, [this] { ShowBikes(); });
  connect(ListBikes, &QTreeWidget::currentItemChanged, this, [this] { ShowHistory(); });
  connect(ListBikes, &QTreeWidget::itemActivated, this, [this] { MakeCurrentClick(); });
  connect(ListHistory, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(ListHistory, &QTreeWidget::itemActivated, this, [this] {
    if (const QString path = ChosenEntryPath(); !path.isEmpty()) Host.OpenHistoryFile(path);
  });
  connect(ButtonNewBike, &QPushButton::clicked, this, [this] { NewBikeClick(); });
  connect(ButtonEditBike, &QPushButton::clicked, this, [this] { EditBikeClick(); });
  connect(ButtonDeleteBike, &QPushButton::clicked, this, [this] { DeleteBikeClick(); });
  connect(ButtonMakeCurrent, &QPushButton::clicked, this, [this] { MakeCurrentClick(); });
  connect(ButtonNoCurrent, &QPushButton::clicked, this, [this] { NoCurrentClick(); });
  connect(ButtonExport, &QPushButton::clicked, this, [this] { ExportClick(); });
  connect(ButtonImport, &QPushButton::clicked, this, [this] { ImportClick(); });
  connect(ButtonOpenEntry, &QPushButton::clicked, this, [this] {
    if (const QString path = ChosenEntryPath(); !path.isEmpty()) Host.OpenHistoryFile(path);
  });
  connect(ButtonCompareEntry, &QPushButton::clicked, this, [this] {
    if (const QString path = ChosenEntryPath(); !path.isEmpty()) Host.CompareHistoryFile(path);
  });
  connect(ButtonNoteEntry, &QPushButton::clicked, this, [this] { NoteEntryClick(); });
  connect(ButtonAssignEntries, &QPushButton::clicked, this, [this] { AssignEntriesClick(); });
  connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);

  resize(860, 560);
}

QString TFormBikes::Text(TBikeText key, const std::vector<std::string>& arguments) const {
  return Q(BikeText(key, Language, arguments));
}

void TFormBikes::ApplyTexts(TLanguage language) {
  Language = language;
  setWindowTitle(Text(TBikeText::BikesTitle));
  LabelBikeSearch->setText(Text(TBikeText::Search));
  ListBikes->setHeaderLabels({Text(TBikeText::ColumnName), Text(TBikeText::ColumnCustomer),
                              Text(TBikeText::ColumnMake), Text(TBikeText::ColumnYear),
                              Text(TBikeText::ColumnRegistration)});
  ListHistory->setHeaderLabels({Text(TBikeText::ColumnTime), Text(TBikeText::ColumnKind),
                                Text(TBikeText::ColumnUnit), Text(TBikeText::ColumnFile),
                                Text(TBikeText::ColumnNote)});
  const std::pair<QPushButton*, TBikeText> buttons[] = {
      {ButtonNewBike, TBikeText::NewBike},
      {ButtonEditBike, TBikeText::EditBike},
      {ButtonDeleteBike, TBikeText::DeleteBike},
      {ButtonMakeCurrent, TBikeText::MakeCurrent},
      {ButtonNoCurrent, TBikeText::NoCurrentBike},
      {ButtonExport, TBikeText::Export},
      {ButtonImport, TBikeText::Import},
      {ButtonOpenEntry, TBikeText::OpenEntry},
      {ButtonCompareEntry, TBikeText::CompareEntry},
      {ButtonNoteEntry, TBikeText::NoteEntry},
      {ButtonAssignEntries, TBikeText::AssignEntries},
      {ButtonClose, TBikeText::Close},
  };
  for (const auto& [b, key] : buttons) b->setText(Text(key));
  Reload();
}

void TFormBikes::Report(const TLibraryFailure& failure) {
  LabelLibraryError->setText(
      Text(TBikeText::LibraryUnusable, {LibraryErrorText(failure.What, failure.Detail, Language)}));
  LabelLibraryError->show();
}

void TFormBikes::Reload() {
  LabelLibraryError->hide();
  ShowBikes();
}

std::optional<std::int64_t> TFormBikes::ChosenBike() const {
  const QTreeWidgetItem* item = ListBikes->currentItem();
  if (item == nullptr) return std::nullopt;
  return item->data(0, IdRole).toLongLong();
}

void TFormBikes::ShowBikes() {
  const std::optional<std::int64_t> chosen = ChosenBike();
  ListBikes->clear();
  TBikeLibrary* library = Host.BikeLibrary();
  std::vector<TBike> bikes;
  TLibraryFailure failure;
  if (library != nullptr && !library->SearchBikes(S(EditBikeSearch->text()), bikes, failure))
    Report(failure);
  const std::int64_t current = Host.CurrentBikeId();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(bikes.size()) + 1);
  // The restore points of no bike head the list, whatever the search.
  auto* none = new QTreeWidgetItem({Text(TBikeText::NoBike)});
  none->setData(0, IdRole, qlonglong(0));
  QFont italic = none->font(0);
  italic.setItalic(true);
  none->setFont(0, italic);
  items << none;
  QTreeWidgetItem* select = chosen == 0 ? none : nullptr;
  for (const TBike& b : bikes) {
    auto* item = new QTreeWidgetItem(
        {OneLine(b.Name), OneLine(b.Customer),
         OneLine(b.Make + (b.Make.empty() || b.Model.empty() ? "" : " ") + b.Model),
         OneLine(b.Year), OneLine(b.Registration)});
    item->setData(0, IdRole, qlonglong(b.Id));
    item->setToolTip(0, Q(b.Notes));
    if (b.Id == current) {
      QFont bold = item->font(0);
      bold.setBold(true);
      for (int c = 0; c < 5; ++c) item->setFont(c, bold);
    }
    if (chosen && *chosen == b.Id) select = item;
    items << item;
  }
  ListBikes->addTopLevelItems(items);
  if (select == nullptr && items.size() > 1 && !EditBikeSearch->text().isEmpty())
    select = items[1]; // the first bike found
  for (qsizetype i = 1; select == nullptr && i < items.size(); ++i)
    if (items[i]->data(0, IdRole).toLongLong() == current) select = items[i];
  if (select == nullptr) select = none; // a history is always in view
  if (select != nullptr) ListBikes->setCurrentItem(select);
  ShowHistory();
}

void TFormBikes::ShowHistory() {
  ListHistory->clear();
  const std::optional<std::int64_t> bike = ChosenBike();
  TBikeLibrary* library = Host.BikeLibrary();
  std::vector<THistoryEntry> entries;
  TLibraryFailure failure;
  if (bike && library != nullptr && !library->Entries(*bike, entries, failure)) Report(failure);
  const QTreeWidgetItem* item = ListBikes->currentItem();
  LabelHistory->setText(Text(TBikeText::History) +
                        (item != nullptr ? ": " + item->text(0) : QString()));
  QList<QTreeWidgetItem*> items;
  for (const THistoryEntry& e : entries) {
    const QString path = LocalName(e.Path);
    auto* row =
        new QTreeWidgetItem({QString::fromStdString(EntryTimeText(e.Time)), Text(KindText(e.Kind)),
                             Q(e.UnitText), QFileInfo(path).fileName(), OneLine(e.Note)});
    row->setData(0, IdRole, qlonglong(e.Id));
    row->setData(0, PathRole, path);
    row->setToolTip(3, path);
    row->setToolTip(4, Q(e.Note));
    items << row;
  }
  ListHistory->addTopLevelItems(items);
  for (int c = 0; c < 3; ++c) ListHistory->resizeColumnToContents(c);
  UpdateButtons();
}

void TFormBikes::UpdateButtons() {
  const std::optional<std::int64_t> bike = ChosenBike();
  const bool library = Host.BikeLibrary() != nullptr;
  const bool aBike = bike && *bike != 0;
  ButtonNewBike->setEnabled(library);
  ButtonImport->setEnabled(library);
  ButtonEditBike->setEnabled(aBike);
  ButtonDeleteBike->setEnabled(aBike);
  ButtonMakeCurrent->setEnabled(aBike && *bike != Host.CurrentBikeId());
  ButtonNoCurrent->setEnabled(Host.CurrentBikeId() != 0);
  ButtonExport->setEnabled(aBike);
  const int entries = static_cast<int>(ListHistory->selectedItems().size());
  ButtonOpenEntry->setEnabled(entries == 1);
  ButtonCompareEntry->setEnabled(entries == 1);
  ButtonNoteEntry->setEnabled(entries == 1);
  ButtonAssignEntries->setEnabled(entries >= 1);
}

std::vector<std::int64_t> TFormBikes::ChosenEntries() const {
  std::vector<std::int64_t> ids;
  for (const QTreeWidgetItem* item : ListHistory->selectedItems())
    ids.push_back(item->data(0, IdRole).toLongLong());
  return ids;
}

QString TFormBikes::ChosenEntryPath() const {
  const QList<QTreeWidgetItem*> items = ListHistory->selectedItems();
  return items.size() == 1 ? items[0]->data(0, PathRole).toString() : QString();
}

void TFormBikes::NewBikeClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  if (library == nullptr) return;
  TFormBikeEdit edit(this, *library, TBike{}, Language);
  if (edit.exec() != QDialog::Accepted) return;
  EditBikeSearch->clear();
  ShowBikes();
  for (int i = 0; i < ListBikes->topLevelItemCount(); ++i)
    if (ListBikes->topLevelItem(i)->data(0, IdRole).toLongLong() == edit.Bike().Id)
      ListBikes->setCurrentItem(ListBikes->topLevelItem(i));
}

void TFormBikes::EditBikeClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::optional<std::int64_t> id = ChosenBike();
  if (library == nullptr || !id || *id == 0) return;
  TLibraryFailure failure;
  const std::optional<TBike> bike = library->BikeById(*id, failure);
  if (!bike) return Report(failure), ShowBikes();
  TFormBikeEdit edit(this, *library, *bike, Language);
  if (edit.exec() != QDialog::Accepted) return;
  if (*id == Host.CurrentBikeId()) Host.SetCurrentBike(edit.Bike());
  ShowBikes();
}

void TFormBikes::DeleteBikeClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::optional<std::int64_t> id = ChosenBike();
  if (library == nullptr || !id || *id == 0) return;
  TLibraryFailure failure;
  const std::optional<TBike> bike = library->BikeById(*id, failure);
  if (!bike) return Report(failure), ShowBikes();
  if (Host.AskUser(Text(TBikeText::ConfirmDelete, {bike->Name}),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  if (!library->DeleteBike(*id, failure)) return Report(failure);
  if (*id == Host.CurrentBikeId()) Host.SetCurrentBike(std::nullopt);
  ShowBikes();
}

void TFormBikes::MakeCurrentClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::optional<std::int64_t> id = ChosenBike();
  if (library == nullptr || !id || *id == 0) return;
  TLibraryFailure failure;
  const std::optional<TBike> bike = library->BikeById(*id, failure);
  if (!bike) return Report(failure), ShowBikes();
  Host.SetCurrentBike(bike);
  ShowBikes();
}

void TFormBikes::NoCurrentClick() {
  Host.SetCurrentBike(std::nullopt);
  ShowBikes();
}

void TFormBikes::ExportClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::optional<std::int64_t> id = ChosenBike();
  if (library == nullptr || !id || *id == 0) return;
  const QString destination = ChooseFolder(this, Text(TBikeText::Export).remove('&'));
  if (destination.isEmpty()) return;
  std::string folder;
  TLibraryFailure failure;
  if (!ExportBike(*library, *id, S(destination), folder, failure)) {
    Host.AskUser(Text(TBikeText::LibraryUnusable,
                      {LibraryErrorText(failure.What, failure.Detail, Language)}),
                 QMessageBox::Ok);
    return;
  }
  Host.AskUser(Text(TBikeText::Exported, {folder}), QMessageBox::Ok);
}

void TFormBikes::ImportClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  if (library == nullptr) return;
  const QString folder = ChooseFolder(this, Text(TBikeText::Import).remove('&'));
  if (folder.isEmpty()) return;
  std::string name;
  TLibraryFailure failure;
  bool imported =
      ImportBike(*library, S(folder), ImportedFilesDirectory(), TImportMode::Refuse, name, failure);
  if (!imported && failure.What == TLibraryError::NameTaken) {
    const int answer = Host.AskUser(Text(TBikeText::ImportNameTaken, {failure.Detail}),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return;
    imported = ImportBike(*library, S(folder), ImportedFilesDirectory(),
                          answer == QMessageBox::Yes ? TImportMode::Merge : TImportMode::Rename,
                          name, failure);
  }
  if (!imported) {
    Host.AskUser(Text(TBikeText::LibraryUnusable,
                      {LibraryErrorText(failure.What, failure.Detail, Language)}),
                 QMessageBox::Ok);
    return;
  }
  EditBikeSearch->clear();
  ShowBikes();
  Host.AskUser(Text(TBikeText::Imported, {name}), QMessageBox::Ok);
}

void TFormBikes::NoteEntryClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::vector<std::int64_t> ids = ChosenEntries();
  if (library == nullptr || ids.size() != 1) return;
  const QString old = ListHistory->selectedItems()[0]->toolTip(4);
  bool ok = false;
  const QString note = QInputDialog::getMultiLineText(this, Text(TBikeText::NoteTitle),
                                                      Text(TBikeText::ColumnNote) + ":", old, &ok);
  if (!ok) return;
  TLibraryFailure failure;
  if (!library->SetEntryNote(ids[0], S(note), failure)) return Report(failure);
  ShowHistory();
}

void TFormBikes::AssignEntriesClick() {
  TBikeLibrary* library = Host.BikeLibrary();
  const std::vector<std::int64_t> ids = ChosenEntries();
  if (library == nullptr || ids.empty()) return;
  std::vector<TBike> bikes;
  TLibraryFailure failure;
  if (!library->SearchBikes("", bikes, failure)) return Report(failure);
  QStringList names{Text(TBikeText::NoBike)};
  for (const TBike& b : bikes) names << OneLine(b.Name);
  bool ok = false;
  const QString chosen = QInputDialog::getItem(
      this, Text(TBikeText::AssignTitle), Text(TBikeText::ColumnName) + ":", names, 0, false, &ok);
  if (!ok) return;
  const qsizetype index = names.indexOf(chosen);
  const std::int64_t target = index <= 0 ? 0 : bikes[static_cast<std::size_t>(index - 1)].Id;
  if (!library->AssignEntries(ids, target, failure)) return Report(failure);
  ShowHistory();
}
