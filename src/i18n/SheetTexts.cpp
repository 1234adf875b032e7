#include "i18n/SheetTexts.h"

#include <iterator>

#include "i18n/MessageTable.h"

namespace {

using K = TSheetText;

struct TSheetRow {
  TSheetText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// clang-format off
constexpr TSheetRow SheetRows[] = {
    {K::Title, {"Tune sheet", "Einstellblatt", "Fiche de réglage", "List nastavení"}},
    {K::Bike, {"Bike", "Motorrad", "Moto", "Motocykl"}},
    {K::Customer, {"Customer", "Kunde", "Client", "Zákazník"}},
    {K::Unit, {"Unit", "Zündung", "Boîtier", "Zapalování"}},
    {K::NotReadFromUnit, {"not read from a unit", "nicht aus einer Zündung gelesen", "non lu dans un boîtier", "nenačteno ze zapalování"}},
    {K::LayoutVersion, {"layout version %d", "Layoutversion %d", "version de format %d", "verze rozložení %d"}},
    {K::NoFile, {"not saved to a file", "nicht in einer Datei gespeichert", "non enregistré dans un fichier", "neuloženo do souboru"}},
    {K::PointColumn, {"Point", "Punkt", "Point", "Bod"}},
    {K::Parameters, {"Parameters", "Kenndaten", "Paramètres", "Parametry"}},
    {K::Notes, {"Notes", "Notizen", "Notes", "Poznámky"}},
    {K::Page, {"page %d of %d", "Seite %d von %d", "page %d sur %d", "strana %d z %d"}},
};
// clang-format on

constexpr bool EveryKeyInItsRow() {
  for (int i = 0; i < int(K::Count); ++i)
    if (int(SheetRows[i].Key) != i) return false;
  return std::size(SheetRows) == std::size_t(K::Count);
}
static_assert(EveryKeyInItsRow());

} // namespace

std::string SheetText(TSheetText key, TLanguage language) {
  const int row = int(key);
  if (row < 0 || row >= int(K::Count)) return {};
  return SheetRows[row].Text[language < LanguageCount ? int(language) : int(LangEnglish)];
}
