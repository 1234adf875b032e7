// The curve window as a person uses it: opened with F6, points dragged with the mouse and
// moved with the arrow keys, the live engine on the curve, a recording of live values, and
// the curve tools on a selection of points, the clipboard and CSV files.
#include "app/Hlav.h"
#include "app/UpDown.h"
#include "files/IgnFile.h"
#include "files/Profile.h"
#include "i18n/CurveTexts.h"
#include "link/Frame.h"
#include "model/Defaults.h"
#include "model/SettingsDir.h"
#include "support/AppSupport.h"
#include "app/FormCurve.h"
#include "app/FormCurveGraph.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputDialog>
#include <QSpinBox>
#include <QStatusBar>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <csignal>
#include <cstring>
#include <sstream>
#include <sys/resource.h>
#include <vector>

namespace {

QString Text(TCurveText key, TLanguage language = LangEnglish) {
  return QString::fromUtf8(CurveText(key, language));
}

// The simulated unit in-process: its engine moves only when the test says so.
struct TWindow {
  TTestHome Home;
  TModalAnswerer Answerer{QMessageBox::Yes};
  TSimPort Port;
  TFormHlav Form{QStringList{}};

  explicit TWindow(bool withUnit = true) {
    Form.show();
    if (!QTest::qWaitForWindowActive(&Form)) qFatal("the window did not become active");
    if (withUnit) Form.Link.SetPort(&Port);
  }
  ~TWindow() { Form.Link.SetPort(nullptr); }

  // A five-point curve (1000 .. 5000 rpm, 10 .. 34 degrees) as the start of the history.
  void Start() {
    TIgnParams& p = Form.Image.Params;
    LoadDefaultParams(p);
    p.PocetBodu = 5;
    const std::uint8_t advance[5] = {10, 18, 26, 32, 34};
    std::copy(std::begin(advance), std::end(advance), p.Advance);
    Form.NormaliseParams();
    Form.ParamsToScreen();
    Form.InitHistory();
  }
  // F6 in the main window, as a person presses it; the curve window comes up.
  TFormCurve* Open() {
    Press(&Form, QKeySequence(Qt::Key_F6));
    if (Form.FormCurve == nullptr || !QTest::qWaitForWindowActive(Form.FormCurve)) return nullptr;
    // The toolkit hands the keyboard over when it has delivered the activation.
    for (int i = 0; i < 100 && QApplication::activeWindow() != Form.FormCurve; ++i)
      QTest::qWait(10);
    return QApplication::activeWindow() == Form.FormCurve ? Form.FormCurve : nullptr;
  }
  TCurveGraph* Graph() { return Form.FormCurve->Graph; }
  // The five-point curve, and the curve window open on it with the keyboard.
  TCurveGraph* StartAndOpen() {
    Start();
    return Open() != nullptr ? Graph() : nullptr;
  }
  // Waits for the next monitor frame the window accepts.
  bool NextFrame() {
    const std::int64_t last = Form.MonitorRing.Newest() ? Form.MonitorRing.Newest()->Ms : -1;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000) {
      QTest::qWait(10);
      if (Form.MonitorRing.Newest() && Form.MonitorRing.Newest()->Ms != last) return true;
    }
    return false;
  }
  bool AwaitIdle() {
    QElapsedTimer t;
    t.start();
    while (Form.Link.TransferMode != tmIdle && t.elapsed() < 5000) QTest::qWait(10);
    return Form.Link.TransferMode == tmIdle;
  }
};

// Where a drag from a point's place must end to move it by rpm and degrees.
QPoint DragEnd(const TCurveGraph* graph, int index, int rpm, int degrees, const TIgnParams& p) {
  const TCurveScale scale = graph->Scale();
  const double fromRpm = p.RpmAdv[index] * 100.0, fromAdvance = p.Advance[index];
  const QPointF from = graph->PointPosition(index);
  return (from + QPointF(scale.X(fromRpm + rpm) - scale.X(fromRpm),
                         scale.Y(fromAdvance + degrees) - scale.Y(fromAdvance)))
      .toPoint();
}

void Drag(QWidget* graph, QPoint from, QPoint to) {
  QTest::mousePress(graph, Qt::LeftButton, {}, from);
  for (int step = 1; step <= 4; ++step) QTest::mouseMove(graph, from + (to - from) * step / 4);
  QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
}

bool SameParams(const TIgnParams& a, const TIgnParams& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The record with one point moved, to compare with whole records.
TIgnParams Moved(TIgnParams p, int index, int rpmSteps, int degrees) {
  p.RpmAdv[index] = static_cast<std::uint8_t>(p.RpmAdv[index] + rpmSteps);
  p.Advance[index] = static_cast<std::uint8_t>(p.Advance[index] + degrees);
  return p;
}

// How many magenta pixels, the start limiter's colour however smoothed, lie on column x.
int MagentaOnColumn(const QImage& image, int x, int top, int bottom) {
  int found = 0;
  for (int y = top; y < bottom; ++y) {
    const QColor c = image.pixelColor(x, y);
    if (c.red() > 150 && c.blue() > 150 && c.green() < 150) ++found;
  }
  return found;
}

// Reads what the port gives the link and keeps each monitor frame that the link accepts
// while a recording runs, in arrival order.
class TTapPort : public TPort {
public:
  TTapPort(TPort& port, const TMonitorRecorder& recorder) : Port(port), Recorder(recorder) {}
  bool IsOpen() const override { return Port.IsOpen(); }
  TPortCount BytesWaiting() override { return Port.BytesWaiting(); }
  TPortCount Read(std::uint8_t* buffer, int max) override {
    const TPortCount read = Port.Read(buffer, max);
    const int got = read.Count;
    // The link examines the first frame of what it read: a monitor frame when its kind and
    // check byte are right.
    if (got >= FrameSize && (buffer[0] & 0xF0) == MonitorReplyCommand && FrameCheckOk(buffer) &&
        Recorder.IsRecording())
      Frames.emplace_back(buffer, buffer + 51);
    return read;
  }
  bool Write(const std::uint8_t* data, int count) override { return Port.Write(data, count); }
  bool WaitSent(int ms) override { return Port.WaitSent(ms); }
  void SendUnsent() override { Port.SendUnsent(); }
  void Close() override { Port.Close(); }
  std::vector<std::vector<std::uint8_t>> Frames;

private:
  TPort& Port;
  const TMonitorRecorder& Recorder;
};

QStringList CsvLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray text = file.readAll();
  if (!text.endsWith("\r\n")) return {"<no line end at the end>"};
  QStringList lines = QString::fromUtf8(text).split("\r\n");
  lines.removeLast();
  return lines;
}

