#include "app/FormRestorePoints.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "files/RestorePoints.h"
#include "i18n/ControlTexts.h"
#include "i18n/RestoreTexts.h"

namespace {

enum TColumn { ColumnUnit, ColumnDate, ColumnKind, ColumnCount };
constexpr int PathRole = Qt::UserRole;
constexpr int KindRole = Qt::UserRole + 1;

QString Text(TRestoreText key, TLanguage language) {
  return QString::fromStdString(RestoreText(key, language));
}

} // namespace

TFormRestorePoints::TFormRestorePoints(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormRestorePoints");
  LabelFolder = new QLabel(this);
  LabelFolder->setObjectName("LabelFolder");
  LabelFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LabelFolder->setWordWrap(true);
  ListRestorePoints = new QTreeWidget(this);
  ListRestorePoints->setObjectName("ListRestorePoints");
  ListRestorePoints->setColumnCount(ColumnCount);
  ListRestorePoints->setRootIsDecorated(false);
  ListRestorePoints->setUniformRowHeights(true);
  ListRestorePoints->setSelectionMode(QAbstractItemView::SingleSelection);
  ListRestorePoints->header()->setStretchLastSection(false);
  ListRestorePoints->header()->setSectionResizeMode(ColumnUnit, QHeaderView::Stretch);
  ListRestorePoints->header()->setSectionResizeMode(ColumnDate, QHeaderView::ResizeToContents);
  ListRestorePoints->header()->setSectionResizeMode(ColumnKind, QHeaderView::ResizeToContents);
  LabelNoRestorePoints = new QLabel(this);
  LabelNoRestorePoints->setObjectName("LabelNoRestorePoints");
  LabelNoRestorePoints->setWordWrap(true);
  ButtonOpen = new QPushButton(this);
  ButtonOpen->setObjectName("ButtonOpen");
  ButtonOpen->setDefault(true);
  ButtonClose = new QPushButton(this);
  ButtonClose->setObjectName("ButtonClose");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ButtonOpen);
  buttons->addWidget(ButtonClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelFolder);
  layout->addWidget(ListRestorePoints, 1);
  layout->addWidget(LabelNoRestorePoints);
  layout->addLayout(buttons);
  resize(560, 360);

  connect(ButtonOpen, &QPushButton::clicked, this, [this] {
    if (const QString path = ChosenPath(); !path.isEmpty()) emit OpenChosen(path);
  });
  // Enter or a double click on a row opens it too.
  connect(ListRestorePoints, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { emit OpenChosen(item->data(0, PathRole).toString()); });
  connect(ListRestorePoints, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
}

void TFormRestorePoints::Reload(const QString& root) {
  Root = root;
  const QString chosen = ChosenPath();
  ListRestorePoints->clear();
  QTreeWidgetItem* current = nullptr;
  for (const TRestorePoint& point : ::ListRestorePoints(QFile::encodeName(root).toStdString())) {
    auto* item = new QTreeWidgetItem(ListRestorePoints);
    const QString path = QFile::decodeName(QByteArray::fromStdString(point.Path));
    item->setText(ColumnUnit, QFile::decodeName(QByteArray::fromStdString(point.Unit)));
    item->setText(ColumnDate, QString::fromStdString(point.Stamp));
    item->setData(0, PathRole, path);
    item->setData(0, KindRole, int(point.Kind));
    if (path == chosen) current = item;
  }
  if (current == nullptr) current = ListRestorePoints->topLevelItem(0);
  if (current != nullptr) ListRestorePoints->setCurrentItem(current);
  ShowKinds();
  LabelFolder->setText(Text(TRestoreText::Folder, Language) + " " + root);
  LabelNoRestorePoints->setVisible(ListRestorePoints->topLevelItemCount() == 0);
  UpdateButtons();
}

void TFormRestorePoints::ApplyTexts(TLanguage language, const TMessageCatalogue& msg) {
  Language = language;
  setWindowTitle(Text(TRestoreText::RestoreTitle, language));
  ListRestorePoints->setHeaderLabels({Text(TRestoreText::ColumnUnit, language),
                                      Text(TRestoreText::ColumnDate, language),
                                      Text(TRestoreText::ColumnKind, language)});
  LabelNoRestorePoints->setText(Text(TRestoreText::NoRestorePoints, language));
  ButtonClose->setText(Text(TRestoreText::Close, language));
  // The Open command's own caption: the button does what it does.
  for (const TResolvedText& t : BuildControlTexts(language, msg))
    if (t.Control == "MenuOpen" && t.Prop == TTextProp::Caption)
      ButtonOpen->setText(QString::fromStdString(t.Text));
  if (!Root.isEmpty()) LabelFolder->setText(Text(TRestoreText::Folder, language) + " " + Root);
  ShowKinds();
}

QString TFormRestorePoints::ChosenPath() const {
  const QTreeWidgetItem* item = ListRestorePoints->currentItem();
  return item != nullptr ? item->data(0, PathRole).toString() : QString();
}

void TFormRestorePoints::ShowKinds() {
  for (int i = 0; i < ListRestorePoints->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ListRestorePoints->topLevelItem(i);
    const auto kind = TRestoreKind(item->data(0, KindRole).toInt());
    item->setText(ColumnKind, Text(kind == TRestoreKind::Read ? TRestoreText::KindRead
                                                              : TRestoreText::KindProgrammed,
                                   Language));
  }
}

void TFormRestorePoints::UpdateButtons() {
  ButtonOpen->setEnabled(ListRestorePoints->currentItem() != nullptr);
}
