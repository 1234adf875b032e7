// The Open and Save dialogs. Each command builds its own and drops it when it returns, so
// nothing of the dialog (its completion list) outlives the command; what the dialogs keep
// between commands lives in a plain TFileDialogState of the main window.
#pragma once

#include <QString>

class QWidget;

struct TFileDialogState {
  QString FileName;    // full path preselected when the dialog opens
  QString Folder;      // where the dialog was left, for when no file name is kept
  int FilterIndex = 0; // 0 parameter files, 1 all files
};

enum class TFileDialogKind { Open, Save };

// Runs the dialog modally from the state and updates the state from it. Returns the chosen
// file, or an empty text when the user cancelled.
QString RunIgnFileDialog(QWidget* parent, TFileDialogKind kind, TFileDialogState& state);
