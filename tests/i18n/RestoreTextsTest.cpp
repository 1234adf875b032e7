#include <gtest/gtest.h>

#include "i18n/RestoreTexts.h"
#include "model/Defaults.h"

namespace {

TIgnParams Base() {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.Bike = p.Input1 = p.Input2 = 0;
  return p;
}

} // namespace

TEST(RestoreTexts, EveryTextInFourLanguages) {
  for (int key = 0; key < int(TRestoreText::Count); ++key)
    for (TLanguage language = 0; language < 4; ++language)
      EXPECT_FALSE(RestoreText(TRestoreText(key), language).empty()) << key << " " << int(language);
  EXPECT_EQ(RestoreText(TRestoreText::CompareWithFile, 9), "Co&mpare with file...");
  TFailureReport failure{TFailure::NotWritten, "/data/x.ign", {}, 28};
  EXPECT_EQ(RestorePointFailureText(failure, LangGerman),
            "Wiederherstellungspunkt nicht gespeichert: " + DescribeFailure(failure, LangGerman));
}

// Captions, list items and values as the window of that language shows them.
TEST(RestoreTexts, DifferencesReadAsTheScreenInEachLanguage) {
  struct {
    TLanguage Language;
    void (*Change)(TIgnParams&);
    TDifferenceRow Row;
    // clang-format off
  } const cases[] = {
      {LangEnglish, [](TIgnParams& p) { p.Omez1 = 99; }, {"Start limiter [rpm]", "10000", "9900"}},
      {LangGerman, [](TIgnParams& p) { p.Polarita = 0; }, {"Polarität des CPS", "Automatisch", "Positiv"}},
      {LangGerman, [](TIgnParams& p) { p.Input1 = 3; }, {"Eingang 1", "Aus", "Spätzündung"}},
      {LangGerman, [](TIgnParams& p) { p.GeberNr = 2; }, {"Zündungen pro Umdrehung", "1 Zündung pro Umdrehung", "2 Zündungen pro Umdrehung"}},
      {LangFrench, [](TIgnParams& p) { p.RpmAdv[2] = 31; }, {"Point 3: RPM", "3000", "3100"}},
      {LangFrench, [](TIgnParams& p) { p.Reserved8 = 7; }, {"Octet 8", "0", "7"}},
      {LangFrench, [](TIgnParams& p) { p.RpmKorekce = 95; }, {"Tachometer output: Correction [%]", "0", "-5"}},
      {LangCzech, [](TIgnParams& p) { p.Advance[0] = 11; }, {"Bod 1: Předstih [°]", "10", "11"}},
      {LangCzech, [](TIgnParams& p) { p.RevOutLedRazeni = 1; }, {"Opačná polarita výstupu", "Ne", "Ano"}},
      {LangCzech, [](TIgnParams& p) { p.Clutch2 = 5; }, {"Clutch master pause [ms]", "1000", "50"}},
      {LangEnglish, [](TIgnParams& p) { p.Bike = 3; }, {"Type of keying", "Standard", "KTM 4T SEM"}},
      {LangEnglish, [](TIgnParams& p) { p.Polarita = 7; }, {"Polarity of CPS", "Selfsearch", "7"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Row.Caption);
    TMessageCatalogue msg;
    FillMessageCatalogue(msg, c.Language);
    TIgnParams changed = Base();
    c.Change(changed);
    const std::vector<TDifferenceRow> rows =
        DescribeDifferences(DiffParams(Base(), changed), c.Language, msg);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Caption, c.Row.Caption);
    EXPECT_EQ(rows[0].Left, c.Row.Left);
    EXPECT_EQ(rows[0].Right, c.Row.Right);
  }
}