int Word(const std::vector<std::uint8_t>& f, int offset) {
  return f[offset] | (f[offset + 1] << 8);
}

// A row of the recording against the frame it stands for, field by field.
QString RowMismatch(const QString& row, const std::vector<std::uint8_t>& f) {
  const QStringList v = row.split(',');
  if (v.size() != 22) return "columns: " + row;
  static const QRegularExpression iso(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)");
  if (!iso.match(v[0]).hasMatch()) return "time: " + v[0];
  const int rpm = f[42] != 0 ? Word(f, 1) : 0;
  const QString volts =
      QString("%1.%2").arg(Word(f, 3) / 1000).arg(Word(f, 3) % 1000, 3, 10, QChar('0'));
  const QStringList values = {
      QString::number(rpm),        QString::number(f[31] - 100), QString::number(f[32]), volts,
      QString::number(Word(f, 5)), QString::number(Word(f, 47)), QString::number(f[50])};
  for (int i = 0; i < values.size(); ++i)
    if (v[1 + i] != values[i])
      return QString("column %1: %2 for %3").arg(1 + i).arg(v[1 + i], values[i]);
  const int flags[] = {29, 30, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 49};
  for (int i = 0; i < 14; ++i)
    if (v[8 + i] != (f[flags[i]] != 0 ? "1" : "0")) return QString("flag at byte %1").arg(flags[i]);
  return {};
}

// While it lives, each number dialog of the curve tools gets the next number typed into its
// field, key by key, and Enter.
class TNumberTyper : public QObject {
public:
  explicit TNumberTyper(const QStringList& numbers) {
    Poll.setInterval(10);
    connect(&Poll, &QTimer::timeout, this, [this, numbers] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isActiveWindow() || Typed >= numbers.size()) return;
      auto* spin = dialog->findChild<QSpinBox*>();
      if (spin == nullptr || !spin->hasFocus()) return;
      Titles << dialog->windowTitle();
      QTest::keyClick(KeyTarget(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(KeyTarget(), numbers[Typed++]);
      QTest::keyClick(KeyTarget(), Qt::Key_Return);
    });
    Poll.start();
  }
  QStringList Titles;

private:
  int Typed = 0;
  QTimer Poll;
};

std::vector<int> AdvancesInUse(const TIgnParams& p) {
  return std::vector<int>(p.Advance, p.Advance + p.PocetBodu);
}

std::vector<int> SpeedsInUse(const TIgnParams& p) {
  std::vector<int> v;
  for (int i = 0; i < p.PocetBodu; ++i) v.push_back(p.RpmAdv[i] * 100);
  return v;
}

void Click(TCurveGraph* graph, int index, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(graph, Qt::LeftButton, modifiers, graph->PointPosition(index).toPoint());
}

QString StatusText(TFormCurve* curve) {
  return curve->StatusBarCurve->currentMessage();
}

// Opens the Points menu with its accelerator and chooses an item by its letter.
void ChooseFromPointsMenu(TFormCurve* curve, Qt::Key letter) {
  Press(curve, QKeySequence(Qt::ALT | Qt::Key_P));
  QTRY_VERIFY(curve->MenuPoints->isVisible());
  QTest::keyClick(KeyTarget(), letter);
}

// Counts the program frames (block 1 sent with its command) that leave for the unit.
class TProgramCounter : public TPort {
public:
  explicit TProgramCounter(TPort& port) : Port(port) {}
  bool IsOpen() const override { return Port.IsOpen(); }
  TPortCount BytesWaiting() override { return Port.BytesWaiting(); }
  TPortCount Read(std::uint8_t* buffer, int max) override { return Port.Read(buffer, max); }
  bool Write(const std::uint8_t* data, int count) override {
    if (count == FrameSize && data[0] == 0x01) ++Programmed;
    return Port.Write(data, count);
  }
  bool WaitSent(int ms) override { return Port.WaitSent(ms); }
  void SendUnsent() override { Port.SendUnsent(); }
  void Close() override { Port.Close(); }
  int Programmed = 0;

private:
  TPort& Port;
};

} // namespace

