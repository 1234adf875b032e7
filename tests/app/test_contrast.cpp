// Text stays readable on every state colour, in a light and in a dark desktop palette: the
// contrast is measured from pictures of the shown windows, as a person sees them.
#include "app/FormCurve.h"
#include "app/FormCurveGraph.h"
#include "app/Hlav.h"
#include "model/Contrast.h"
#include "support/AppSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>

#include <vector>

namespace {

const QList<QColor> StateColours = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(255, 0, 255),
                                    QColor(0, 255, 255), QColor(0, 255, 0)};

// A dark desktop theme: light text on dark grey.
QPalette DarkPalette() {
  QPalette p;
  const QColor window(53, 53, 53), base(35, 35, 35), text(238, 238, 236);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::black);
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
  return p;
}

struct TMeasure {
  QColor Background;
  double Contrast = 0;
};

// The background is the commonest colour of the picture; the text is the pixel that stands
// out most against it (antialiased edges only blend towards the background).
TMeasure Measure(const QImage& picture) {
  QHash<QRgb, int> count;
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++count[image.pixel(x, y) & 0xFFFFFF];
  QRgb background = 0;
  for (auto it = count.cbegin(); it != count.cend(); ++it)
    if (it.value() > count.value(background, -1)) background = it.key();
  TMeasure m{QColor(background), 1};
  for (auto it = count.cbegin(); it != count.cend(); ++it)
    m.Contrast = std::max(m.Contrast, ContrastRatio(RgbOf(QColor(it.key())), RgbOf(m.Background)));
  return m;
}

// Where a control draws its text: a check box without its box, an edit inside its frame.
QImage TextArea(QWidget* control) {
  if (auto* box = qobject_cast<QCheckBox*>(control)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->grab(box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box))
        .toImage();
  }
  if (qobject_cast<QLineEdit*>(control))
    return control->grab(control->rect().adjusted(4, 4, -4, -4)).toImage();
  return control->grab().toImage();
}

// A unit that takes every request and never answers: the read fails in red.
class TSilentPort : public TSimPort {
public:
  bool Write(const std::uint8_t*, int) override { return true; }
};

} // namespace

class TestContrast : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  void EveryStateColourReadsInLightAndDarkPalettes_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
  }
  void EveryStateColourReadsInLightAndDarkPalettes() {
    QFETCH(bool, dark);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
    TTestHome home;
    TModalAnswerer answerer;
    TSimPort port;
    TFormHlav form{QStringList{}};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QStringList faults;
    QSet<QString> coloured; // controls seen on a state colour
    const auto check = [&](QWidget* control, const QString& when) {
      // Greyed controls are out of use, and empty labels hold no text to read.
      if (!control->isVisible() || !control->isEnabled()) return;
      if (auto* label = qobject_cast<QLabel*>(control); label && label->text().isEmpty()) return;
      const TMeasure m = Measure(TextArea(control));
      if (StateColours.contains(m.Background)) coloured << control->objectName();
      if (m.Contrast < 4.5)
        faults << QString("%1 (%2): %3:1 on %4")
                      .arg(control->objectName(), when)
                      .arg(m.Contrast, 0, 'f', 2)
                      .arg(m.Background.name());
    };
    const auto labels = [&] { return form.ClientArea->findChildren<QLabel*>(); };

    // No unit yet: the connection indicator.
    form.Link.NoLinkTicks = 18;
    form.Timer1Timer();
    check(form.LabelSpojeni, "no unit");

    // Each pair of input modes lights other labels; every state set, every state clear.
    const std::pair<int, int> inputs[] = {{1, 1}, {2, 3}, {4, 2}};
    for (const auto& [input1, input2] : inputs) {
      for (const int millivolts : {7000, 11000, 12600}) {
        for (const bool set : {true, false}) {
          form.Image.Params.Input1 = std::uint8_t(input1);
          form.Image.Params.Input2 = std::uint8_t(input2);
          form.Image.Params.PocetBodu = 3;
          form.ParamsToScreen();
          port.EditMonitor = [set, millivolts](TLinkFrame& f) {
            f[1] = 2000 & 0xFF, f[2] = 2000 >> 8;
            f[3] = std::uint8_t(millivolts & 0xFF), f[4] = std::uint8_t(millivolts >> 8);
            f[31] = set ? 145 : 110, f[32] = 40, f[50] = set ? 66 : 67;
            for (int offset = 29; offset <= 43; ++offset)
              if (offset != 31 && offset != 32) f[offset] = set;
            f[42] = 1; // the engine runs: the point in use is marked
            f[49] = set;
          };
          form.Link.SetPort(&port);
          form.Link.MonitorFrame[0] = 0;
          QTRY_VERIFY(form.Link.MonitorFrame[0] == 0xB0);
          QTRY_VERIFY(!form.NoActivePoint);
          const QString when = QString("inputs %1/%2, %3 mV, %4")
                                   .arg(input1)
                                   .arg(input2)
                                   .arg(millivolts)
                                   .arg(set ? "set" : "clear");
          for (QLabel* label : labels())
            if (!label->objectName().isEmpty()) check(label, when);
          check(form.RpmEdits[form.ActivePoint], when);
          check(form.AdvanceEdits[form.ActivePoint], when);
        }
      }
    }
    form.CheckBoxProgHned->setChecked(true);
    form.ApplyControlRules();
    check(form.CheckBoxProgHned, "ticked");
    form.CheckBoxProgHned->setChecked(false);
    form.ApplyControlRules();

    // A read that gets no answer ends in red.
    TSilentPort silent;
    form.Link.SetPort(&silent);
    form.MenuRead->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(form.LabelHlaseni->text() == "Read error!", 10000);
    check(form.LabelHlaseni, "read failed");

    // The curve window: its own texts on the window's background, the recording in red.
    port.EditMonitor = {};
    form.Link.SetPort(&port);
    form.MenuCurve->trigger();
    QVERIFY(form.FormCurve != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form.FormCurve));
    {
      TFileDialogAnswerer record(home.File("live.csv"));
      form.MenuRecord->trigger();
    }
    QTRY_VERIFY(form.Recorder.IsRecording());
    QTRY_VERIFY(form.MonitorRing.Size() > 2);
    check(form.FormCurve->LabelRecord, "recording");
    check(form.FormCurve->LabelCurveHint, "curve window");
    TStripChart* strip = form.FormCurve->StripChart;
    strip->repaint();
    const QImage chart = strip->grab().toImage();
    const TMeasure axis = Measure(chart.copy(0, 0, 28, chart.height() - 20));
    if (axis.Contrast < 4.5)
      faults << QString("strip chart axis: %1:1").arg(axis.Contrast, 0, 'f', 2);
    form.MenuRecord->trigger();
    form.Link.SetPort(nullptr);

    for (const char* name :
         {"LabelSpojeni", "LabelMon_Advance", "LabelNapeti", "LabelKillSwitch", "LabelBlocking",
          "LabelMonRetard", "LabelMonStartLimiterOut", "LabelMonHardLimiter", "LabelMonLedRazeni",
          "LabelClutchMon", "LabelMonInput1In", "LabelMonInput2In", "LabelSnimac",
          "LabelPolaritaMer", "LabelVersion", "LabelEeDataErr", "CheckBoxProgHned", "LabelHlaseni"})
      if (!coloured.contains(name))
        faults << QString("%1 never seen on its state colour").arg(name);
    if (!coloured.contains(form.RpmEdits[form.ActivePoint]->objectName()))
      faults << "the marked curve point never seen on lime";
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QCOMPARE(faults.size(), 0);
  }
};

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
