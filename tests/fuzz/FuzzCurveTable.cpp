// Text pasted or imported as a curve: whatever it holds, the reading stops at a fault with a
// line that exists or gives at most 15 points, and the points it gives become a curve that
// keeps every rule of the record. Written out and read again, the points stay the same.
#include <algorithm>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "model/CurveTable.h"
#include "model/Defaults.h"
#include "model/Normalise.h"

void CheckCurveTableInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TCurveTable table = ParseCurveTable(text);
  if (table.Count < 0 || table.Count > CurvePoints) FuzzFail("point count out of range");
  // Lines end at CR LF, LF or CR: there are at most as many as line-end bytes plus one.
  const auto lines =
      1 + std::count_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; });
  switch (table.Error) {
  case TCurveTableError::None:
    if (table.Count == 0 || table.Line != 0) FuzzFail("a curve without points or with a line");
    break;
  case TCurveTableError::Empty:
    if (table.Count != 0 || table.Line != 0) FuzzFail("an empty text with points or a line");
    break;
  default:
    if (table.Line < 1 || table.Line > lines) FuzzFail("a bad line that does not exist");
    if (table.Error == TCurveTableError::TooManyPoints && table.Count != CurvePoints)
      FuzzFail("too many points before the 15th");
    return;
  }
  if (table.Error != TCurveTableError::None) return;

  TIgnParams before{};
  LoadDefaultParams(before);
  TCurveDraft draft = CurveDraftOf(before);
  SetCurvePoints(draft, table.Points, table.Count);
  const TCurveToolResult result = FinishCurveDraft(before, draft);
  const TIgnParams& p = result.Params;
  if (p.PocetBodu != table.Count) FuzzFail("the number of points is not the number read");
  for (int i = 0; i < CurvePoints; ++i) {
    if (p.RpmAdv[i] < CurveSpeedMin(i) || p.RpmAdv[i] > CurveSpeedMax(i))
      FuzzFail("a speed outside its bounds");
    if (i > 0 && p.RpmAdv[i] <= p.RpmAdv[i - 1]) FuzzFail("speeds not rising");
    if (p.Advance[i] > 60) FuzzFail("an advance beyond 60");
  }
  if (!(result.Adjusted == result.Adjusted.Within(p.PocetBodu)))
    FuzzFail("a point beyond those in use reported");

  // The points themselves, as a spreadsheet would be given them, read the same again.
  std::string again;
  for (int i = 0; i < table.Count; ++i)
    again +=
        std::to_string(table.Points[i].Rpm) + "\t" + std::to_string(table.Points[i].Advance) + "\n";
  const TCurveTable reread = ParseCurveTable(again);
  if (reread.Error != TCurveTableError::None || reread.Count != table.Count)
    FuzzFail("written points do not read back");
  for (int i = 0; i < table.Count; ++i)
    if (reread.Points[i].Rpm != table.Points[i].Rpm ||
        reread.Points[i].Advance != table.Points[i].Advance)
      FuzzFail("a written point reads back otherwise");
}
