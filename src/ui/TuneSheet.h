// The tune sheet's content: what a workshop hands to its customer with a setting, in the
// language of the sheet and ready to be laid out on a page. No toolkit here; the window and
// `vantel --tune-sheet` paint it.
#pragma once

#include <string>
#include <vector>

#include "i18n/Messages.h"
#include "model/Identity.h"
#include "model/IgnParams.h"
#include "model/Types.h"

// The current bike of the bike library; an empty name when no bike is current.
struct TSheetBike {
  std::string Name, Customer;
  std::string Notes; // of the history entry the screen came from
};

struct TSheetTime {
  int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0;
};

struct TSheetSource {
  TIgnParams Params{};
  // The identity of the unit the parameters were read from or programmed into; not shown
  // when no unit was read.
  bool UnitRead = false;
  TUnitIdentity Identity;
  int LayoutVersion = 0;
  std::string FileName; // empty: not saved to a file
  TSheetBike Bike;
  TSheetTime Printed;
  std::string ProgramVersion; // of this program, for the footer
};

// A caption with its value and the value's unit ("Limiter", "15,000", "rpm"); no unit for
// an item of a list or a count.
struct TSheetLine {
  std::string Caption, Value, Unit;
};

struct TSheetPoint {
  std::string Number, Rpm, Advance;
};

struct TTuneSheet {
  std::string Title;
  std::vector<TSheetLine> Header; // bike, customer, unit, file, time of printing
  std::string CurveTitle;
  std::string PointColumn, RpmColumn, AdvanceColumn;
  std::vector<TSheetPoint> Points; // the points in use
  std::string ParametersTitle;
  std::vector<TSheetLine> Parameters; // every other parameter
  std::string NotesTitle, Notes;      // empty notes: no notes part
  std::string Footer, Page;
};

// msg must be filled for the same language.
TTuneSheet BuildTuneSheet(const TSheetSource& source, TLanguage language,
                          const TMessageCatalogue& msg);

// A whole number as the sheet's language writes it: 15,000 / 15.000 / 15 000.
std::string SheetNumber(int value, TLanguage language);
// The date and time as the sheet's language writes them.
std::string SheetDateTime(const TSheetTime& time, TLanguage language);