class TestCurveWindow : public QObject {
  Q_OBJECT

private slots:
  void NothingIsBuiltUntilF6OpensTheWindowBesideTheMainWindow();
  void ADragMovesOnePointInWholeStepsAndUndoTakesItBack();
  void ArrowKeysMoveTheSelectedPointAndAClickOnlySelects();
  void WithProgrammingAfterChangeADragProgramsTheUnitOnce();
  void TheLivePointFollowsTheEngineAndGoesWithItsSignal();
  void FollowsEveryChangeOfTheRecordAndTheLanguage();
  void KeepsItsPlaceInItsOwnSettingsFile();
  void ARecordingHasOneRowPerMonitorFrameOfTheSimulatedUnit();
  void ARecordingOntoAFullDiskStopsWithAMessage();
  void ShiftClickSelectsARangeThatKeysChangeInOneUndoStep();
  void PastedTextBecomesTheCurveAndBadTextChangesNothing();
  void ACurveGoesToACsvFileAndComesBack();
  void OneOperationProgramsTheSimulatedUnitOnce();
};

void TestCurveWindow::NothingIsBuiltUntilF6OpensTheWindowBesideTheMainWindow() {
  TWindow w;
  QCOMPARE(w.Form.FormCurve, nullptr);
  QCOMPARE(w.Form.findChild<QWidget*>("FormCurve"), nullptr);
  // The two new items follow the four of the Tools menu.
  const QList<QAction*> tools = w.Form.MenuTools->actions();
  QVERIFY(tools.size() >= 6);
  QCOMPARE(tools[4]->objectName(), QString("MenuCurve"));
  QCOMPARE(tools[5]->objectName(), QString("MenuRecord"));
  QCOMPARE(w.Form.MenuCurve->shortcut(), QKeySequence(Qt::Key_F6));
  QCOMPARE(w.Form.MenuCurve->text(), QString("Curve &graph"));

  TFormCurve* curve = w.Open();
  QVERIFY(curve != nullptr);
  QVERIFY(curve->isWindow());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  QCOMPARE(curve->windowTitle(), QString("Advance curve"));
  QVERIFY(curve->Graph->hasFocus());
  // Beside the main window where the screen has room for it, else over it, on the screen.
  const QRect main = w.Form.frameGeometry();
  const QRect area = w.Form.screen()->availableGeometry();
  const int room = std::max(area.right() - main.right(), main.left() - area.left());
  QVERIFY(area.contains(QRect(curve->pos(), curve->size())));
  if (room >= 500) QVERIFY(!QRect(curve->pos(), curve->size()).intersects(main));

  // Closing hides it; F6 brings the same window back, also from the curve window itself.
  curve->close();
  QVERIFY(curve->isHidden());
  QCOMPARE(w.Open(), curve);
  Press(curve, QKeySequence(Qt::Key_F6));
  QVERIFY(curve->isVisible());
  // The main window stays usable beside it.
  QVERIFY(w.Form.isEnabled());
}

void TestCurveWindow::ADragMovesOnePointInWholeStepsAndUndoTakesItBack() {
  TWindow w;
  TCurveGraph* graph = w.StartAndOpen();
  QVERIFY(graph != nullptr);
  TFormCurve* curve = w.Form.FormCurve;
  const TIgnParams before = w.Form.Image.Params;

  const QPoint from = graph->PointPosition(2).toPoint();
  const QPoint to = DragEnd(graph, 2, 300, 4, before);
  QTest::mousePress(graph, Qt::LeftButton, {}, from);
  QTest::mouseMove(graph, (from + to) / 2);
  QTest::mouseMove(graph, to);
  QVERIFY(graph->Dragging());
  QVERIFY2(SameParams(w.Form.Image.Params, before), "the record waits for the release");
  QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
  QVERIFY(!graph->Dragging());

  const TIgnParams after = Moved(before, 2, 3, 4);
  QVERIFY(SameParams(w.Form.Image.Params, after));
  QCOMPARE(w.Form.RpmUpDowns[2]->Position(), 3300);
  QCOMPARE(w.Form.AdvanceUpDowns[2]->Position(), 30);
  // One step in the history: one undo reaches the start.
  QVERIFY(w.Form.History.CanUndo());
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, before));
  QVERIFY(!w.Form.History.CanUndo());
  QCOMPARE(w.Form.RpmUpDowns[2]->Position(), 3000);

  // Past its neighbour: the change path pushes the next points up, as a spinner click does.
  Drag(graph, graph->PointPosition(1).toPoint(), DragEnd(graph, 1, 1500, 0, before));
  QCOMPARE(int(w.Form.Image.Params.RpmAdv[1]), 35);
  QCOMPARE(int(w.Form.Image.Params.RpmAdv[2]), 36);
  QCOMPARE(int(w.Form.Image.Params.RpmAdv[3]), 40);
  // Far beyond the ranges: the spinners' ends.
  Drag(graph, graph->PointPosition(4).toPoint(),
       graph->PointPosition(4).toPoint() + QPoint(0, -2000));
  QCOMPARE(int(w.Form.Image.Params.Advance[4]), 60);
  // Escape lets a held point go back.
  const TIgnParams held = w.Form.Image.Params;
  const QPoint start = graph->PointPosition(0).toPoint();
  QTest::mousePress(graph, Qt::LeftButton, {}, start);
  QTest::mouseMove(graph, start + QPoint(40, -40));
  QTest::keyClick(graph, Qt::Key_Escape);
  QVERIFY(curve->isVisible()); // the Escape was the drag's, not the window's
  QTest::mouseRelease(graph, Qt::LeftButton, {}, start + QPoint(40, -40));
  QVERIFY(SameParams(w.Form.Image.Params, held));
  // Without a held point Escape closes the window.
  Press(curve, QKeySequence(Qt::Key_Escape));
  QVERIFY(curve->isHidden());
}

