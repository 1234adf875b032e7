// The tool windows under real use: the difference window follows what it compares, the main
// menu's keys work in every tool window, Escape closes them, and their places are kept.
#include "app/Hlav.h"
#include "files/Profile.h"
#include "model/SettingsDir.h"
#include "support/AppSupport.h"
#include "app/FormCurve.h"
#include "app/FormDiff.h"
#include "app/FormPorts.h"
#include "app/FormRestorePoints.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

// The window, shown and active, with the simulated unit in-process behind its port.
struct TWindow {
  const TTestHome& Home;
  TModalAnswerer Answerer{QMessageBox::Yes};
  TSimPort Port;
  TFormHlav Form{QStringList{}};

  explicit TWindow(const TTestHome& home) : Home(home) {
    Form.show();
    if (!QTest::qWaitForWindowActive(&Form)) qFatal("the window did not become active");
    Form.Link.SetPort(&Port);
  }
  ~TWindow() { Form.Link.SetPort(nullptr); }

  // A transfer that a key started, to its end.
  void Await(const QString& status) {
    QTRY_COMPARE_WITH_TIMEOUT(Form.LabelHlaseni->text(), status, 8000);
    QTRY_COMPARE_WITH_TIMEOUT(Form.Link.TransferMode, tmIdle, 2000);
  }
  // Each tool window, built and shown through its own menu item.
  QWidget* Open(const char* which) {
    const QString name(which);
    QWidget* tool = nullptr;
    if (name == "curve") Form.MenuCurve->trigger(), tool = Form.FormCurve;
    if (name == "restore points") Form.MenuRestorePoints->trigger(), tool = Form.FormRestorePoints;
    if (name == "differences") Form.MenuDifferences->trigger(), tool = Form.FormDiff;
    if (name == "ports") Form.MenuPorts->trigger(), tool = Form.FormPorts;
    if (tool == nullptr || !QTest::qWaitForWindowActive(tool)) return nullptr;
    for (int i = 0; i < 100 && QApplication::activeWindow() != tool; ++i) QTest::qWait(10);
    return QApplication::activeWindow() == tool ? tool : nullptr;
  }
  // A failed verify against a unit that holds other values: the difference is offered.
  void FailVerify(const TIgnParams& unit) {
    Port.Unit.SetBlock1(reinterpret_cast<const std::uint8_t*>(&unit));
    Press(&Form, QKeySequence(Qt::Key_F8));
    Await("Verify error!");
  }
  QStringList Rows() const {
    QStringList rows;
    const QTreeWidget* list = Form.FormDiff->ListDifferences;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      rows << list->topLevelItem(i)->text(0) + ": " + list->topLevelItem(i)->text(1) + " / " +
                  list->topLevelItem(i)->text(2);
    return list->isVisible() ? rows : QStringList();
  }
};

} // namespace

