#include <gtest/gtest.h>

#include "i18n/PortTexts.h"

// Every text of the port listing exists in each language and keeps the places the values
// go to; a value is put in whole, even one that holds a "%".
TEST(PortTexts, EveryLanguageHasEveryTextWithItsPlaces) {
  for (int key = 0; key <= int(TPortText::EnvironmentFirst); ++key) {
    const auto k = static_cast<TPortText>(key);
    const std::string english = PortText(k, LangEnglish);
    for (TLanguage lang = 0; lang < 4; ++lang) {
      const std::string text = PortText(k, lang);
      EXPECT_FALSE(text.empty()) << key << " language " << int(lang);
      for (const char* place : {"%1", "%2"})
        EXPECT_EQ(text.find(place) == std::string::npos, english.find(place) == std::string::npos)
            << key << " language " << int(lang) << " " << place;
    }
  }
  EXPECT_EQ(PortText(TPortText::Assigned, LangEnglish, "3", "/dev/a%1b"),
            "Com 3 now leads to /dev/a%1b. Choose Com 3 in the Com menu to open it.");
  EXPECT_EQ(PortText(TPortText::NotPresent, 9), "not present");
}