void TestCurveWindow::ArrowKeysMoveTheSelectedPointAndAClickOnlySelects() {
  TWindow w;
  TCurveGraph* graph = w.StartAndOpen();
  QVERIFY(graph != nullptr);
  TFormCurve* curve = w.Form.FormCurve;
  const TIgnParams before = w.Form.Image.Params;

  QTest::mouseClick(graph, Qt::LeftButton, {}, graph->PointPosition(1).toPoint());
  QCOMPARE(graph->SelectedPoint(), 1);
  QVERIFY(SameParams(w.Form.Image.Params, before));
  QVERIFY(!w.Form.History.CanUndo());

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  QVERIFY(SameParams(w.Form.Image.Params, Moved(before, 1, 1, 2)));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
  QCOMPARE(graph->SelectedPoint(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QVERIFY(SameParams(w.Form.Image.Params, Moved(Moved(before, 1, 1, 2), 2, -1, -1)));
  // One history step per key.
  for (int i = 0; i < 5; ++i) Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, before));
  QVERIFY(!w.Form.History.CanUndo());
}

void TestCurveWindow::WithProgrammingAfterChangeADragProgramsTheUnitOnce() {
  TWindow w;
  w.Start();
  QTest::mouseClick(w.Form.CheckBoxProgHned, Qt::LeftButton);
  QVERIFY(w.Form.CheckBoxProgHned->isChecked());
  QVERIFY(w.AwaitIdle());
  QTest::qWait(300);
  const int programmed = w.Port.Unit.ProgrammingCount();
  TFormCurve* curve = w.Open();
  QVERIFY(curve != nullptr);
  const TIgnParams before = w.Form.Image.Params;
  Drag(w.Graph(), w.Graph()->PointPosition(3).toPoint(), DragEnd(w.Graph(), 3, 0, -5, before));
  QCOMPARE(w.Form.Link.TransferMode, tmProgram);
  QVERIFY(w.AwaitIdle());
  QTest::qWait(500);
  QCOMPARE(int(w.Port.Unit.ProgrammingCount()), programmed + 1);
  QCOMPARE(int(w.Port.Unit.Params().Advance[3]), 27);
}

void TestCurveWindow::TheLivePointFollowsTheEngineAndGoesWithItsSignal() {
  TWindow w;
  w.Start();
  TFormCurve* curve = w.Open();
  QVERIFY(curve != nullptr);
  TCurveGraph* graph = w.Graph();
  QVERIFY(w.NextFrame());

  // The simulated engine runs up from idle towards the limiter (its start limiter holds it
  // from the fifth second): the live point goes along, at the speed and advance of each frame.
  double lastX = -1;
  for (int i = 0; i < 4; ++i) {
    w.Port.Unit.Advance(1.2);
    QVERIFY(w.NextFrame());
    QVERIFY(w.NextFrame()); // one sent after the engine moved
    const TMonitorSample& live = *w.Form.MonitorRing.Newest();
    QCOMPARE(live.Rpm, w.Form.Link.LiveRpm);
    QCOMPARE(int(live.Rpm), w.Port.Unit.Rpm());
    const std::optional<QPointF> at = graph->LivePoint();
    QVERIFY(at.has_value());
    const TCurveScale scale = graph->Scale();
    QVERIFY(std::abs(at->x() - scale.X(live.Rpm)) < 0.01);
    QVERIFY(std::abs(at->y() - scale.Y(live.Advance)) < 0.01);
    QVERIFY2(at->x() > lastX + 10, "it moves up the speed axis");
    lastX = at->x();
    // And it is drawn there.
    const QImage image = graph->grab().toImage();
    QCOMPARE(image.pixelColor(at->toPoint()), TCurveGraph::LiveColour);
  }

  // No pick-up signal: no live point.
  w.Port.EditMonitor = [](TLinkFrame& frame) { frame[42] = 0; };
  QVERIFY(w.NextFrame());
  QVERIFY(!graph->LivePoint().has_value());
  w.Port.EditMonitor = nullptr;
  QVERIFY(w.NextFrame());
  QVERIFY(graph->LivePoint().has_value());

  // The unit stops answering: with the connection indicator the point goes, and the graph is
  // drawn again without it.
  w.Form.Link.SetPort(nullptr);
  const int paints = graph->Paints();
  QTRY_VERIFY_WITH_TIMEOUT(!w.Form.LabelSpojeni->isHidden(), 3000);
  QVERIFY(!graph->LivePoint().has_value());
  QTRY_VERIFY(graph->Paints() > paints);
}

