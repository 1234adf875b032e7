#include "app/FormDiff.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TFormDiff::TFormDiff(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormDiff");
  LabelDiffHead = new QLabel(this);
  LabelDiffHead->setObjectName("LabelDiffHead");
  LabelDiffHead->setWordWrap(true);
  LabelDiffHead->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ListDifferences = new QTreeWidget(this);
  ListDifferences->setObjectName("ListDifferences");
  ListDifferences->setColumnCount(3);
  ListDifferences->setRootIsDecorated(false);
  ListDifferences->setUniformRowHeights(true);
  ListDifferences->header()->setStretchLastSection(false);
  ListDifferences->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ListDifferences->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  ListDifferences->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  LabelNoDifferences = new QLabel(this);
  LabelNoDifferences->setObjectName("LabelNoDifferences");
  LabelNoDifferences->hide();
  ButtonCompareFile = new QPushButton(this);
  ButtonCompareFile->setObjectName("ButtonCompareFile");
  ButtonClose = new QPushButton(this);
  ButtonClose->setObjectName("ButtonClose");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonCompareFile);
  buttons->addStretch(1);
  buttons->addWidget(ButtonClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelDiffHead);
  layout->addWidget(ListDifferences, 1);
  layout->addWidget(LabelNoDifferences);
  layout->addLayout(buttons);
  resize(600, 420);

  connect(ButtonCompareFile, &QPushButton::clicked, this, &TFormDiff::CompareWithFileClicked);
  connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
}

void TFormDiff::ShowDifferences(const QString& head, const QString& left, const QString& right,
                                const std::vector<TDifferenceRow>& rows, const QString& same) {
  LabelDiffHead->setText(head);
  const QString parameter = ListDifferences->headerItem()->text(0);
  ListDifferences->setHeaderLabels({parameter, left, right});
  ListDifferences->clear();
  for (const TDifferenceRow& row : rows) {
    auto* item = new QTreeWidgetItem(ListDifferences);
    item->setText(0, Utf8(row.Caption));
    item->setText(1, Utf8(row.Left));
    item->setText(2, Utf8(row.Right));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  LabelNoDifferences->setText(same);
  LabelNoDifferences->setVisible(rows.empty());
}

void TFormDiff::ApplyTexts(TLanguage language) {
  setWindowTitle(Utf8(RestoreText(TRestoreText::DiffTitle, language)));
  ListDifferences->headerItem()->setText(
      0, Utf8(RestoreText(TRestoreText::ColumnParameter, language)));
  ButtonCompareFile->setText(Utf8(RestoreText(TRestoreText::CompareWithFile, language)));
  ButtonClose->setText(Utf8(RestoreText(TRestoreText::Close, language)));
}
