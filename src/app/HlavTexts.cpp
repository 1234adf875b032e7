#include "app/HlavTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QWidget>

#include <string>

#include "i18n/ControlTexts.h"

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void SetCaption(QObject* object, const std::string& caption) {
  if (auto* action = qobject_cast<QAction*>(object)) {
    action->setText(Utf8(caption));
  } else if (auto* menu = qobject_cast<QMenu*>(object)) {
    menu->setTitle(Utf8(caption));
  } else if (auto* label = qobject_cast<QLabel*>(object)) {
    // Without a buddy a label would show the "&" itself; it underlines the letter instead.
    const std::string markup = label->buddy() ? std::string() : AcceleratorMarkup(caption);
    if (!markup.empty()) {
      label->setTextFormat(Qt::RichText);
      label->setText(Utf8(markup));
    } else {
      label->setTextFormat(Qt::PlainText);
      label->setText(Utf8(label->buddy() ? caption : StripAccelerator(caption)));
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    button->setText(Utf8(caption));
  } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
    group->setTitle(Utf8(caption));
  }
}

void SetHint(QObject* object, const std::string& control, const std::string& hint) {
  std::string shortPart, longPart;
  SplitHint(hint, shortPart, longPart);
  const QString tip = TooltipEnabled(control) ? Utf8(shortPart) : QString();
  if (auto* action = qobject_cast<QAction*>(object)) {
    // A menu item's hint reaches only the status bar.
    action->setStatusTip(Utf8(longPart));
    action->setToolTip(QString());
  } else if (auto* menu = qobject_cast<QMenu*>(object)) {
    // The menu bar shows the status tip of the menu's own action.
    menu->setStatusTip(Utf8(longPart));
    menu->menuAction()->setStatusTip(Utf8(longPart));
    menu->setToolTip(QString());
  } else if (auto* widget = qobject_cast<QWidget*>(object)) {
    widget->setStatusTip(Utf8(longPart));
    widget->setToolTip(tip);
  }
}

void SetItems(QWidget* window, QObject* object, const std::string& control,
              const std::vector<std::string>& items) {
  if (auto* combo = qobject_cast<QComboBox*>(object)) {
    // In place, so the current index stays.
    for (int i = 0; i < int(items.size()); ++i) {
      if (i < combo->count())
        combo->setItemText(i, Utf8(items[i]));
      else
        combo->addItem(Utf8(items[i]));
    }
  } else if (qobject_cast<QGroupBox*>(object)) {
    for (int i = 0; i < int(items.size()); ++i) {
      const QString name = Utf8(control) + '_' + QString::number(i);
      if (auto* button = window->findChild<QAbstractButton*>(name)) button->setText(Utf8(items[i]));
    }
  }
}

} // namespace

void ApplyControlTextsTo(QWidget* window, TLanguage language, const TMessageCatalogue& msg,
                         bool connectionVisible) {
  if (!window) return;

  const char* const languageItems[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
  for (int n = 0; n < 4; ++n) {
    if (auto* item = window->findChild<QAction*>(languageItems[n])) {
      item->setCheckable(true);
      item->setChecked(language == n);
    }
  }

  for (const TResolvedText& entry : BuildControlTexts(language, msg)) {
    if (entry.Control == "TFormHlav") {
      if (entry.Prop == TTextProp::Caption) window->setWindowTitle(Utf8(entry.Text));
      continue;
    }
    const QList<QObject*> objects = window->findChildren<QObject*>(Utf8(entry.Control));
    for (QObject* object : objects) {
      switch (entry.Prop) {
      case TTextProp::Caption:
        SetCaption(object, entry.Text);
        break;
      case TTextProp::Hint:
        SetHint(object, entry.Control, entry.Text);
        break;
      case TTextProp::Items:
        SetItems(window, object, entry.Control, entry.Items);
        break;
      }
    }
  }

  if (connectionVisible) {
    if (auto* label = window->findChild<QLabel*>("LabelMonInput1In"))
      label->setText(Utf8(msg.MsgInput + " 1: ---"));
    if (auto* label = window->findChild<QLabel*>("LabelMonInput2In"))
      label->setText(Utf8(msg.MsgInput + " 2: ---"));
  }
}