void TestCurveWindow::FollowsEveryChangeOfTheRecordAndTheLanguage() {
  TWindow w(false);
  w.Start();
  TFormCurve* curve = w.Open();
  QVERIFY(curve != nullptr);
  TCurveGraph* graph = w.Graph();

  // A spinner click in the main window moves the point on the graph at once.
  const QPointF was = graph->PointPosition(4);
  int paints = graph->Paints();
  auto* up = w.Form.AdvanceUpDowns[4]->findChildren<QToolButton*>().value(0);
  QVERIFY(up != nullptr && up->arrowType() == Qt::UpArrow);
  QTest::mouseClick(up, Qt::LeftButton);
  QCOMPARE(int(w.Form.Image.Params.Advance[4]), 35);
  QVERIFY(graph->PointPosition(4).y() < was.y());
  QTRY_VERIFY(graph->Paints() > paints);
  // Undo in the main window, too.
  paints = graph->Paints();
  Press(&w.Form, QKeySequence("Ctrl+Z"));
  QCOMPARE(graph->PointPosition(4), was);
  QTRY_VERIFY(graph->Paints() > paints);

  // New, Open and Read lay another record over the screen, and the graph is drawn again with
  // no monitor frame to prompt it (the connection indicator already up and steady).
  QTRY_VERIFY_WITH_TIMEOUT(!w.Form.LabelSpojeni->isHidden(), 3000);
  const auto redrawnBy = [&](const QKeySequence& key) {
    QTest::qWait(100);
    const int before = graph->Paints();
    Press(&w.Form, key);
    return QTest::qWaitFor([&] { return graph->Paints() > before; }, 1000);
  };
  QVERIFY(redrawnBy(QKeySequence("Ctrl+N")));
  QCOMPARE(int(w.Form.Image.Params.PocetBodu), 2);
  TIgnParams opened = w.Form.Image.Params;
  opened.PocetBodu = 4;
  opened.Advance[2] = 44;
  {
    std::ostringstream text(std::ios::binary);
    WriteIgnFile(text, opened);
    w.Home.Write("opened.ign", QByteArray::fromStdString(text.str()));
    TFileDialogAnswerer dialog(w.Home.File("opened.ign"));
    QVERIFY(redrawnBy(QKeySequence(Qt::Key_F3)));
  }
  QVERIFY(SameParams(w.Form.Image.Params, opened));
  // Read from the unit: its curve is on the graph when the transfer ends.
  TIgnParams unit = opened;
  unit.Advance[1] = 7;
  w.Port.Unit.SetBlock1(reinterpret_cast<const std::uint8_t*>(&unit));
  w.Form.Link.SetPort(&w.Port);
  Press(&w.Form, QKeySequence(Qt::Key_F7));
  QCOMPARE(w.Form.Link.TransferMode, tmRead);
  QVERIFY(w.AwaitIdle());
  QVERIFY(SameParams(w.Form.Image.Params, unit));
  const TCurveScale scale = graph->Scale();
  QCOMPARE(graph->PointPosition(1), QPointF(scale.X(unit.RpmAdv[1] * 100.0), scale.Y(7)));
  w.Form.Link.SetPort(nullptr);

  // The start limiter's mark only while an input is in that mode.
  const TIgnParams& p = w.Form.Image.Params;
  const auto startLimiterPixels = [&] {
    const int x = qRound(graph->Scale().X(p.Omez1 * 100.0));
    const TPlotArea a = graph->Scale().Area();
    const QImage image = graph->grab().toImage();
    int most = 0;
    for (int dx = -1; dx <= 1; ++dx)
      most =
          std::max(most, MagentaOnColumn(image, x + dx, int(a.Top) + 120, int(a.Top + a.Height)));
    return most;
  };
  w.Form.findChild<QRadioButton*>("RadioGroupInput1_0")->click();
  QCOMPARE(startLimiterPixels(), 0);
  w.Form.findChild<QRadioButton*>("RadioGroupInput1_4")->click();
  QVERIFY(startLimiterPixels() > 50);
  w.Form.findChild<QRadioButton*>("RadioGroupInput1_0")->click();
  QCOMPARE(startLimiterPixels(), 0);

  // A language from the menu: the window speaks it at once.
  w.Form.MenuCzech->trigger();
  QCOMPARE(curve->windowTitle(), Text(TCurveText::WindowTitle, LangCzech));
  QCOMPARE(curve->ButtonRecord->text(), Text(TCurveText::Record, LangCzech));
  QCOMPARE(curve->LabelCurveHint->text(), Text(TCurveText::EditHint, LangCzech));
  QCOMPARE(w.Form.MenuCurve->text(), QString::fromUtf8("&Graf křivky"));
  w.Form.MenuEnglish->trigger();
  QCOMPARE(curve->windowTitle(), QString("Advance curve"));
}

void TestCurveWindow::KeepsItsPlaceInItsOwnSettingsFile() {
  TTestHome home;
  TModalAnswerer answerer;
  QRect kept;
  {
    TFormHlav form(QStringList{});
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.MenuCurve->trigger();
    QVERIFY(form.FormCurve != nullptr && QTest::qWaitForWindowExposed(form.FormCurve));
    form.FormCurve->resize(700, 600);
    form.FormCurve->move(40, 60);
    kept = QRect(form.FormCurve->pos(), form.FormCurve->size());
    form.close();
  }
  const TProfileFile extra(ExtraSettingsPath());
  QCOMPARE(extra.ReadInteger("CURVE_WINDOW", "Left", -1), kept.x());
  QCOMPARE(extra.ReadInteger("CURVE_WINDOW", "Top", -1), kept.y());
  QCOMPARE(extra.ReadInteger("CURVE_WINDOW", "Width", -1), 700);
  QCOMPARE(extra.ReadInteger("CURVE_WINDOW", "Height", -1), 600);
  // vantel.ini keeps exactly its nine keys.
  QFile ini(home.File("vantel.ini"));
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromLatin1(ini.readAll()).count('='), 9);

  TFormHlav again(QStringList{});
  again.show();
  QVERIFY(QTest::qWaitForWindowActive(&again));
  again.MenuCurve->trigger();
  QVERIFY(again.FormCurve != nullptr);
  QCOMPARE(QRect(again.FormCurve->pos(), again.FormCurve->size()), kept);
  again.close();
}

