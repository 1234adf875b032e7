// The curve window's texts: every one in the four languages, and the items of the Points
// menu reachable by distinct letters in each.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "i18n/CurveTexts.h"

TEST(CurveTexts, EveryTextInFourLanguagesAndThePointsMenuLettersDistinct) {
  for (int key = 0; key < int(TCurveText::Count); ++key)
    for (TLanguage language = 0; language < 4; ++language)
      EXPECT_STRNE(CurveText(TCurveText(key), language), "") << key << " " << int(language);

  const TCurveText items[] = {
      TCurveText::SelectAll,    TCurveText::Copy,        TCurveText::Paste,
      TCurveText::AddDegrees,   TCurveText::SetDegrees,  TCurveText::Interpolate,
      TCurveText::Smooth,       TCurveText::ScaleSpeeds, TCurveText::InsertPoint,
      TCurveText::RemovePoints, TCurveText::ExportCurve, TCurveText::ImportCurve};
  for (TLanguage language = 0; language < 4; ++language) {
    std::set<char> letters;
    for (TCurveText item : items) {
      const std::string text = CurveText(item, language);
      const auto mark = text.find('&');
      ASSERT_NE(mark, std::string::npos) << text;
      ASSERT_LT(mark + 1, text.size()) << text;
      const char letter =
          static_cast<char>(std::tolower(static_cast<unsigned char>(text[mark + 1])));
      EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(letter))) << text;
      EXPECT_TRUE(letters.insert(letter).second) << "letter taken twice: " << text;
    }
  }
}
