// What a screen reader hears: every control's name in the current language and its hint as
// its description, set in one pass after the control texts.
#include "app/Hlav.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollArea>
#include <QString>
#include <QToolButton>

#include <vector>

#include "app/UpDown.h"
#include "i18n/ControlTexts.h"
#include "i18n/RestoreTexts.h"
#include "model/ParamDiff.h"

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

// The control that shows a record field: a curve point's edit, the edit of a caption
// label, or the list, group or box that carries the caption itself.
QWidget* TFormHlav::FieldControl(const TParamField& field) const {
  const QString key = QString::fromLatin1(field.CaptionKey);
  if (field.Point > 0 && field.Point <= CurvePoints)
    return key == "LabelRpm1" ? RpmEdits[field.Point - 1] : AdvanceEdits[field.Point - 1];
  if (key.startsWith("Label")) return findChild<QLineEdit*>("Edit" + key.mid(5));
  return findChild<QWidget*>(key);
}

void TFormHlav::ApplyAccessibleTexts() {
  // A number field is named by its row and column, or by its caption with its group:
  // the names the difference window gives the fields.
  const std::vector<std::string> captions = FieldCaptions(CurrentLanguage, Msg);
  const auto fields = ParamFields();
  for (std::size_t i = 0; i < fields.size() && i < captions.size(); ++i) {
    if (fields[i].Unit == TFieldUnit::Byte) continue;
    QWidget* control = FieldControl(fields[i]);
    if (control == nullptr) continue;
    const QString name = Utf8(captions[i]);
    control->setAccessibleName(name);
    if (TUpDown* upDown = UpDownOf(control)) {
      upDown->setAccessibleName(name);
      const auto buttons = upDown->findChildren<QToolButton*>();
      for (QToolButton* b : buttons)
        b->setAccessibleName(name + (b->arrowType() == Qt::UpArrow ? " +" : " \u2212"));
    }
    // An edit's hint sits on its caption label.
    QWidget* caption = findChild<QWidget*>(QString::fromLatin1(fields[i].CaptionKey));
    if (control->statusTip().isEmpty() && caption != nullptr)
      control->setAccessibleDescription(caption->statusTip());
  }

  for (QWidget* w : findChildren<QWidget*>()) {
    // A button that shows only a picture is named by its hint: the tooltip where it has one.
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->text().isEmpty()) {
      const QString hint = button->toolTip().isEmpty() ? button->statusTip() : button->toolTip();
      if (!hint.isEmpty()) button->setAccessibleName(hint);
    }
    if (!w->statusTip().isEmpty()) w->setAccessibleDescription(w->statusTip());
  }
  // Undo and redo have no hint: they are named as their menu items.
  const std::pair<QToolButton*, QAction*> commands[] = {{SpeedButtonZpet, MenuZpet},
                                                        {SpeedButtonZnovu, MenuZnovu}};
  for (const auto& [button, item] : commands)
    if (button->accessibleName().isEmpty())
      button->setAccessibleName(Utf8(StripAccelerator(item->text().toStdString())));
  // The area that scrolls the controls on a small screen takes the focus on its own.
  ClientScroll->setAccessibleName(windowTitle());
}