void TestCurveWindow::ARecordingHasOneRowPerMonitorFrameOfTheSimulatedUnit() {
  TTestHome home;
  TSimProcess sim;
  QVERIFY2(sim.Start(), "vantel-sim did not start");
  qputenv("VANTEL_COM1", sim.Path.c_str());
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  TTapPort tap(form.ComHandle, form.Recorder);
  form.Link.SetPort(&tap);
  Press(&form, QKeySequence(Qt::Key_F6));
  QVERIFY(form.FormCurve != nullptr && QTest::qWaitForWindowExposed(form.FormCurve));
  const QString path = home.File("live.csv");
  {
    TFileDialogAnswerer dialog(path);
    QTest::mouseClick(form.FormCurve->ButtonRecord, Qt::LeftButton);
  }
  QVERIFY(form.Recorder.IsRecording());
  QVERIFY(form.MenuRecord->isChecked());
  QCOMPARE(form.FormCurve->ButtonRecord->text(), Text(TCurveText::StopRecording));
  QTest::qWait(1500);
  // Rows are in the file while the recording goes on.
  QCOMPARE(CsvLines(path).size(), 1 + int(tap.Frames.size()));
  QVERIFY(form.findChild<QLabel*>("LabelRecording")->text().startsWith("Recording, rows: "));
  QTest::qWait(8500);
  QTest::mouseClick(form.FormCurve->ButtonRecord, Qt::LeftButton);
  QVERIFY(!form.Recorder.IsRecording());
  QVERIFY(!form.MenuRecord->isChecked());
  form.Link.SetPort(&form.ComHandle);

  const QStringList lines = CsvLines(path);
  QVERIFY(!lines.isEmpty());
  QCOMPARE(lines[0] + "\r\n", QString(MonitorCsvHeader()));
  // About three frames a second for ten seconds, each one row with its values.
  QVERIFY2(tap.Frames.size() >= 25, qPrintable(QString::number(tap.Frames.size())));
  QCOMPARE(lines.size() - 1, int(tap.Frames.size()));
  QCOMPARE(long(tap.Frames.size()), form.Recorder.Rows());
  for (int i = 1; i < lines.size(); ++i) {
    const QString mismatch = RowMismatch(lines[i], tap.Frames[i - 1]);
    QVERIFY2(mismatch.isEmpty(), qPrintable(QString("row %1: %2").arg(i).arg(mismatch)));
    if (i > 1) QVERIFY2(lines[i].left(23) > lines[i - 1].left(23), "times rise");
  }
  form.close();
}

void TestCurveWindow::ARecordingOntoAFullDiskStopsWithAMessage() {
  TWindow w;
  w.Form.MenuGerman->trigger();
  TFormCurve* curve = w.Open();
  QVERIFY(curve != nullptr);
  const QString path = w.Home.File("live.csv");
  {
    TFileDialogAnswerer dialog(path);
    QTest::mouseClick(curve->ButtonRecord, Qt::LeftButton);
  }
  QVERIFY(w.Form.Recorder.IsRecording());
  w.Answerer.Texts.clear();
  // Room for the header and a few rows.
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{rlim_t(QFileInfo(path).size() + 300), limit.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  QElapsedTimer t;
  t.start();
  while (w.Form.Recorder.IsRecording() && t.elapsed() < 10000) QTest::qWait(20);
  setrlimit(RLIMIT_FSIZE, &limit);
  QVERIFY(!w.Form.Recorder.IsRecording());
  QTRY_COMPARE(w.Answerer.Texts.size(), 1);
  QCOMPARE(w.Answerer.Texts[0], Text(TCurveText::RecordStopped, LangGerman) + "\n" + path +
                                    QString::fromUtf8(": Schreiben nicht möglich: ") +
                                    QString(strerror(EFBIG)));
  QCOMPARE(curve->ButtonRecord->text(), Text(TCurveText::Record, LangGerman));
  QVERIFY(!w.Form.MenuRecord->isChecked());
  QVERIFY(w.Form.findChild<QLabel*>("LabelRecording")->isHidden());
  // Every row written so far is whole and readable.
  const QStringList lines = CsvLines(path);
  QVERIFY(w.Form.Recorder.Rows() >= 2);
  QCOMPARE(lines.size() - 1, int(w.Form.Recorder.Rows()));
  QVERIFY(QFileInfo(path).size() <= qint64(small.rlim_cur));
  for (int i = 1; i < lines.size(); ++i) QCOMPARE(lines[i].split(',').size(), 22);
}

void TestCurveWindow::ShiftClickSelectsARangeThatKeysChangeInOneUndoStep() {
  TWindow w;
  w.Form.MenuEnglish->trigger();
  TCurveGraph* graph = w.StartAndOpen();
  QVERIFY(graph != nullptr);
  TFormCurve* curve = w.Form.FormCurve;
  const TIgnParams start = w.Form.Image.Params;

  Click(graph, 1);
  Click(graph, 3, Qt::ShiftModifier);
  QCOMPARE(graph->SelectedPoints(), TCurveSelection::Range(1, 3));
  Click(graph, 0, Qt::ControlModifier);
  QCOMPARE(graph->SelectedPoints(), TCurveSelection::Range(0, 3));
  Click(graph, 2, Qt::ControlModifier);
  QVERIFY(!graph->SelectedPoints().Has(2));
  Click(graph, 2, Qt::ControlModifier);
  QVERIFY2(SameParams(w.Form.Image.Params, start), "selecting changes nothing");
  QVERIFY(!w.Form.History.CanUndo());

  // The selection is drawn in the selection colour around each of its points.
  QImage shot = graph->grab().toImage();
  const auto ringed = [&](int index) {
    const QPoint at = graph->PointPosition(index).toPoint() * shot.devicePixelRatio();
    for (int dx = -9; dx <= 9; ++dx)
      if (shot.pixelColor(at + QPoint(dx, 0)) == graph->SelectionColour()) return true;
    return false;
  };
  QVERIFY(ringed(0) && ringed(3));
  QVERIFY(!ringed(4));

  // An arrow key moves the four together, one step of the history.
  QTest::keyClick(KeyTarget(), Qt::Key_Up);
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{11, 19, 27, 33, 34}));
  QCOMPARE(w.Form.AdvanceUpDowns[3]->Position(), 33);
  const TIgnParams raised = w.Form.Image.Params;

  // Ctrl+D asks for the degrees; the limit holds point 4 and the status bar names it.
  {
    TNumberTyper typer({"30"});
    Press(curve, QKeySequence("Ctrl+D"));
    QCOMPARE(typer.Titles, QStringList{"Add degrees"});
  }
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{41, 49, 57, 60, 34}));
  QVERIFY2(StatusText(curve).contains("points 4."), qPrintable(StatusText(curve)));

  // One Undo takes each operation back whole.
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, raised));
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, start));
  QVERIFY(!w.Form.History.CanUndo());

  // Interpolate and smooth by key; too few points say why and change nothing.
  Press(curve, QKeySequence("Ctrl+A"));
  Press(curve, QKeySequence("Ctrl+I"));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{10, 16, 22, 28, 34}));
  Click(graph, 1);
  Press(curve, QKeySequence("Ctrl+M"));
  QCOMPARE(StatusText(curve), Text(TCurveText::NeedThreePoints));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{10, 16, 22, 28, 34}));

  // Insert halfway before point 2, then remove points 2 and 3 again.
  Press(curve, QKeySequence(Qt::Key_Insert));
  QCOMPARE(SpeedsInUse(w.Form.Image.Params),
           (std::vector<int>{1000, 1500, 2000, 3000, 4000, 5000}));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{10, 13, 16, 22, 28, 34}));
  QCOMPARE(w.Form.UpDownPocetBodu->Position(), 6);
  Click(graph, 2, Qt::ShiftModifier);
  Press(curve, QKeySequence(Qt::Key_Delete));
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), (std::vector<int>{1000, 3000, 4000, 5000}));
  // Every point selected: one has to stay.
  const TIgnParams four = w.Form.Image.Params;
  Press(curve, QKeySequence("Ctrl+A"));
  QCOMPARE(graph->SelectedPoints(), TCurveSelection::All(4));
  Press(curve, QKeySequence(Qt::Key_Delete));
  QCOMPARE(StatusText(curve), Text(TCurveText::LastPointStays));
  QVERIFY(SameParams(w.Form.Image.Params, four));

  // Dragging one of the selected points takes the others along, as one change.
  Drag(graph, graph->PointPosition(1).toPoint(), DragEnd(graph, 1, 0, 2, four));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{12, 24, 30, 36}));
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), SpeedsInUse(four));
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, four));
  // A click without a modifier selects that point alone again.
  Click(graph, 2);
  QCOMPARE(graph->SelectedPoints(), TCurveSelection::Point(2));

  // The right mouse button on another point selects it and offers the same menu.
  // Through the window, as the platform delivers it, so the toolkit makes the menu event.
  QTest::mouseClick(curve->windowHandle(), Qt::RightButton, {},
                    graph->mapTo(curve, graph->PointPosition(3).toPoint()));
  QTRY_VERIFY(curve->MenuPoints->isVisible());
  QCOMPARE(graph->SelectedPoints(), TCurveSelection::Point(3));
  QTest::keyClick(KeyTarget(), Qt::Key_N); // Insert point
  QTRY_COMPARE(SpeedsInUse(w.Form.Image.Params), (std::vector<int>{1000, 3000, 4000, 4500, 5000}));
}

