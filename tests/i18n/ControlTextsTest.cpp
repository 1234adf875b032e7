#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "i18n/ControlTexts.h"
#include "i18n/MessageTable.h"
#include "i18n/Messages.h"

namespace {

std::vector<TResolvedText> TextsFor(TLanguage language) {
  TMessageCatalogue msg;
  FillMessageCatalogue(msg, language);
  return BuildControlTexts(language, msg);
}

const TResolvedText* Find(const std::vector<TResolvedText>& list, const std::string& control,
                          TTextProp prop) {
  for (const TResolvedText& t : list)
    if (t.Control == control && t.Prop == prop) return &t;
  return nullptr;
}

std::string TextOf(TLanguage lang, const char* control, TTextProp prop) {
  const auto list = TextsFor(lang);
  const TResolvedText* t = Find(list, control, prop);
  return t ? t->Text : "<missing " + std::string(control) + ">";
}

using TKey = std::pair<std::string, TTextProp>;

TEST(ControlTexts, EveryControlPropertyOnceAndAlikeInAllLanguages) {
  std::set<TKey> englishKeys;
  for (TLanguage lang = 0; lang < LanguageCount; ++lang) {
    std::set<TKey> keys;
    for (const TResolvedText& t : TextsFor(lang)) {
      EXPECT_TRUE(keys.insert({t.Control, t.Prop}).second) << t.Control << " twice";
      if (t.Prop == TTextProp::Items) {
        for (const std::string& item : t.Items) EXPECT_FALSE(item.empty()) << t.Control;
      } else {
        EXPECT_FALSE(t.Text.empty()) << t.Control;
      }
    }
    if (lang == LangEnglish) englishKeys = keys;
    EXPECT_EQ(keys, englishKeys) << "language " << int(lang);
  }
}

TEST(ControlTexts, ItemListsHaveTheirLengthInEveryLanguage) {
  const std::map<std::string, std::size_t> lengths = {{"ComboBoxPocPalcu", 4},
                                                      {"RadioGroupPolarita", 3},
                                                      {"RadioGroupInput1", 5},
                                                      {"RadioGroupInput2", 5}};
  for (TLanguage lang = 0; lang < LanguageCount; ++lang) {
    std::size_t lists = 0;
    for (const TResolvedText& t : TextsFor(lang)) {
      if (t.Prop != TTextProp::Items) continue;
      ++lists;
      ASSERT_TRUE(lengths.count(t.Control)) << t.Control;
      EXPECT_EQ(t.Items.size(), lengths.at(t.Control)) << t.Control << " language " << int(lang);
    }
    EXPECT_EQ(lists, lengths.size());
  }
}

TEST(ControlTexts, SpotChecksPerLanguage) {
  struct Case {
    TLanguage Lang;
    const char* Control;
    TTextProp Prop;
    const char* Text;
  };
  const TTextProp C = TTextProp::Caption, H = TTextProp::Hint;
  const Case cases[] = {
      {LangEnglish, "TFormHlav", C, "Programming of VANTEL-9 unit"},
      {LangEnglish, "MenuExit", C, "E&xit"},
      {LangEnglish, "MenuProgram", C, "&Programing"},
      {LangEnglish, "LabelFile1", C, "&File:"},
      {LangEnglish, "RadioGroupInput2", C, "Input 2"},
      {LangEnglish, "MenuCom3", H, "Set com 3"},
      {LangEnglish, "MenuCom10", C, "Com 1&0"},
      {LangEnglish, "ButtonVerify", H, "Compare set parametrs  with parametrs of ignition"},
      {LangEnglish, "MenuVerify", H, "Compare set parametrs  with parametrs of ignition"},
      {LangEnglish, "MenuAdvancePlus", H, "Curve A plus|Add 1 degree of curve A"},
      {LangGerman, "ButtonProgram", H, "Kenndaten in die Zündung programmieren"},
      {LangGerman, "ButtonProgram", C, "&Programmieren"},
      {LangGerman, "MenuCom10", H, "Com-Anschluß auswahl 10"},
      {LangGerman, "MenuAdvanceMinus", C, "Vorzündung -"},
      {LangGerman, "LabelRpm1", H, "Umdrehungen pro Minute"},
      {LangGerman, "LabelClutch1", C, "Clutch master time [ms]"},
      {LangGerman, "MenuFrench", H, "Installer en Francais "},
      {LangFrench, "MenuSave", C, "&Mèmoriser"},
      {LangFrench, "RadioGroupInput1", C, "Entrée 1"},
      {LangFrench, "LabelRetard", C, "Retard d´allumage[°]"},
      {LangFrench, "MenuHelp", H, "Not available jet"},
      {LangCzech, "TFormHlav", C, "Programování jednotky VANTEL-9"},
      {LangCzech, "MenuHelp", C, "Nápověda"},
      {LangCzech, "MenuFrench", C, "Francouzky"},
      {LangCzech, "MenuCzech", C, "Če&sky"},
      {LangCzech, "LabelFile1", C, "&Soubor:"},
      {LangCzech, "MenuRead", C, "&Čtení"},
      {LangCzech, "MenuCom", H, "Nastavení čísla serivého portu (Com) "},
      {LangCzech, "LabelRpm2", H, "Otáčky za minutu|Rychlost - Otáčky za minutu"},
      {LangCzech, "ComboBoxPocPalcu", H, "Type of keying"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextOf(c.Lang, c.Control, c.Prop), c.Text) << c.Control << " " << int(c.Lang);

  const auto german = TextsFor(LangGerman);
  const TResolvedText* items = Find(german, "ComboBoxPocPalcu", TTextProp::Items);
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->Items.at(2), "3 Zündungen pro Umdrehung");
}

// A tool button and the menu item of its command share one hint.
TEST(ControlTexts, ToolButtonAndMenuItemShareTheHint) {
  const std::pair<const char*, const char*> pairs[] = {
      {"SpeedButton5", "MenuOpen"},     {"SpeedButton6", "MenuNew"},
      {"SpeedButton7", "MenuSave"},     {"SpeedButtonPrint", "MenuPrint"},
      {"ButtonRead", "MenuRead"},       {"ButtonVerify", "MenuVerify"},
      {"ButtonProgram", "MenuProgram"},
  };
  for (TLanguage lang = 0; lang < LanguageCount; ++lang)
    for (const auto& [button, menu] : pairs)
      EXPECT_EQ(TextOf(lang, button, TTextProp::Hint), TextOf(lang, menu, TTextProp::Hint));
}

TEST(ControlTexts, LanguageOutOfRangeGivesEnglish) {
  TMessageCatalogue msg;
  FillMessageCatalogue(msg, 9);
  const auto other = BuildControlTexts(9, msg);
  const auto english = TextsFor(LangEnglish);
  ASSERT_EQ(other.size(), english.size());
  for (std::size_t i = 0; i < other.size(); ++i) {
    EXPECT_EQ(other[i].Text, english[i].Text);
    EXPECT_EQ(other[i].Items, english[i].Items);
  }
  EXPECT_EQ(AboutCaption(4), nullptr);
}

TEST(ControlTexts, HintSplitsAtTheBar) {
  struct Case {
    const char* Hint;
    const char* Short;
    const char* Long;
  };
  const Case cases[] = {
      {"Round per Minute|Speed - Round per Minute", "Round per Minute", "Speed - Round per Minute"},
      {"Umdrehungen pro Minute", "Umdrehungen pro Minute", "Umdrehungen pro Minute"},
      {"|only long", "", "only long"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string shortPart = "old", longPart = "old";
    SplitHint(c.Hint, shortPart, longPart);
    EXPECT_EQ(shortPart, c.Short);
    EXPECT_EQ(longPart, c.Long);
  }
}

TEST(ControlTexts, TooltipsOnlyOnTheListedControls) {
  for (const char* name : {"LabelVerze1", "LabelVerze3", "SpeedButton5", "SpeedButtonPrint",
                           "ButtonProgram", "BitBtnAdvPlus", "ComboBoxBike", "CheckBoxProgHned",
                           "LabelClutch2", "CheckBoxRevOutLedRazeni"})
    EXPECT_TRUE(TooltipEnabled(name)) << name;
  for (const char* name : {"LabelRpm1", "MenuOpen", "MenuProgram", "SpeedButtonZpet", "MenuCom",
                           "RadioGroupInput1", "", "buttonread"})
    EXPECT_FALSE(TooltipEnabled(name)) << name;
}

TEST(ControlTexts, AcceleratorMarkIsNotShown) {
  const std::pair<const char*, const char*> cases[] = {
      {"&File:", "File:"}, {"Če&sky", "Česky"}, {"Nápověda", "Nápověda"},
      {"A&&B", "A&B"},     {"x&", "x"},         {"&&&a", "&a"},
  };
  for (const auto& [caption, shown] : cases) EXPECT_EQ(StripAccelerator(caption), shown);
  const std::pair<const char*, const char*> marked[] = {
      {"&File:", "<u>F</u>ile:"},
      {"Če&sky", "Če<u>s</u>ky"},
      {"&Čtení", "<u>Č</u>tení"},
      {"A&&B <&x>", "A&amp;B &lt;<u>x</u>&gt;"},
      {"No letter", ""},
      {"A&&B", ""},
      {"x&", ""},
  };
  for (const auto& [caption, markup] : marked) EXPECT_EQ(AcceleratorMarkup(caption), markup);
}

TEST(ControlTexts, AboutCaptionPerLanguage) {
  EXPECT_STREQ(AboutCaption(LangEnglish), "About VANTEL-9");
  EXPECT_STREQ(AboutCaption(LangGerman), "Über Programm VANTEL-9");
  EXPECT_STREQ(AboutCaption(LangFrench), "Information VANTEL-9");
  EXPECT_STREQ(AboutCaption(LangCzech), "O programu VANTEL-9");
}

} // namespace
