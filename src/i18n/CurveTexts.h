// Texts of the curve window and of the recording of live values, in four languages.
#pragma once

#include <cstdint>

#include "model/Types.h"

enum class TCurveText : std::uint8_t {
  WindowTitle,
  AxisRpm,
  AxisAdvance,
  BaseAdvance,
  StartLimiter,
  Limiter,
  ShiftLight,
  LaneRpm,
  LaneAdvance,
  LaneVoltage,
  LastMinute,
  DraggedPoint,  // %d point number, %s speed, %d advance
  EditHint,      // below the graph
  Record,        // the window's record button
  StopRecording, // the same button while recording
  NotRecording,
  RecordingTo,   // %s file, %ld rows
  RecordingRows, // in the main window's status bar; %ld rows
  RecordDialogTitle,
  RecordFilter,
  RecordStopped, // a write failed; the failure follows on the next line
  // The curve tools: the window's menu, its dialogs and its status bar.
  MenuPoints,
  SelectAll,
  Copy,
  Paste,
  AddDegrees,
  SetDegrees,
  Interpolate,
  Smooth,
  ScaleSpeeds,
  InsertPoint,
  RemovePoints,
  ExportCurve,
  ImportCurve,
  AddDegreesLabel,
  SetDegreesLabel,
  ScaleSpeedsLabel,
  ToolDone,     // %s the operation
  ToolAdjusted, // %s point numbers
  NeedSelection,
  NeedPointsBetween,
  NeedThreePoints,
  CurveFull,
  LastPointStays,
  Copied,        // %d points
  Exported,      // %s file
  PasteRefused,  // the reason follows on the next line
  ImportRefused, // the reason follows on the next line
  TableEmpty,
  TableNotANumber,    // %d line
  TableOneValue,      // %d line
  TableTooManyValues, // %d line
  TableTooManyPoints, // %d line
  ExportDialogTitle,
  ImportDialogTitle,
  AllFilesFilter,
  Count
};

// The text of a key in a language (a value above 3 gives English).
const char* CurveText(TCurveText key, TLanguage language);
