// The curve window: the advance curve as a graph with the live engine on it, the strip chart
// of the last minute and the recording of live values. Non-modal, built on first use and
// kept, hidden, when closed; it reads the main window's state, which owns everything.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

#include "model/CurveTools.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class TCurveGraph;
class TFormHlav;
class TStripChart;
enum class TCurveText : std::uint8_t;

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

  // ---- the curve tools: each one change of the record, named in the status bar ----
  void SelectAllPoints();
  void CopyCurve();
  void PasteCurve();
  void AddDegreesClick();
  void SetDegreesClick();
  void InterpolateClick();
  void SmoothClick();
  void ScaleSpeedsClick();
  void InsertPointClick();
  void RemovePointsClick();
  void ExportCurveClick();
  void ImportCurveClick();
  // The selected points moved together by whole steps (the arrow keys, a drag).
  void MoveSelectedPoints(int rpmSteps, int advanceSteps);

  QMenuBar* MenuBarCurve = nullptr;
  QMenu* MenuPoints = nullptr; // also the menu of the right mouse button
  QAction *ActionSelectAll = nullptr, *ActionCopy = nullptr, *ActionPaste = nullptr,
          *ActionAddDegrees = nullptr, *ActionSetDegrees = nullptr, *ActionInterpolate = nullptr,
          *ActionSmooth = nullptr, *ActionScaleSpeeds = nullptr, *ActionInsertPoint = nullptr,
          *ActionRemovePoints = nullptr, *ActionExportCurve = nullptr, *ActionImportCurve = nullptr;
  QStatusBar* StatusBarCurve = nullptr;
  TCurveGraph* Graph = nullptr;
  TStripChart* StripChart = nullptr;
  QPushButton* ButtonRecord = nullptr;
  QLabel* LabelRecord = nullptr;
  QLabel* LabelCurveHint = nullptr;

private:
  void BuildToolMenu();

  using TCurveTool = std::function<bool(TCurveDraft&, TCurveSelection)>;
  // The operation on the record as the screen holds it, as one change; says in the status
  // bar what was done and which points the limits held, or why nothing was done.
  bool ApplyTool(const QString& name, TCurveText whyNot, const TCurveTool& tool);
  // Reads text as a curve and makes it the curve, or says why it is none.
  void ApplyCurveText(const QByteArray& text, TCurveText refusal, const QString& name);
  std::optional<int> AskNumber(TCurveText title, TCurveText label, int value, int min, int max);
  void ShowStatus(const QString& text);
  void ShowMessage(const QString& text);

  TFormHlav& Form;
  // What the graph last showed of the tick's own state.
  bool ShownConnection = false;
  bool ShownNoActivePoint = true;
  int ShownActivePoint = 0;
  int StripTicks = 0;
  // What the number dialogs offer next.
  int LastAddDegrees = 1, LastSetDegrees = 20, LastScalePercent = 100;
};