void TestCurveWindow::PastedTextBecomesTheCurveAndBadTextChangesNothing() {
  TWindow w;
  w.Form.MenuEnglish->trigger();
  TCurveGraph* graph = w.StartAndOpen();
  QVERIFY(graph != nullptr);
  TFormCurve* curve = w.Form.FormCurve;
  const TIgnParams start = w.Form.Image.Params;

  // Ctrl+C: the points in use, a line each, speed and advance apart by a tab.
  Press(curve, QKeySequence("Ctrl+C"));
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QString("1000\t10\n2000\t18\n3000\t26\n4000\t32\n5000\t34\n"));

  // A spreadsheet's German columns; the third speed is pushed above the second.
  QGuiApplication::clipboard()->setText("Drehzahl;Vorzündung\n1.000;8\n2.500;12,5\n2.400;14\n");
  Press(curve, QKeySequence("Ctrl+V"));
  QCOMPARE(int(w.Form.Image.Params.PocetBodu), 3);
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), (std::vector<int>{1000, 2500, 2600}));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), (std::vector<int>{8, 13, 14}));
  QCOMPARE(w.Form.RpmUpDowns[2]->Position(), 2600);
  QVERIFY(w.Form.RpmEdits[2]->isVisible() && !w.Form.RpmEdits[3]->isVisible());
  QVERIFY2(StatusText(curve).contains("points 3."), qPrintable(StatusText(curve)));
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, start));
  QVERIFY(!w.Form.History.CanUndo());

  // Text that is no curve: the box says why with the first bad line, nothing changes.
  QString sixteen;
  for (int i = 1; i <= 16; ++i) sixteen += QString("%1\t10\n").arg(i * 1000);
  const struct {
    QString Text, Why;
  } bad[] = {
      {"1000\t10\n2000\n", "Line 2 holds one value only; each line needs a speed and an advance."},
      {"1000;10\n2000;10\n\n3000;x10", "Line 4: a value is not a number."},
      {"1000 10 5", "Line 1 holds more than two values; each line needs a speed and an advance."},
      {sixteen, "Line 16 would be a 16th point; a curve has at most 15."},
      {"", "There is no line with a speed and an advance."},
  };
  for (const auto& b : bad) {
    w.Answerer.Texts.clear();
    QGuiApplication::clipboard()->setText(b.Text);
    Press(curve, QKeySequence("Ctrl+V"));
    QTRY_COMPARE(w.Answerer.Texts.size(), 1);
    QCOMPARE(w.Answerer.Texts[0], Text(TCurveText::PasteRefused) + "\n" + b.Why);
    QVERIFY(SameParams(w.Form.Image.Params, start));
    QVERIFY(!w.Form.History.CanUndo());
  }
  // In the user's language.
  w.Form.MenuGerman->trigger();
  w.Answerer.Texts.clear();
  QGuiApplication::clipboard()->setText("1000\n");
  Press(curve, QKeySequence("Ctrl+V"));
  QTRY_COMPARE(w.Answerer.Texts.size(), 1);
  QCOMPARE(w.Answerer.Texts[0],
           Text(TCurveText::PasteRefused, LangGerman) + "\n" +
               QString::fromUtf8("Zeile 1 enthält nur einen Wert; jede Zeile braucht Drehzahl und "
                                 "Vorzündung."));
}

