#include "app/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent, const QString& name, const QString& title,
                         const QStringList& items, int x, int y, int width)
    : QGroupBox(title, parent), Buttons(new QButtonGroup(this)) {
  setObjectName(name);
  Buttons->setExclusive(true);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], this);
    radio->setObjectName(QString("%1_%2").arg(name).arg(i));
    radio->setGeometry(10, 20 + 22 * i, width - 20, 20);
    Buttons->addButton(radio, i);
  }
  setGeometry(x, y, width, 26 + 22 * static_cast<int>(items.size()));
  connect(Buttons, &QButtonGroup::idClicked, this, [this] { emit Clicked(); });
}

int TRadioGroup::ItemIndex() const {
  return Buttons->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (Buttons->checkedId() == index || Buttons->button(index) == nullptr) return;
  SelectQuietly(index);
  emit Clicked();
}

void TRadioGroup::SelectQuietly(int index) {
  if (QAbstractButton* button = Buttons->button(index)) button->setChecked(true);
}

QAbstractButton* TRadioGroup::FocusButton() const {
  if (QAbstractButton* checked = Buttons->checkedButton()) return checked;
  return Buttons->buttons().isEmpty() ? nullptr : Buttons->buttons().first();
}
