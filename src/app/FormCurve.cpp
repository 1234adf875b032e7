#include "app/FormCurve.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

#include "app/Hlav.h"
#include "i18n/CurveTexts.h"
#include "app/FormCurveGraph.h"

namespace {

constexpr int DefaultWidth = 760, DefaultHeight = 660;

QString Text(TCurveText key) {
  return QString::fromUtf8(CurveText(key, CurrentLanguage));
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
  // Red that reads on the window's background, light or dark.
  const QColor background = palette().color(QPalette::Window);
  const QColor dark(200, 0, 0), light(255, 130, 130);
  const QColor red = ContrastRatio(RgbOf(dark), RgbOf(background)) >=
                             ContrastRatio(RgbOf(light), RgbOf(background))
                         ? dark
                         : light;
  LabelRecord->setStyleSheet(QString("color: %1").arg(red.name()));
}