void TestCurveWindow::ACurveGoesToACsvFileAndComesBack() {
  TWindow w;
  w.Form.MenuEnglish->trigger();
  TCurveGraph* graph = w.StartAndOpen();
  QVERIFY(graph != nullptr);
  TFormCurve* curve = w.Form.FormCurve;
  const TIgnParams start = w.Form.Image.Params;

  const QString path = w.Home.File("curve.csv");
  {
    TFileDialogAnswerer dialog(path);
    ChooseFromPointsMenu(curve, Qt::Key_E);
    QTRY_COMPARE(dialog.Proposed.size(), 1);
  }
  QCOMPARE(FileBytes(path), QByteArray("rpm,advance\r\n1000,10\r\n2000,18\r\n3000,26\r\n"
                                       "4000,32\r\n5000,34\r\n"));
  QCOMPARE(StatusText(curve), QString("Curve written to curve.csv."));

  Press(curve, QKeySequence("Ctrl+A"));
  {
    TNumberTyper typer({"150"});
    Press(curve, QKeySequence("Ctrl+K"));
  }
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), (std::vector<int>{1500, 3000, 4500, 6000, 7500}));
  {
    TFileDialogAnswerer dialog(path);
    ChooseFromPointsMenu(curve, Qt::Key_O);
    QTRY_COMPARE(dialog.Proposed.size(), 1);
  }
  // The curve in use as it was; the hidden points stay where the scaling pushed them.
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), SpeedsInUse(start));
  QCOMPARE(AdvancesInUse(w.Form.Image.Params), AdvancesInUse(start));
  // Both operations are in the history, each one step.
  Press(curve, QKeySequence("Ctrl+Z"));
  QCOMPARE(SpeedsInUse(w.Form.Image.Params), (std::vector<int>{1500, 3000, 4500, 6000, 7500}));
  Press(curve, QKeySequence("Ctrl+Z"));
  QVERIFY(SameParams(w.Form.Image.Params, start));

  // A file that is no curve: nothing changes and the box names the line.
  const QString bad = w.Home.File("bad.csv");
  QFile file(bad);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("rpm,advance\r\n1000,10\r\n2000,ten\r\n");
  file.close();
  w.Answerer.Texts.clear();
  {
    TFileDialogAnswerer dialog(bad);
    ChooseFromPointsMenu(curve, Qt::Key_O);
    QTRY_COMPARE(dialog.Proposed.size(), 1);
  }
  QTRY_COMPARE(w.Answerer.Texts.size(), 1);
  QCOMPARE(w.Answerer.Texts[0],
           Text(TCurveText::ImportRefused) + "\nLine 3: a value is not a number.");
  QVERIFY(SameParams(w.Form.Image.Params, start));
  QVERIFY(!w.Form.History.CanUndo());
}

void TestCurveWindow::OneOperationProgramsTheSimulatedUnitOnce() {
  TTestHome home;
  TSimProcess sim;
  QVERIFY2(sim.Start(), "vantel-sim did not start");
  qputenv("VANTEL_COM1", sim.Path.c_str());
  TModalAnswerer answerer;
  TFormHlav form(QStringList{});
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  TProgramCounter counter(form.ComHandle);
  form.Link.SetPort(&counter);
  const auto awaitIdle = [&form] {
    QTest::qWait(300);
    QTRY_VERIFY_WITH_TIMEOUT(form.Link.TransferMode == tmIdle, 5000);
  };
  QTest::mouseClick(form.CheckBoxProgHned, Qt::LeftButton);
  QVERIFY(form.CheckBoxProgHned->isChecked());
  awaitIdle();
  const int programmed = counter.Programmed;
  Press(&form, QKeySequence(Qt::Key_F6));
  QVERIFY(form.FormCurve != nullptr && QTest::qWaitForWindowActive(form.FormCurve));
  QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(form.FormCurve));

  // All points a degree up: one change, one programming.
  Press(form.FormCurve, QKeySequence("Ctrl+A"));
  QTest::keyClick(KeyTarget(), Qt::Key_Up);
  QCOMPARE(form.Link.TransferMode, tmProgram);
  awaitIdle();
  QTest::qWait(500);
  QCOMPARE(counter.Programmed, programmed + 1);
  QVERIFY2(!form.LabelHlaseni->text().contains("error"), qPrintable(form.LabelHlaseni->text()));
  form.Link.SetPort(&form.ComHandle);
  form.close();
}

QTEST_MAIN(TestCurveWindow)
#include "test_curve_window.moc"
