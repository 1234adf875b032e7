#include "app/FormCurve.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>

#include "app/Hlav.h"
#include "files/Profile.h"
#include "i18n/CurveTexts.h"
#include "app/FormCurveGraph.h"
#include "ui/WindowPlace.h"

namespace {

const std::string Section = "CURVE_WINDOW";
constexpr int DefaultWidth = 760, DefaultHeight = 660;
constexpr int MinimumWidth = 500; // a graph narrower than this is better over the main window

QString Text(TCurveText key) {
  return QString::fromUtf8(CurveText(key, CurrentLanguage));
}

QRect AvailableArea(const QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace

TFormCurve::TFormCurve(TFormHlav& form) : QWidget(&form, Qt::Window), Form(form) {
  setObjectName("FormCurve");
  Graph = new TCurveGraph(form, this);
  Graph->setObjectName("CurveGraph");
  StripChart = new TStripChart(form, this);
  StripChart->setObjectName("StripChart");
  LabelCurveHint = new QLabel(this);
  LabelCurveHint->setObjectName("LabelCurveHint");
  LabelCurveHint->setWordWrap(true);
  ButtonRecord = new QPushButton(this);
  ButtonRecord->setObjectName("ButtonRecord");
  LabelRecord = new QLabel(this);
  LabelRecord->setObjectName("LabelRecord");
  LabelRecord->setTextFormat(Qt::PlainText);
  // The row count changes with every frame; the window's layout need not follow it.
  LabelRecord->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(ButtonRecord);
  bottom->addWidget(LabelRecord, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(Graph, 3);
  layout->addWidget(StripChart, 2);
  layout->addWidget(LabelCurveHint);
  layout->addLayout(bottom);
  connect(ButtonRecord, &QPushButton::clicked, this, [this] { Form.MenuRecordClick(); });

  // The main window's keys work here too: undo a drag, step the advance, program, record,
  // print the tune sheet.
  addActions({Form.MenuZpet, Form.MenuZnovu, Form.MenuAdvanceMinus, Form.MenuAdvancePlus,
              Form.MenuRead, Form.MenuVerify, Form.MenuProgram, Form.MenuCurve, Form.MenuRecord,
              Form.MenuTuneSheet});

  resize(DefaultWidth, DefaultHeight);
  ApplyTexts();
  Graph->setFocus();
}

void TFormCurve::RecordChanged() {
  Graph->update();
  StripChart->update();
}

void TFormCurve::MonitorFrameArrived() {
  Graph->update();
  StripChart->update();
  StripTicks = 0;
}

void TFormCurve::Tick() {
  const bool connection = Form.Link.ConnectionVisible();
  if (connection != ShownConnection || Form.NoActivePoint != ShownNoActivePoint ||
      Form.ActivePoint != ShownActivePoint) {
    ShownConnection = connection;
    ShownNoActivePoint = Form.NoActivePoint;
    ShownActivePoint = Form.ActivePoint;
    Graph->update();
  }
  // Without frames the chart still moves on, so a gap shows as a gap.
  if (++StripTicks >= MonitorTicks) {
    StripTicks = 0;
    StripChart->update();
  }
}

void TFormCurve::ApplyTexts() {
  setWindowTitle(Text(TCurveText::WindowTitle));
  LabelCurveHint->setText(Text(TCurveText::EditHint));
  RecordingChanged();
  RecordChanged();
}

void TFormCurve::RecordingChanged() {
  const TMonitorRecorder& recorder = Form.Recorder;
  ButtonRecord->setText(
      Text(recorder.IsRecording() ? TCurveText::StopRecording : TCurveText::Record));
  if (!recorder.IsRecording()) {
    LabelRecord->setText(Text(TCurveText::NotRecording));
    LabelRecord->setStyleSheet(QString());
    return;
  }
  const QString file = QFileInfo(QFile::decodeName(recorder.Path().c_str())).fileName();
  LabelRecord->setText(QString::asprintf(CurveText(TCurveText::RecordingTo, CurrentLanguage),
                                         file.toUtf8().constData(), recorder.Rows()));
  LabelRecord->setStyleSheet("color: rgb(200, 0, 0)");
}

void TFormCurve::RestorePlace(const TProfileFile& settings) {
  const int left = settings.ReadInteger(Section, "Left", 0);
  const int top = settings.ReadInteger(Section, "Top", 0);
  const int width = settings.ReadInteger(Section, "Width", 0);
  const int height = settings.ReadInteger(Section, "Height", 0);
  const QRect kept(left, top, width, height);
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(kept)) onScreen = true;
  if (width <= 0 || height <= 0 || !onScreen) {
    PlaceBesideMainWindow();
    return;
  }
  const QRect area = AvailableArea(this);
  const TBox limited =
      LimitSize({left, top, width, height}, {area.x(), area.y(), area.width(), area.height()});
  resize(std::max(limited.Width, minimumSizeHint().width()),
         std::max(limited.Height, minimumSizeHint().height()));
  move(left, top);
}

void TFormCurve::KeepPlace(TProfileFile& settings) const {
  settings.WriteInteger(Section, "Left", x());
  settings.WriteInteger(Section, "Top", y());
  settings.WriteInteger(Section, "Width", width());
  settings.WriteInteger(Section, "Height", height());
}

void TFormCurve::PlaceBesideMainWindow() {
  const QRect area = AvailableArea(&Form);
  const QRect main = Form.frameGeometry();
  const int height = std::min(DefaultHeight, area.height());
  // On the side of the main window with more room, as wide as that room allows; where
  // neither side has room for a usable graph, over the main window at the screen's edge.
  const int roomRight = area.right() - main.right();
  const int roomLeft = main.left() - area.left();
  const int room = std::max(roomRight, roomLeft);
  const int width = std::min(DefaultWidth, room >= MinimumWidth ? room : area.width());
  int left = area.right() + 1 - width;
  if (room >= MinimumWidth) left = roomRight >= roomLeft ? main.right() + 1 : main.left() - width;
  resize(std::max(width, minimumSizeHint().width()), std::max(height, minimumSizeHint().height()));
  const int top =
      std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() + 1 - height));
  move(left, top);
}

void TFormCurve::closeEvent(QCloseEvent* event) {
  KeepPlace(Form.ExtraSettings());
  event->accept();
}
