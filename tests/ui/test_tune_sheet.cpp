// The tune sheet's content: every parameter named as the screen names it, in the sheet's
// language, with its value and unit; the header, the table of points and the notes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "i18n/Messages.h"
#include "model/Defaults.h"
#include "ui/TuneSheet.h"

namespace {

TSheetSource Source() {
  TSheetSource s;
  LoadDefaultParams(s.Params);
  s.Params.Bike = 3; // KTM 4T SEM
  s.Params.GeberNr = 1;
  s.Params.Polarita = 1;
  s.Params.PocetBodu = 3;
  s.Params.RpmAdv[2] = 125;
  s.Params.Advance[2] = 27;
  s.Params.Input1 = 2;
  s.Params.Input2 = 4;
  s.Params.RpmKorekce = 40;
  s.Params.RevOutLedRazeni = 1;
  s.FileName = "race.ign";
  s.Printed = {2026, 3, 5, 8, 7};
  s.ProgramVersion = "1.2.3";
  return s;
}

std::map<std::string, TSheetLine> ByCaption(const TTuneSheet& sheet) {
  std::map<std::string, TSheetLine> lines;
  for (const TSheetLine& line : sheet.Parameters) lines[line.Caption] = line;
  return lines;
}

TTuneSheet Build(const TSheetSource& source, TLanguage language) {
  TMessageCatalogue msg;
  FillMessageCatalogue(msg, language);
  return BuildTuneSheet(source, language, msg);
}

} // namespace

TEST(TuneSheet, EveryParameterByItsCaptionWithValueAndUnitInEachLanguage) {
  struct TExpected {
    TLanguage Language;
    std::map<std::string, std::pair<std::string, std::string>> Lines; // caption: value, unit
  };
  const TExpected cases[] = {
      {LangEnglish,
       {{"Type of keying", {"KTM 4T SEM", ""}},
        {"Ignitions per revolution", {"1 ignition per revolution", ""}},
        {"Polarity of CPS", {"Negative", ""}},
        {"Number of items", {"3", ""}},
        {"Base advance", {"10", "°"}},
        {"Start limiter", {"10,000", "rpm"}},
        {"Limiter", {"15,000", "rpm"}},
        {"Retard", {"6", "°"}},
        {"Input 1", {"Clutch master", ""}},
        {"Input 2", {"Start Limiter", ""}},
        {"Clutch master time", {"200", "ms"}},
        {"Clutch master pause", {"1,000", "ms"}},
        {"Tachometer output: Pulses per revolution", {"1", ""}},
        {"Tachometer output: Correction", {"-60", "%"}},
        {"Gear shift light", {"12,000", "rpm"}},
        {"Reverse otput polarity", {"Yes", ""}}}},
      {LangGerman,
       {{"Zündungstyp", {"KTM 4T SEM", ""}},
        {"Begrenzer", {"15.000", "rpm"}},
        {"Spätzündung", {"6", "°"}},
        {"Eingang 1", {"Schaltautomat", ""}},
        {"Drehzählerausgang: Korrektion", {"-60", "%"}},
        {"Umgekehrte Ausgangpolarität", {"Ja", ""}}}},
      {LangFrench,
       {{"Limitateur", {"15 000", "rpm"}},
        // The screen's caption has no blank before its unit.
        {"Retard d´allumage", {"6", "°"}},
        {"Polarité CPS", {"Négatif", ""}},
        {"Témoin de changement de rapport", {"12 000", "rpm"}}}},
      {LangCzech,
       {{"Omezovač", {"15 000", "rpm"}},
        {"Vstup 2", {"Startovací omezovač", ""}},
        {"Zápalů za otáčku", {"1 zápal za otáčku", ""}},
        {"Opačná polarita výstupu", {"Ano", ""}}}},
  };
  for (const TExpected& expected : cases) {
    const TTuneSheet sheet = Build(Source(), expected.Language);
    EXPECT_EQ(sheet.Parameters.size(), 16u) << int(expected.Language);
    const auto lines = ByCaption(sheet);
    for (const auto& [caption, value] : expected.Lines) {
      const auto found = lines.find(caption);
      ASSERT_NE(found, lines.end()) << caption;
      EXPECT_EQ(found->second.Value, value.first) << caption;
      EXPECT_EQ(found->second.Unit, value.second) << caption;
    }
  }
}

