// Texts of the bike library in four languages: its window, the question after a Read, the
// warning before a Program, and what went wrong with the library put into words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Types.h"

// What went wrong with the library, as it reports it.
enum class TLibraryError : std::uint8_t {
  None,
  NotOpened, // the file or its folder cannot be opened or made
  Busy,      // another program holds it longer than the wait
  Full,      // the disk is full
  ReadOnly,  // no right to write
  Newer,     // made by a newer version of the program
  Damaged,   // not a database, or it fails its check
  NameEmpty,
  NameTooLong,
  NameInvalid, // not one line of valid text
  NameTaken,
  NotFound,
  NotABikeFolder, // an import from a folder that holds no exported bike
  NotWritten,     // an export that could not write its files
  Failed,         // any other error of the database
};

enum class TBikeText : std::uint8_t {
  MenuBikes,
  MenuBikesHint,
  BikesTitle,
  Search,
  ColumnName,
  ColumnCustomer,
  ColumnMake,
  ColumnYear,
  ColumnRegistration,
  FieldName,
  FieldCustomer,
  FieldMake,
  FieldModel,
  FieldYear,
  FieldRegistration,
  FieldNotes,
  NewBike,
  EditBike,
  DeleteBike,
  MakeCurrent,
  NoCurrentBike,
  Close,
  NoBike,
  History,
  ColumnTime,
  ColumnKind,
  ColumnUnit,
  ColumnFile,
  ColumnNote,
  KindRead,
  KindProgrammed,
  KindBackUp,
  KindSaved,
  OpenEntry,
  CompareEntry,
  NoteEntry,
  AssignEntries,
  Export,
  Import,
  CurrentBike, // %1: the bike's name
  NoneCurrent,
  AskWhichBike,
  AskNewBike,
  AskNotNow,
  AskChoose,
  WarnOtherUnit,     // %1 the bike, %2 the unit it was last read from, %3 the unit now
  ConfirmDelete,     // %1 the bike
  ImportNameTaken,   // %1 the bike
  Exported,          // %1 the folder
  Imported,          // %1 the bike
  LibraryMovedAside, // %1 where the damaged file went
  LibraryUnusable,   // %1 why
  NoteTitle,
  BikeTitle,
  AssignTitle,
  ErrorNotOpened,
  ErrorBusy,
  ErrorFull,
  ErrorReadOnly,
  ErrorNewer,
  ErrorDamaged,
  ErrorNameEmpty,
  ErrorNameTooLong,
  ErrorNameInvalid,
  ErrorNameTaken,
  ErrorNotFound,
  ErrorNotABikeFolder,
  ErrorNotWritten,
  ErrorFailed,
  Count
};

// A language above 3 gives English. %1, %2 and %3 are replaced by the arguments given.
std::string BikeText(TBikeText key, TLanguage language,
                     const std::vector<std::string>& arguments = {});

// The sentence for an error, with detail (the database's or the system's words) after it.
std::string LibraryErrorText(TLibraryError error, const std::string& detail, TLanguage language);
