// Texts of the restore points and of the difference window in four languages, and the
// difference of two records put into words: captions, list items and values as the
// screen shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/Failure.h"
#include "i18n/Messages.h"
#include "model/ParamDiff.h"
#include "model/Types.h"

enum class TRestoreText : std::uint8_t {
  MenuBackUp,
  MenuBackUpHint,
  MenuRestorePoints,
  MenuRestorePointsHint,
  MenuDifferences,
  MenuDifferencesHint,
  RestoreTitle,
  ColumnUnit,
  ColumnDate,
  ColumnKind,
  KindRead,
  KindProgrammed,
  NoRestorePoints,
  Folder,
  Close,
  DiffTitle,
  ColumnParameter,
  ColumnPc,
  ColumnScreen,
  CompareWithFile,
  CompareWithFileHint,
  NoDifferences,
  ReplyDiffers,
  FileDiffers,
  ClickForDifferences,
  RestorePointNotSaved,
  FieldKeying,
  FieldIgnitions,
  Point,
  Byte,
  Count
};

// A language above 3 gives English.
std::string RestoreText(TRestoreText key, TLanguage language);

// "Restore point not saved: " and what went wrong with which file.
std::string RestorePointFailureText(const TFailureReport& failure, TLanguage language);

// One row of the difference window.
struct TDifferenceRow {
  std::string Caption, Left, Right;
};

// Each field's name as the screen shows it, without accelerator or closing colon, with its
// group or curve point before it ("Point 3: RPM"); its values as the screen shows them: a
// number in the user's units, a list item, Yes or No, and a byte or a code that no item
// stands for as its decimal number. msg must be filled for the same language.
std::vector<TDifferenceRow> DescribeDifferences(const std::vector<TParamDifference>& differences,
                                                TLanguage language, const TMessageCatalogue& msg);

// A record's field in the same words: its name and its value as the screen shows them.
struct TFieldText {
  std::string Caption, Value;
};
TFieldText DescribeField(const TParamField& field, const TIgnParams& p, TLanguage language,
                         const TMessageCatalogue& msg);

// A control's caption as a name (no accelerator, no closing colon), for texts that name a
// value the way the screen does; the control's name when it has no caption.
std::string ScreenCaption(const std::string& control, TLanguage language,
                          const TMessageCatalogue& msg);
