// The four languages in the running window: start-up selection, the Language menu, the
// idle monitor texts, item lists that keep their selection, tooltips and status-bar hints.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTest>

#include "app/Hlav.h"
#include "app/RadioGroup.h"
#include "i18n/ControlTexts.h"
#include "i18n/MessageTable.h"
#include "support/AppSupport.h"

namespace {

// The kind of control a name stands for, by its type prefix.
bool OfItsKind(const QString& name, QObject* object) {
  if (name.startsWith("Menu"))
    return qobject_cast<QMenu*>(object) != nullptr || qobject_cast<QAction*>(object) != nullptr;
  if (name.startsWith("Label")) return qobject_cast<QLabel*>(object) != nullptr;
  if (name.startsWith("SpeedButton")) return qobject_cast<QToolButton*>(object) != nullptr;
  if (name.startsWith("Button") || name.startsWith("BitBtn"))
    return qobject_cast<QPushButton*>(object) != nullptr;
  if (name.startsWith("CheckBox")) return qobject_cast<QCheckBox*>(object) != nullptr;
  if (name.startsWith("RadioGroup")) return qobject_cast<TRadioGroup*>(object) != nullptr;
  if (name.startsWith("GroupBox")) return qobject_cast<QGroupBox*>(object) != nullptr;
  if (name.startsWith("ComboBox")) return qobject_cast<QComboBox*>(object) != nullptr;
  return false;
}

// How many items a list or a radio group shows.
int ItemCount(QObject* object) {
  if (auto* combo = qobject_cast<QComboBox*>(object)) return combo->count();
  return int(object->findChildren<QRadioButton*>().size());
}

} // namespace

class TestLanguage : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void init() { CurrentLanguage = LangEnglish; }
  void FirstArgumentChoosesTheLanguageExactly();
  void ComOpeningErrorComesInTheChosenLanguage();
  void GermanIdleLabelsWhileNotConnected();
  void CzechWhileConnectedLeavesTheMonitorToTheNextFrame();
  void ListsKeepTheirSelectionAcrossASwitch();
  void TooltipsOnlyWhereListedHintsInTheStatusBar();
  void CheckMarksAndCaptionFollowTheLanguage();
  void EveryControlOfTheTextTablesIsInTheWindow();
};

void TestLanguage::FirstArgumentChoosesTheLanguageExactly() {
  const std::pair<QStringList, TLanguage> cases[] = {
      {{"DEUTSCH"}, LangGerman},       {{"FRANCE"}, LangFrench},   {{"CESKY"}, LangCzech},
      {{"ENGLISH"}, LangEnglish},      {{"deutsch"}, LangEnglish}, {{"DEUTSCH "}, LangEnglish},
      {{"x", "DEUTSCH"}, LangEnglish}, {{"SVENSKA"}, LangEnglish},
  };
  for (const auto& [arguments, language] : cases) {
    TTestHome home;
    TModalAnswerer answerer;
    CurrentLanguage = LangEnglish;
    TFormHlav form(arguments);
    QCOMPARE(CurrentLanguage, language);
  }
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{"DEUTSCH"});
  QCOMPARE(form.windowTitle(), QString("Programmierung der VANTEL-9 Zündbox"));
  QCOMPARE(form.ButtonRead->text(), QString("&Lesen"));
}

void TestLanguage::ComOpeningErrorComesInTheChosenLanguage() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{"DEUTSCH"});
  QCOMPARE(answerer.Texts.size(), 1);
  QVERIFY(answerer.Texts[0].startsWith(QString("Falscher COM-Anschlußes!")));
}

void TestLanguage::GermanIdleLabelsWhileNotConnected() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  for (int i = 0; i < 20; ++i) form.Timer1Timer(); // the indicator shows
  QVERIFY(!form.LabelSpojeni->isHidden());
  form.MenuGermanClick();
  QCOMPARE(form.LabelPocetProgramovani->text(), QString("Programmierungsanzahl=  ---"));
  QCOMPARE(form.LabelMon_Advance->text(), QString("Vorzündung= --- [°]"));
  QCOMPARE(form.LabelMonInput1In->text(), QString("Eingang 1: ---"));
  QCOMPARE(form.LabelSpojeni->text(), QString("Keine Verbindung zum PC"));
  QCOMPARE(form.Msg.MsgManualOpenError,
           std::string("Fehler beim öffnen der Datei manual_vantel_de.pdf !"));
  form.MenuCzechClick();
  QCOMPARE(form.LabelMonInput1In->text(), QString("Vstup 1: ---"));
  QCOMPARE(form.LabelMonInput2In->text(), QString("Vstup 2: ---"));
}