TEST(TuneSheet, PointTableHoldsThePointsInUseOnly) {
  TSheetSource source = Source();
  TTuneSheet sheet = Build(source, LangEnglish);
  ASSERT_EQ(sheet.Points.size(), 3u);
  EXPECT_EQ(sheet.Points[2].Number, "3");
  EXPECT_EQ(sheet.Points[2].Rpm, "12,500");
  EXPECT_EQ(sheet.Points[2].Advance, "27");
  EXPECT_EQ(sheet.RpmColumn, "RPM");
  EXPECT_EQ(sheet.AdvanceColumn, "Advance [°]");

  // A point count from a file or a unit beyond the curve stops at its 15 points.
  source.Params.PocetBodu = 200;
  sheet = Build(source, LangGerman);
  ASSERT_EQ(sheet.Points.size(), 15u);
  EXPECT_EQ(sheet.Points[14].Rpm, "15.000");
  EXPECT_EQ(sheet.AdvanceColumn, "Vorzündung [°]");
}

TEST(TuneSheet, HeaderNamesBikeUnitFileAndTimeOfPrinting) {
  TSheetSource source = Source();
  TTuneSheet sheet = Build(source, LangEnglish);
  // No bike current: no bike and no customer lines, and no notes part.
  ASSERT_EQ(sheet.Header.size(), 3u);
  EXPECT_EQ(sheet.Header[0].Caption, "Unit");
  EXPECT_EQ(sheet.Header[0].Value, "not read from a unit");
  EXPECT_EQ(sheet.Header[1].Caption, "File");
  EXPECT_EQ(sheet.Header[1].Value, "race.ign");
  EXPECT_EQ(sheet.Header[2].Caption, "Date and time of printing");
  EXPECT_EQ(sheet.Header[2].Value, "2026-03-05 08:07");
  EXPECT_TRUE(sheet.Notes.empty());
  EXPECT_EQ(sheet.Footer, "VANTEL-9 Setup 1.2.3");
  EXPECT_EQ(sheet.Page, "page 1 of 1");

  source.Bike = {"Enduro 610 blue", "J. Novák", "Jet 165, new plug.\nTest ride ok."};
  source.UnitRead = true;
  source.Identity = {"AB\xC9"
                     "13",
                     " 5. 3.2007", "08:05"}; // the unit's bytes, Latin-1
  source.LayoutVersion = 67;
  source.FileName.clear();
  sheet = Build(source, LangCzech);
  ASSERT_EQ(sheet.Header.size(), 5u);
  EXPECT_EQ(sheet.Header[0].Caption, "Motocykl");
  EXPECT_EQ(sheet.Header[0].Value, "Enduro 610 blue");
  EXPECT_EQ(sheet.Header[1].Caption, "Zákazník");
  EXPECT_EQ(sheet.Header[1].Value, "J. Novák");
  EXPECT_EQ(sheet.Header[2].Value, "ABÉ13  5. 3.2007  08:05, verze rozložení 67");
  EXPECT_EQ(sheet.Header[3].Caption, "Soubor");
  EXPECT_EQ(sheet.Header[3].Value, "neuloženo do souboru");
  EXPECT_EQ(sheet.Header[4].Caption, "Datum a čas tisku");
  EXPECT_EQ(sheet.Header[4].Value, "5. 3. 2026 08:07");
  EXPECT_EQ(sheet.NotesTitle, "Poznámky");
  EXPECT_EQ(sheet.Notes, source.Bike.Notes);
  EXPECT_EQ(sheet.Page, "strana 1 z 1");
}

TEST(TuneSheet, NumbersAndDatesAsTheLanguageWritesThem) {
  const struct {
    int Value;
    TLanguage Language;
    const char* Text;
  } numbers[] = {{0, LangEnglish, "0"},          {999, LangEnglish, "999"},
                 {1000, LangEnglish, "1,000"},   {20000, LangGerman, "20.000"},
                 {-60, LangFrench, "-60"},       {1234567, LangCzech, "1 234 567"},
                 {-1500, LangEnglish, "-1,500"}, {15000, 9, "15,000"}};
  for (const auto& n : numbers) EXPECT_EQ(SheetNumber(n.Value, n.Language), n.Text) << n.Value;
  const TSheetTime t{2027, 11, 30, 23, 59};
  EXPECT_EQ(SheetDateTime(t, LangEnglish), "2027-11-30 23:59");
  EXPECT_EQ(SheetDateTime(t, LangGerman), "30.11.2027 23:59");
  EXPECT_EQ(SheetDateTime(t, LangFrench), "30/11/2027 23:59");
  EXPECT_EQ(SheetDateTime(t, LangCzech), "30. 11. 2027 23:59");
}
