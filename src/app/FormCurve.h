// The curve window: the advance curve as a graph with the live engine on it, the strip chart
// of the last minute and the recording of live values. Non-modal, built on first use and
// kept, hidden, when closed; it reads the main window's state, which owns everything.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TCurveGraph;
class TFormHlav;
class TStripChart;

class TFormCurve : public QWidget {
public:
  explicit TFormCurve(TFormHlav& form);

  // The record or the control rules changed: the curve is drawn again.
  void RecordChanged();
  // A monitor frame was accepted: the live point and the strip chart move on.
  void MonitorFrameArrived();
  // Once per tick while shown: redraws what the tick itself changed (the connection
  // indicator, the point in use) and moves the strip chart on about three times a second.
  void Tick();
  void ApplyTexts();
  void RecordingChanged();

  TCurveGraph* Graph = nullptr;
  TStripChart* StripChart = nullptr;
  QPushButton* ButtonRecord = nullptr;
  QLabel* LabelRecord = nullptr;
  QLabel* LabelCurveHint = nullptr;

private:
  TFormHlav& Form;
  // What the graph last showed of the tick's own state.
  bool ShownConnection = false;
  bool ShownNoActivePoint = true;
  int ShownActivePoint = 0;
  int StripTicks = 0;
};
