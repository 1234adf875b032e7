// What a screen reader finds in the shown window, in every language: a name for every control
// that takes the focus, number fields named by their row and column or caption, hints as
// descriptions, and live labels that announce their text.
#include "app/Hlav.h"
#include "app/UpDown.h"
#include "support/AppSupport.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

// Every interface below root, depth first.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
  if (root == nullptr) return;
  visit(root);
  for (int i = 0; i < root->childCount(); ++i) Walk(root->child(i), visit);
}

QString Name(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a != nullptr ? a->text(QAccessible::Name) : QString();
}

QString Description(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a != nullptr ? a->text(QAccessible::Description) : QString();
}

} // namespace

class TestAccessibility : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  void EveryControlHasANameInEveryLanguage() {
    TTestHome home;
    TModalAnswerer answerer;
    TFormHlav form{QStringList{}};
    form.Image.Params.PocetBodu = 15;
    form.Image.Params.Input1 = 4; // the start limiter in use: its edit takes the focus
    form.Image.Params.Input2 = 2; // clutch master
    form.ParamsToScreen();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const struct {
      QAction* Item;
      const char* Point3Advance;
      const char* Omez1;
      const char* Open; // the tool button's name: its tooltip
    } languages[] = {
        {form.MenuEnglish, "Point 3: Advance [°]", "Start limiter [rpm]",
         "Open file with parametrs"},
        {form.MenuGerman, "Stützpunkt 3: Vorzündung [°]", "Startbegrenzer [rpm]",
         "Kenndatendatei öffnen"},
        {form.MenuFrench, "Point 3: Avance [°]", "Limitateur départ [rpm]",
         "Ouvrir fichier avec paramètres"},
        {form.MenuCzech, "Bod 3: Předstih [°]", "Startovací omezovač [rpm]",
         "Otevření souboru s parametry"},
    };
    for (const auto& language : languages) {
      language.Item->trigger();
      const QString which = language.Item->objectName();
      QStringList nameless;
      int focusable = 0;
      Walk(QAccessible::queryAccessibleInterface(&form), [&](QAccessibleInterface* a) {
        const QAccessible::State state = a->state();
        if (!state.focusable || state.invisible) return;
        ++focusable;
        if (a->text(QAccessible::Name).trimmed().isEmpty())
          nameless << (a->object() ? a->object()->objectName() : QString("?")) + " (" +
                          QString::number(a->role(), 16) + ")";
      });
      QVERIFY2(nameless.isEmpty(), qPrintable(which + ": " + nameless.join(", ")));
      QVERIFY(focusable > 40);

      QCOMPARE(Name(form.AdvanceEdits[2]), QString::fromUtf8(language.Point3Advance));
      QVERIFY(Name(form.RpmEdits[14]).contains("15"));
      QCOMPARE(Name(form.EditOmez1), QString::fromUtf8(language.Omez1));
      // The spinner's arrows, which take no focus, say whose they are.
      for (QToolButton* arrow : form.UpDownOmez1->findChildren<QToolButton*>())
        QVERIFY(Name(arrow).startsWith(QString::fromUtf8(language.Omez1)));
      QCOMPARE(Name(form.SpeedButton5), QString::fromUtf8(language.Open));
      // The hint of the control, or of its caption, as its description.
      QCOMPARE(Description(form.SpeedButton5), form.SpeedButton5->statusTip());
      QVERIFY(!Description(form.SpeedButton5).isEmpty());
      QVERIFY(!Description(form.ComboBoxBike).isEmpty());
      QVERIFY(!Name(form.ComboBoxBike).isEmpty());
      QCOMPARE(Description(form.EditOmez1), form.LabelOmez1->statusTip());
    }
  }

  // A live label has no name of its own: its name is the value it shows now, and the toolkit
  // tells a screen reader of each change of a label without a fixed name.
  void LiveLabelsSayWhatTheyShow() {
    TTestHome home;
    TModalAnswerer answerer;
    TSimPort port;
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<QLabel*> live = {form.LabelRpm,         form.LabelNapeti,      form.LabelSnimac,
                                 form.LabelMon_Advance, form.LabelMonInput1In, form.LabelHlaseni};
    const QString idle = Name(form.LabelNapeti);
    form.Link.SetPort(&port);
    QTRY_VERIFY(form.Link.MonitorFrame[0] == 0xB0);
    form.Link.SetPort(nullptr);
    QVERIFY(Name(form.LabelNapeti) != idle);
    for (QLabel* label : live) {
      QVERIFY2(label->accessibleName().isEmpty(), qPrintable(label->objectName()));
      QCOMPARE(Name(label), label->text());
    }
    form.MenuGerman->trigger(); // the pass over the controls leaves them so
    for (QLabel* label : live) QVERIFY(label->accessibleName().isEmpty());
  }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
