#include "support/AppSupport.h"

#include "files/IgnFile.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>

#include <algorithm>

TModalAnswerer::TModalAnswerer(QMessageBox::StandardButton answer) : Answer(answer) {
  Poll.setInterval(5);
  connect(&Poll, &QTimer::timeout, this, [this] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      Texts << box->text();
      // Clicked as a person would: the toolkit's own boxes read the button clicked.
      if (QAbstractButton* button = box->button(Answer))
        button->click();
      else
        box->done(Answer);
    }
  });
  Poll.start();
}

TFileDialogAnswerer::TFileDialogAnswerer(const QString& path, std::function<void()> before) {
  Poll.setInterval(5);
  connect(&Poll, &QTimer::timeout, this, [this, path, before] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || Busy) return;
    Busy = true;
    Proposed << dialog->selectedFiles().value(0);
    if (Proposed.size() > 1 || path.isEmpty()) {
      dialog->reject();
      Busy = false;
      return;
    }
    // The dialog leaves a focused file name edit alone, as a user may be typing in it.
    if (QWidget* focus = dialog->focusWidget()) focus->clearFocus();
    dialog->selectFile(path);
    if (before) before();
    static_cast<QDialog*>(dialog)->accept(); // runs the dialog's own checks
    Busy = false;
  });
  Poll.start();
}

TPortCount TSimPort::Read(std::uint8_t* buffer, int max) {
  int count = 0;
  while (count < max && !Pending.empty()) {
    buffer[count++] = Pending.front();
    Pending.pop_front();
  }
  return Counted(count);
}

bool TSimPort::Write(const std::uint8_t* data, int count) {
  Requests.Feed(data, static_cast<std::size_t>(count), 0);
  TLinkFrame request;
  std::vector<std::uint8_t> reply;
  while (Requests.NextRequest(request)) {
    Unit.HandleRequest(request.data(), reply);
    if (EditMonitor && reply.size() == FrameSize && reply[0] == MonitorReplyCommand) {
      TLinkFrame frame;
      std::copy(reply.begin(), reply.end(), frame.begin());
      EditMonitor(frame);
      SealFrame(frame);
      reply.assign(frame.begin(), frame.end());
    }
    Pending.insert(Pending.end(), reply.begin(), reply.end());
  }
  return true;
}

QFileDialog* ActiveFileDialog() {
  return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
}

QWidget* KeyTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::focusWidget();
}

void Press(QWidget* window, const QKeySequence& key) {
  if (!window->isActiveWindow()) window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) qWarning("the window did not become active");
  QTest::keyClick(KeyTarget(), key[0].key(), key[0].keyboardModifiers());
}

TFileDialogTyper::TFileDialogTyper(const QStringList& names, bool awaitCompletion) {
  Poll.setInterval(10);
  connect(&Poll, &QTimer::timeout, this, [this, names, awaitCompletion] {
    QFileDialog* dialog = ActiveFileDialog();
    if (Busy || dialog == nullptr) return;
    if (!dialog->isActiveWindow()) { // back from a box of its own
      dialog->activateWindow();
      return;
    }
    Busy = true;
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    const QString name = names.value(Proposed.size());
    Proposed << (edit != nullptr ? dialog->directory().filePath(edit->text()) : QString());
    if (Before) Before(dialog);
    if (edit == nullptr || name.isEmpty()) {
      QTest::keyClick(KeyTarget(), Qt::Key_Escape);
    } else {
      edit->setFocus();
      edit->selectAll();
      for (const QChar c : name) QTest::keyClick(KeyTarget(), c.toLatin1());
      auto* completer = edit->completer();
      if (awaitCompletion && completer != nullptr) {
        for (int i = 0; i < 200 && !completer->popup()->isVisible(); ++i) QTest::qWait(10);
        CompletionShown = completer->popup()->isVisible();
      }
      QTest::keyClick(KeyTarget(), Qt::Key_Return);
    }
    Busy = false;
  });
  Poll.start();
}

QString TextCut(QWidget* w) {
  const QFontMetrics fm = w->fontMetrics();
  const auto over = [](const QString& what, int need, int has) {
    return need > has ? QString("%1 needs %2 px, has %3").arg(what).arg(need).arg(has) : QString();
  };
  QString why;
  if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->text().isEmpty()) {
    if (label->wordWrap())
      why = over("height", label->heightForWidth(label->width()), label->height());
    else
      why = over("width", label->sizeHint().width(), label->width());
    if (why.isEmpty()) why = over("height", label->sizeHint().height(), label->height());
  } else if (auto* push = qobject_cast<QPushButton*>(w)) {
    QStyleOptionButton option;
    option.initFrom(push);
    option.text = push->text();
    const QRect contents =
        push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    why = over("text", fm.size(Qt::TextShowMnemonic, push->text()).width(), contents.width());
  } else if (auto* button = qobject_cast<QAbstractButton*>(w);
             button != nullptr && !button->text().isEmpty()) {
    why = over("width", button->sizeHint().width(), button->width());
  } else if (auto* group = qobject_cast<QGroupBox*>(w);
             group != nullptr && !group->title().isEmpty()) {
    why = over("title", group->minimumSizeHint().width(), group->width());
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const int field =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .width();
    for (int i = 0; i < combo->count() && why.isEmpty(); ++i)
      why = over("item \"" + combo->itemText(i) + "\"", fm.horizontalAdvance(combo->itemText(i)),
                 field);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    const int field =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width();
    why = over("\"" + edit->text() + "\"", fm.horizontalAdvance(edit->text()) + 4, field);
  }
  QWidget* parent = w->parentWidget();
  if (why.isEmpty() && parent != nullptr && !parent->rect().contains(w->geometry()))
    why = QString("sticks out of %1").arg(parent->objectName());
  return why.isEmpty() ? why : w->objectName() + ": " + why;
}

QStringList LayoutFaults(QWidget* area, const QString& context) {
  QStringList faults;
  const QList<QWidget*> all = area->findChildren<QWidget*>();
  for (QWidget* w : all) {
    if (w->objectName().isEmpty() || !w->isVisibleTo(area)) continue;
    if (const QString why = TextCut(w); !why.isEmpty()) faults << context + ": " + why;
    for (QWidget* other : all)
      if (other != w && other->parentWidget() == w->parentWidget() && w < other &&
          !other->objectName().isEmpty() && other->isVisibleTo(area) &&
          w->geometry().intersects(other->geometry()))
        faults << QString("%1: %2 overlaps %3").arg(context, w->objectName(), other->objectName());
  }
  return faults;
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray IgnBytes(const TIgnParams& p) {
  return QByteArray::fromStdString(IgnFileText(p));
}