void TestLanguage::CzechWhileConnectedLeavesTheMonitorToTheNextFrame() {
  TSimProcess sim;
  QVERIFY(sim.Start());
  TTestHome home;
  qputenv("VANTEL_COM1", sim.Path.c_str());
  TFormHlav form(QStringList{});
  QTRY_VERIFY_WITH_TIMEOUT(form.Link.MonitorFrame[0] == 0xB0, 3000); // a frame came in
  QVERIFY(form.LabelSpojeni->isHidden());
  const QString limiter = form.LabelMonHardLimiter->text();
  form.MenuCzechClick();
  // At the click nothing of the monitor changes language...
  QCOMPARE(form.LabelMonHardLimiter->text(), limiter);
  QVERIFY(form.LabelMonInput1In->text().startsWith("Input 1: "));
  // ...the next frame brings the new texts.
  QTRY_VERIFY_WITH_TIMEOUT(form.LabelMonHardLimiter->text().startsWith("Omezovač - "), 3000);
  QVERIFY(form.LabelMonInput1In->text().startsWith("Vstup 1: "));
}

void TestLanguage::ListsKeepTheirSelectionAcrossASwitch() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.Image.Params.GeberNr = 3; // third item: 3 ignitions per revolution
  form.Image.Params.Input1 = 3;
  form.ParamsToScreen();
  QCOMPARE(form.ComboBoxPocPalcu->currentIndex(), 2);
  form.MenuGermanClick();
  QCOMPARE(form.ComboBoxPocPalcu->currentIndex(), 2);
  QCOMPARE(form.ComboBoxPocPalcu->currentText(), QString("3 Zündungen pro Umdrehung"));
  QCOMPARE(form.RadioGroupInput1->ItemIndex(), 3);
  QCOMPARE(form.RadioGroupInput1->findChild<QRadioButton*>("RadioGroupInput1_3")->text(),
           QString("Spätzündung"));
  QCOMPARE(form.ComboBoxPocPalcu->count(), 4);
}

void TestLanguage::TooltipsOnlyWhereListedHintsInTheStatusBar() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{"DEUTSCH"});
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.ButtonProgram->toolTip(), QString("Kenndaten in die Zündung programmieren"));
  QTest::mouseMove(form.ButtonProgram);
  QTRY_COMPARE(form.StatusBar1->currentMessage(),
               QString("Kenndaten in die Zündung programmieren"));
  QVERIFY(form.LabelRpm1->toolTip().isEmpty());
  QTest::mouseMove(form.LabelRpm1);
  QTRY_COMPARE(form.StatusBar1->currentMessage(), QString("Umdrehungen pro Minute"));
  form.MenuEnglishClick();
  QVERIFY(form.LabelRpm1->toolTip().isEmpty());
  QCOMPARE(form.LabelRpm1->statusTip(), QString("Speed - Round per Minute"));
  QCOMPARE(form.MenuProgram->statusTip(), QString("Programing  set parametrs to ignition"));
  QVERIFY(form.MenuProgram->toolTip().isEmpty() ||
          form.MenuProgram->toolTip() == form.MenuProgram->text().remove('&'));
}

void TestLanguage::CheckMarksAndCaptionFollowTheLanguage() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  QAction* items[] = {form.MenuEnglish, form.MenuGerman, form.MenuFrench, form.MenuCzech};
  const char* captions[] = {"Programming of VANTEL-9 unit", "Programmierung der VANTEL-9 Zündbox",
                            "Programation de VANTEL-9 unité", "Programování jednotky VANTEL-9"};
  for (int language = 0; language < 4; ++language) {
    items[language]->trigger();
    QCOMPARE(CurrentLanguage, language);
    for (int other = 0; other < 4; ++other) QCOMPARE(items[other]->isChecked(), other == language);
    QCOMPARE(form.windowTitle(), QString(captions[language]));
  }
  QCOMPARE(form.MenuCzech->text(), QString("Če&sky"));
  QCOMPARE(form.MenuHelp->title(), QString("Nápověda"));
  form.MenuFrenchClick();
  QCOMPARE(form.MenuSave->text(), QString("&Mèmoriser"));
  // The message boxes' own buttons follow the language too.
  form.MenuGermanClick();
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString("Ja"));
  form.MenuEnglishClick();
}

// A control renamed in the window, or one of another kind, would keep its design text in
// every language without anyone noticing: every name of the text tables is one control of
// the kind its name says, and every item list has as many items as the control shows.
void TestLanguage::EveryControlOfTheTextTablesIsInTheWindow() {
  TTestHome home;
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  QStringList faults;
  for (TLanguage language = 0; language < LanguageCount; ++language) {
    TMessageCatalogue msg;
    FillMessageCatalogue(msg, language);
    for (const TResolvedText& entry : BuildControlTexts(language, msg)) {
      const QString name = QString::fromStdString(entry.Control);
      if (name == form.objectName()) continue; // the window's own caption
      const QList<QObject*> found = form.findChildren<QObject*>(name);
      if (found.size() != 1) {
        faults << QString("%1: %2 controls of that name").arg(name).arg(found.size());
      } else if (!OfItsKind(name, found.first())) {
        faults << name + ": a " + found.first()->metaObject()->className();
      } else if (entry.Prop == TTextProp::Items &&
                 ItemCount(found.first()) != int(entry.Items.size())) {
        faults << QString("%1: %2 items for %3")
                      .arg(name)
                      .arg(entry.Items.size())
                      .arg(ItemCount(found.first()));
      }
    }
  }
  faults.removeDuplicates();
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