class TestToolWindows : public QObject {
  Q_OBJECT

public slots:
  void OpenUrl(const QUrl&) {} // no manual viewer starts from a test

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  // A failed verify, the screen edited, undone, programmed; a file compared, opened, undone.
  void TheDifferenceWindowFollowsWhatItCompares() {
    TTestHome home;
    TWindow w(home);
    TIgnParams unit = w.Form.Image.Params;
    unit.Omez2 = static_cast<std::uint8_t>(unit.Omez2 - 5);
    unit.BaseAdv = static_cast<std::uint8_t>(unit.BaseAdv + 2);
    w.FailVerify(unit);
    QWidget* diff = w.Open("differences");
    QVERIFY(diff != nullptr);
    QCOMPARE(w.Rows().size(), 2);
    QVERIFY(w.Form.FormDiff->LabelDiffHead->text().contains("failed the comparison at "));
    QVERIFY(!w.Form.FormDiff->LabelNoDifferences->isVisible());

    // The screen edited; undo and redo from the difference window's own keys.
    const TIgnParams before = w.Form.Image.Params;
    w.Form.Image.Params.Retard = static_cast<std::uint8_t>(before.Retard + 3);
    w.Form.ParamsChanged();
    QCOMPARE(w.Rows().size(), 3);
    Press(diff, QKeySequence("Ctrl+Z"));
    QCOMPARE(w.Rows().size(), 2);
    Press(diff, QKeySequence("Ctrl+Alt+Z"));
    QCOMPARE(w.Rows().size(), 3);
    Press(diff, QKeySequence("Ctrl+Z"));

    // Programmed from the window: the unit holds the screen's record now.
    Press(diff, QKeySequence(Qt::Key_F9));
    w.Await("Verify: OK");
    QCOMPARE(w.Rows(), QStringList());
    QVERIFY(w.Form.FormDiff->LabelNoDifferences->isVisible());
    QCOMPARE(w.Form.FormDiff->LabelNoDifferences->text(),
             QString("The unit and the screen agree."));
    QVERIFY(w.Form.FormDiff->LabelDiffHead->text().contains("as programmed at "));
    QVERIFY(!w.Form.MenuDifferences->isEnabled());
    // The unit changes behind the screen's back: the next verify shows it, a Read ends it.
    unit = w.Form.Image.Params;
    unit.Retard = static_cast<std::uint8_t>(unit.Retard + 1);
    w.Form.activateWindow();
    w.FailVerify(unit);
    QCOMPARE(w.Rows().size(), 1);
    Press(&w.Form, QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    QCOMPARE(w.Rows(), QStringList());
    QVERIFY(w.Form.FormDiff->LabelDiffHead->text().contains("as verified at "));

    // A file: follows the screen through Open and undo, and stays through a pass.
    TIgnParams file = w.Form.Image.Params;
    file.Retard = 0;
    file.Omez2 = 120;
    w.Home.Write("other.ign", IgnBytes(file));
    {
      TFileDialogTyper typer({w.Home.File("other.ign")});
      QTest::mouseClick(w.Form.FormDiff->ButtonCompareFile, Qt::LeftButton);
    }
    QCOMPARE(w.Rows().size(), 2);
    QCOMPARE(w.Form.FormDiff->ListDifferences->headerItem()->text(2), QString("other.ign"));
    QVERIFY(w.Form.FormDiff->LabelDiffHead->text().contains("as read at "));
    {
      TFileDialogTyper typer({w.Home.File("other.ign")});
      Press(diff, QKeySequence(Qt::Key_F3));
    }
    QCOMPARE(w.Rows(), QStringList());
    QCOMPARE(w.Form.FormDiff->LabelNoDifferences->text(), QString("No differences."));
    Press(diff, QKeySequence("Ctrl+Z"));
    QCOMPARE(w.Rows().size(), 2);
    // The undo went back past the Read, which adds no step: the unit differs again, and
    // the file stays what is compared.
    Press(diff, QKeySequence(Qt::Key_F8));
    w.Await("Verify error!");
    QCOMPARE(w.Rows().size(), 2);
    QCOMPARE(w.Form.FormDiff->ListDifferences->headerItem()->text(2), QString("other.ign"));

    // And in the language chosen.
    w.Form.MenuGerman->trigger();
    QVERIFY(w.Form.FormDiff->LabelDiffHead->text().contains("gelesen um "));
  }

  // Every key of every main-menu item, from each tool window, runs the item once.
  void TheMainMenuKeysWorkInEveryToolWindow() {
    QDesktopServices::setUrlHandler("file", this, "OpenUrl");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
    TTestHome home;
    TWindow w(home);
    w.Answerer.Answer = QMessageBox::No;
    TFileDialogTyper cancel({});
    TIgnParams unit = w.Form.Image.Params;
    unit.Omez2 = static_cast<std::uint8_t>(unit.Omez2 - 5);
    w.FailVerify(unit); // so that F12 has something to show
    w.Form.Link.SetPort(nullptr);

    const QList<QAction*> keyed = w.Form.MenuKeyActions();
    QStringList names;
    for (const QAction* action : keyed) names << action->objectName();
    for (const char* name :
         {"MenuNew", "MenuOpen", "MenuSave", "MenuPrint", "MenuRead", "MenuVerify", "MenuProgram",
          "MenuAdvanceMinus", "MenuAdvancePlus", "MenuZpet", "MenuZnovu", "MenuCurve",
          "MenuRestorePoints", "MenuDifferences", "MenuContens"})
      QVERIFY2(names.contains(name), name);

    for (const char* which : {"differences", "curve", "restore points", "ports"}) {
      QWidget* tool = w.Open(which);
      QVERIFY2(tool != nullptr, which);
      for (QAction* action : keyed)
        for (const QKeySequence& key : action->shortcuts()) {
          if (action->objectName() == "MenuZpet") { // something to undo, then to redo
            w.Form.Image.Params.BaseAdv ^= 1;
            w.Form.ParamsChanged();
          }
          if (action->objectName() == "MenuZnovu" && !action->isEnabled()) {
            // Redo has several keys: each wants a step to redo.
            w.Form.Image.Params.BaseAdv ^= 1;
            w.Form.ParamsChanged();
            w.Form.SpeedButtonZpetClick();
          }
          w.Form.MenuDifferences->setEnabled(true);
          // Back to the tool window, as a person would click it after a box or a dialog.
          tool->show();
          tool->activateWindow();
          QVERIFY(QTest::qWaitForWindowActive(tool));
          QSignalSpy triggered(action, &QAction::triggered);
          Press(tool, key);
          QVERIFY2(triggered.size() == 1,
                   qPrintable(QString("%1 in the %2 window").arg(key.toString(), which)));
          w.Form.Link.TransferMode = tmIdle;
        }
      tool->close();
    }
  }

  // Escape closes each tool window; the curve window keeps a point held in a drag instead.
  void EscapeClosesEveryToolWindow() {
    TTestHome home;
    TWindow w(home);
    TIgnParams unit = w.Form.Image.Params;
    unit.Omez2 = static_cast<std::uint8_t>(unit.Omez2 - 5);
    w.FailVerify(unit);
    for (const char* which : {"restore points", "differences", "ports", "curve"}) {
      QWidget* tool = w.Open(which);
      QVERIFY2(tool != nullptr, which);
      // From the list where it has one, else from wherever the focus is.
      if (auto* list = tool->findChild<QTreeWidget*>()) list->setFocus();
      Press(tool, QKeySequence(Qt::Key_Escape));
      QVERIFY2(tool->isHidden(), which);
      QVERIFY(w.Form.isVisible());
    }
  }

  // Place and size of every tool window outlive the run; a place on no screen comes back.
  void EveryToolWindowKeepsItsPlace() {
    TTestHome home;
    const char* const windows[] = {"restore points", "differences", "ports", "curve"};
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    std::vector<QRect> kept;
    {
      TWindow w(home);
      TIgnParams unit = w.Form.Image.Params;
      unit.Omez2 = static_cast<std::uint8_t>(unit.Omez2 - 5);
      w.FailVerify(unit);
      int n = 0;
      for (const char* which : windows) {
        QWidget* tool = w.Open(which);
        QVERIFY2(tool != nullptr, which);
        tool->resize(420 + 10 * n, 330 + 10 * n);
        tool->move(area.x() + 20 + 30 * n, area.y() + 10 + 20 * n);
        kept.push_back(QRect(tool->pos(), tool->size()));
        if (n++ % 2 == 0) Press(tool, QKeySequence(Qt::Key_Escape)); // closed before the end
      }
      w.Form.close();
    }
    {
      TWindow again(home);
      TIgnParams unit = again.Form.Image.Params;
      unit.Omez2 = static_cast<std::uint8_t>(unit.Omez2 - 5);
      again.FailVerify(unit);
      for (std::size_t i = 0; i < std::size(windows); ++i) {
        QWidget* tool = again.Open(windows[i]);
        QVERIFY2(tool != nullptr, windows[i]);
        QCOMPARE(QRect(tool->pos(), tool->size()), kept[i]);
      }
    }
    // Kept on a screen that is gone, larger than this one: wholly on this one.
    for (const char* section : {"RESTORE_POINTS_WINDOW", "CURVE_WINDOW"}) {
      TProfileFile moved(ExtraSettingsPath());
      moved.WriteInteger(section, "Left", -4000);
      moved.WriteInteger(section, "Top", 3000);
      moved.WriteInteger(section, "Width", area.width() + 500);
      moved.WriteInteger(section, "Height", 300);
      TFailureReport failure;
      QVERIFY(moved.Flush(failure));
    }
    TWindow last(home);
    for (const char* which : {"restore points", "curve"}) {
      QWidget* tool = last.Open(which);
      QVERIFY2(tool != nullptr, which);
      QVERIFY2(area.contains(tool->frameGeometry()), which);
      QCOMPARE(tool->frameGeometry().left(), area.left());
      QCOMPARE(tool->frameGeometry().bottom(), area.bottom());
    }
  }
};

QTEST_MAIN(TestToolWindows)
#include "test_tool_windows.moc"
