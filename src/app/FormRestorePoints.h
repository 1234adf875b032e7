// The restore points window: every restore point by unit, date and kind, newest first;
// the one chosen is opened as the Open command opens a file. Non-modal, built on first use.
#pragma once

#include <QString>
#include <QWidget>

#include "model/Types.h"

class QLabel;
class QPushButton;
class QTreeWidget;
struct TMessageCatalogue;

class TFormRestorePoints : public QWidget {
  Q_OBJECT

public:
  explicit TFormRestorePoints(QWidget* parent);

  // Lists the restore points under root again, keeping the chosen one when it is still there.
  void Reload(const QString& root);
  void ApplyTexts(TLanguage language, const TMessageCatalogue& msg);
  // The chosen restore point's file; empty when none is chosen.
  QString ChosenPath() const;

  QLabel* LabelFolder = nullptr;
  QTreeWidget* ListRestorePoints = nullptr;
  QLabel* LabelNoRestorePoints = nullptr;
  QPushButton* ButtonOpen = nullptr;
  QPushButton* ButtonClose = nullptr;

signals:
  void OpenChosen(const QString& path);

private:
  void ShowKinds();
  void UpdateButtons();
  QString Root;
  TLanguage Language = LangEnglish;
};
