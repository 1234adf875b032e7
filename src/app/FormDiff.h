// The difference window: every parameter that differs between two records, by its caption,
// with both values as the screen shows them. Non-modal, built on first use.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "i18n/RestoreTexts.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TFormDiff : public QWidget {
  Q_OBJECT

public:
  explicit TFormDiff(QWidget* parent);

  // head: what is compared with what, and since when; left and right: the titles of the two
  // value columns; same: what the window says when no value differs.
  void ShowDifferences(const QString& head, const QString& left, const QString& right,
                       const std::vector<TDifferenceRow>& rows, const QString& same);
  void ApplyTexts(TLanguage language);

  QLabel* LabelDiffHead = nullptr;
  QTreeWidget* ListDifferences = nullptr;
  QLabel* LabelNoDifferences = nullptr;
  QPushButton* ButtonCompareFile = nullptr;
  QPushButton* ButtonClose = nullptr;

signals:
  void CompareWithFileClicked();
};
