// A radio group as the window uses it: a titled group of radio buttons of which one or none
// is selected, the selection an item index. The buttons are named "<group>_<index>", so the
// text tables find them; the group keeps them in its own QButtonGroup.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

class TRadioGroup : public QGroupBox {
  Q_OBJECT
public:
  // The items one under the other, the group as high as they need.
  TRadioGroup(QWidget* parent, const QString& name, const QString& title, const QStringList& items,
              int x, int y, int width);

  // The selected item, -1 for none.
  int ItemIndex() const;
  // Selects an item; a change of the selection emits Clicked, as a click would.
  void SetItemIndex(int index);
  // Selects an item without Clicked.
  void SelectQuietly(int index);
  // The button the focus goes to when it enters the group: the selected one, else the first.
  QAbstractButton* FocusButton() const;

signals:
  void Clicked(); // the user chose an item, or SetItemIndex changed the selection

private:
  QButtonGroup* Buttons;
};
