#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "i18n/MessageTable.h"
#include "i18n/Messages.h"

namespace {

TMessageCatalogue Filled(TLanguage language) {
  TMessageCatalogue catalogue;
  FillMessageCatalogue(catalogue, language);
  return catalogue;
}

// The table must name every field exactly once, in the order of the record.
TEST(MessageCatalogue, TableCoversEveryFieldInOrder) {
  TMessageCatalogue catalogue;
  const auto rows = MessageRows();
  ASSERT_EQ(rows.size(), sizeof(TMessageCatalogue) / sizeof(std::string));
  for (std::size_t i = 1; i < rows.size(); ++i)
    EXPECT_LT(&(catalogue.*rows[i - 1].Field), &(catalogue.*rows[i].Field)) << "row " << i;
}

TEST(MessageCatalogue, EveryFieldFilledInEveryLanguage) {
  for (TLanguage lang = 0; lang < LanguageCount; ++lang) {
    const TMessageCatalogue catalogue = Filled(lang);
    for (const TMessageRow& row : MessageRows())
      EXPECT_FALSE((catalogue.*row.Field).empty()) << "language " << int(lang);
  }
}

TEST(MessageCatalogue, OpenFileErrorsAreComposedFromTheBaseText) {
  struct Case {
    TLanguage Lang;
    const char* OpenFile;
    const char* Manual;
  };
  const Case cases[] = {
      {LangEnglish, "Open file error!", "Open file error manual_vantel_en.pdf !"},
      {LangGerman, "Fehler beim öffnen der Datei!",
       "Fehler beim öffnen der Datei manual_vantel_de.pdf !"},
      {LangFrench, "Erreur ouvertur fichier!", "Erreur ouvertur fichier manual_vantel_fr.pdf !"},
      {LangCzech, "Chyba při otevírání souboru!",
       "Chyba při otevírání souboru manual_vantel_cz.pdf !"},
  };
  for (const Case& c : cases) {
    const TMessageCatalogue catalogue = Filled(c.Lang);
    EXPECT_EQ(catalogue.MsgOpenFileError, c.OpenFile);
    EXPECT_EQ(catalogue.MsgManualOpenError, c.Manual);
  }
}

TEST(MessageCatalogue, KeepsLeadingAndTrailingBlanksAndTypos) {
  struct Case {
    TLanguage Lang;
    std::string TMessageCatalogue::*Field;
    const char* Text;
  };
  const Case cases[] = {
      {LangEnglish, &TMessageCatalogue::MsgIsRunning, " is running"},
      {LangEnglish, &TMessageCatalogue::MsgPrintDateTime, "Date and time of printing:  "},
      {LangGerman, &TMessageCatalogue::MsgPrintDateTime, "Zeitpunkt des Ausdruckes   "},
      {LangFrench, &TMessageCatalogue::MsgPrintDateTime, "Date et heur de l´imprimé:   "},
      {LangEnglish, &TMessageCatalogue::MsgProgrammingCount, "Number of Programing= "},
      {LangCzech, &TMessageCatalogue::MsgNoSignal, " bez signálu"},
      {LangEnglish, &TMessageCatalogue::MsgProgramming, "Programing"},
      {LangCzech, &TMessageCatalogue::MsgProgramError, "Chyba programování"},
      {LangGerman, &TMessageCatalogue::MsgComOpenError, "Falscher COM-Anschlußes!"},
      {LangFrench, &TMessageCatalogue::MsgSaving, "Mémorisation"},
      {LangCzech, &TMessageCatalogue::MsgBasic, "Základní"},
  };
  for (const Case& c : cases) EXPECT_EQ(Filled(c.Lang).*c.Field, c.Text);
}

TEST(MessageCatalogue, LanguageOutOfRangeGivesEnglish) {
  const TMessageCatalogue english = Filled(LangEnglish);
  for (TLanguage lang : {TLanguage(4), TLanguage(7), TLanguage(255)}) {
    const TMessageCatalogue other = Filled(lang);
    for (const TMessageRow& row : MessageRows()) EXPECT_EQ(other.*row.Field, english.*row.Field);
  }
}

// A rebuild overwrites every field, so nothing of the previous language survives.
TEST(MessageCatalogue, RebuildReplacesTheWholeCatalogue) {
  TMessageCatalogue catalogue;
  FillMessageCatalogue(catalogue, LangCzech);
  FillMessageCatalogue(catalogue, LangGerman);
  const TMessageCatalogue german = Filled(LangGerman);
  for (const TMessageRow& row : MessageRows()) EXPECT_EQ(catalogue.*row.Field, german.*row.Field);
}

} // namespace
