// The manual sources: the same chapters in every language, and every message and control
// text that the program shows quoted in the words of that language.
#include "i18n/ControlTexts.h"
#include "i18n/CurveTexts.h"
#include "i18n/ManualTexts.h"
#include "i18n/Messages.h"
#include "i18n/PortTexts.h"
#include "i18n/PrintTexts.h"
#include "i18n/RestoreTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const char* const Codes[] = {"en", "de", "fr", "cz"};

std::string ReadSource(const char* code) {
  std::ifstream in(std::string(VANTEL_MANUAL_SOURCES) + "/" + code + ".md", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text as the reader sees it: no emphasis marks, no escapes, single line ends.
std::string Plain(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') continue;
    if (text.compare(i, 2, "**") == 0) {
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string> Headings(const std::string& text, const std::string& mark) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(mark + " ", 0) == 0) found.push_back(line);
  return found;
}

} // namespace

TEST(ManualSources, SameChaptersAndSectionsInEveryLanguage) {
  const std::string english = ReadSource("en");
  ASSERT_FALSE(english.empty());
  for (const char* code : Codes) {
    const std::string text = ReadSource(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.rfind("---\n", 0), 0u) << code << ": front matter first";
    for (const char* key : {"\ntitle:", "\nsubtitle:", "\ncontents:", "\npage:", "\nlicense:"})
      EXPECT_NE(text.find(key), std::string::npos) << code << key;
    EXPECT_EQ(Headings(text, "#").size(), Headings(english, "#").size()) << code;
    EXPECT_EQ(Headings(text, "##").size(), Headings(english, "##").size()) << code;
    for (const char* picture : {"](window.png)", "](print.png)", "](curve.png)"})
      EXPECT_NE(text.find(picture), std::string::npos) << code << picture;
  }
}

TEST(ManualSources, EveryMessageAndControlTextInTheWordsOfItsLanguage) {
  for (TLanguage language = 0; language < 4; ++language) {
    const std::string text = Plain(ReadSource(Codes[language]));
    TMessageCatalogue msg;
    FillMessageCatalogue(msg, language);
    const TPrintTexts& print = PrintTextsFor(language);
    const std::string wanted[] = {msg.MsgProgramError,
                                  msg.MsgVerifyError,
                                  msg.MsgReadError,
                                  msg.MsgComOpenError,
                                  msg.MsgOpenFileError,
                                  msg.MsgFileVersionMismatch,
                                  msg.MsgAskDefaults,
                                  msg.MsgManualOpenError,
                                  msg.MsgSaving,
                                  msg.MsgUnitVersionMismatch + "  PC-67, IGN-66",
                                  msg.MsgRead + ":",
                                  msg.MsgVerify + ":",
                                  msg.MsgVerify + ": OK",
                                  msg.MsgProgramming + ":",
                                  msg.MsgProgramming + ": OK",
                                  msg.MsgAdvance + " = " + msg.MsgBasic,
                                  msg.MsgPickup + " - " + msg.MsgIsRunning,
                                  msg.MsgPickup + " - " + msg.MsgNoSignal,
                                  msg.MsgStartLimiter + ": " + msg.MsgYes,
                                  msg.MsgLimiter + " - " + msg.MsgYes,
                                  msg.MsgShiftLight + " - " + msg.MsgYes,
                                  msg.MsgClutchMaster + " - " + msg.MsgYes,
                                  msg.MsgRetard + " - " + msg.MsgYes,
                                  msg.MsgMotorOff + " - " + msg.MsgYes,
                                  "Kill switch - " + msg.MsgYes,
                                  msg.MsgInput + " 1: " + msg.MsgYes,
                                  msg.MsgPolarity + ": " + msg.MsgPositive,
                                  msg.MsgProgrammingCount,
                                  "Programmed data error",
                                  print.NoPrinter,
                                  print.JobRefused,
                                  print.OfferPdf,
                                  print.PdfError,
                                  ManualNotShownText(language),
                                  PortText(TPortText::DialogCaption, language),
                                  StripAccelerator(PortText(TPortText::Assign, language)),
                                  CurveText(TCurveText::WindowTitle, language),
                                  StripAccelerator(CurveText(TCurveText::Record, language)),
                                  StripAccelerator(CurveText(TCurveText::StopRecording, language)),
                                  CurveText(TCurveText::RecordStopped, language)};
    for (const std::string& w : wanted)
      EXPECT_NE(text.find(w), std::string::npos) << Codes[language] << ": \"" << w << '"';
    for (const TRestoreText key :
         {TRestoreText::MenuBackUp, TRestoreText::MenuRestorePoints, TRestoreText::MenuDifferences,
          TRestoreText::CompareWithFile, TRestoreText::RestorePointNotSaved,
          TRestoreText::NoDifferences, TRestoreText::KindRead, TRestoreText::KindProgrammed}) {
      const std::string w = StripAccelerator(RestoreText(key, language));
      EXPECT_NE(text.find(w), std::string::npos) << Codes[language] << ": \"" << w << '"';
    }
    // The head of the print date line, without its trailing blanks.
    std::string date = msg.MsgPrintDateTime;
    date.erase(date.find_last_not_of(' ') + 1);
    EXPECT_NE(text.find(date), std::string::npos) << Codes[language] << ": " << date;

    const char* const controls[] = {"LabelSpojeni",
                                    "CheckBoxProgHned",
                                    "CheckBoxIgnAll",
                                    "LabelOmez1",
                                    "LabelOmez2",
                                    "LabelBaseAdv",
                                    "LabelPocetBodu",
                                    "LabelRetard",
                                    "LabelLedRazeni",
                                    "CheckBoxRevOutLedRazeni",
                                    "RadioGroupPolarita",
                                    "RadioGroupInput1",
                                    "GroupBoxRpm",
                                    "LabelRpmPulsu",
                                    "LabelRpmKorekce",
                                    "GroupBoxMonInput",
                                    "LabelAdvance1",
                                    "MenuFile",
                                    "MenuCom",
                                    "MenuDevice",
                                    "MenuTools",
                                    "MenuLanguage",
                                    "MenuHelp",
                                    "MenuNew",
                                    "MenuOpen",
                                    "MenuSave",
                                    "MenuPrint",
                                    "MenuRead",
                                    "MenuVerify",
                                    "MenuProgram",
                                    "MenuZpet",
                                    "MenuZnovu",
                                    "MenuEnglish",
                                    "MenuGerman",
                                    "MenuFrench",
                                    "MenuCzech",
                                    "ComboBoxPocPalcu",
                                    "RadioGroupInput2",
                                    "MenuCurve",
                                    "MenuRecord",
                                    "MenuPorts"};
    for (const TResolvedText& t : BuildControlTexts(language, msg)) {
      if (std::find(std::begin(controls), std::end(controls), t.Control) == std::end(controls))
        continue;
      if (t.Prop == TTextProp::Caption) {
        std::string caption = StripAccelerator(t.Text);
        if (t.Control == "LabelFile1") caption.pop_back();
        EXPECT_NE(text.find(caption), std::string::npos)
            << Codes[language] << ": " << t.Control << " \"" << caption << '"';
      } else if (t.Prop == TTextProp::Items) {
        for (const std::string& item : t.Items)
          EXPECT_NE(text.find(item), std::string::npos)
              << Codes[language] << ": " << t.Control << " item \"" << item << '"';
      }
    }
  }
}
