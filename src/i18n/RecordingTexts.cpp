#include "i18n/RecordingTexts.h"

#include <cstdio>

#include "i18n/MessageTable.h"

namespace {

struct TRecordingTextRow {
  TRecordingText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// clang-format off
const TRecordingTextRow RecordingTextRows[] = {
    {TRecordingText::SkippedLines, {"Lines skipped because they could not be read: %ld, the first is line %ld.", "Übersprungene, nicht lesbare Zeilen: %ld, die erste ist Zeile %ld.", "Lignes illisibles ignorées : %ld, la première est la ligne %ld.", "Přeskočené nečitelné řádky: %ld, první je řádek %ld."}},
    {TRecordingText::NoHeader, {"The file has no header line naming its columns, so it cannot be read as a recording of live values.", "Die Datei hat keine Kopfzeile mit den Spaltennamen und kann daher nicht als Aufzeichnung von Live-Werten gelesen werden.", "Le fichier n'a pas de ligne d'en-tête nommant ses colonnes ; il ne peut pas être lu comme un enregistrement de valeurs en direct.", "Soubor nemá úvodní řádek s názvy sloupců, proto jej nelze číst jako záznam živých hodnot."}},
    {TRecordingText::NotARecording, {"The file is not a recording of live values: its header line names no time column or no live value.", "Die Datei ist keine Aufzeichnung von Live-Werten: ihre Kopfzeile nennt keine Zeitspalte oder keinen Live-Wert.", "Le fichier n'est pas un enregistrement de valeurs en direct : sa ligne d'en-tête ne nomme pas de colonne de temps ou aucune valeur en direct.", "Soubor není záznamem živých hodnot: jeho úvodní řádek neuvádí sloupec času nebo žádnou živou hodnotu."}},
    {TRecordingText::Duration, {"Duration", "Dauer", "Durée", "Trvání"}},
    {TRecordingText::MaxRpm, {"Maximum speed [rpm]", "Höchstdrehzahl [rpm]", "Régime maximal [rpm]", "Nejvyšší otáčky [rpm]"}},
    {TRecordingText::SpeedBand, {"%d-%d rpm", "%d-%d rpm", "%d-%d rpm", "%d-%d rpm"}},
    {TRecordingText::LimiterTime, {"Limiter active", "Begrenzer aktiv", "Limitateur actif", "Omezovač aktivní"}},
    {TRecordingText::StartLimiterTime, {"Start limiter active", "Startbegrenzer aktiv", "Limitateur départ actif", "Startovací omezovač aktivní"}},
    {TRecordingText::RetardCount, {"Retard: times active", "Spätzündung: wie oft aktiv", "Retard : nombre d'activations", "Zpoždění: kolikrát aktivní"}},
    {TRecordingText::RetardTime, {"Retard active", "Spätzündung aktiv", "Retard actif", "Zpoždění aktivní"}},
    {TRecordingText::ShiftLightEvents, {"Gear shift light: times on", "Schaltblitz: wie oft an", "Témoin de changement de rapport : nombre d'allumages", "Kontrolka řazení: kolikrát svítila"}},
    {TRecordingText::VoltageMin, {"Lowest voltage [V]", "Niedrigste Spannung [V]", "Tension minimale [V]", "Nejnižší napětí [V]"}},
    {TRecordingText::VoltageMax, {"Highest voltage [V]", "Höchste Spannung [V]", "Tension maximale [V]", "Nejvyšší napětí [V]"}},
    {TRecordingText::ExportSummary, {"Export summary...", "Zusammenfassung exportieren...", "Exporter le résumé...", "Exportovat souhrn..."}},
};
// clang-format on

static_assert(sizeof RecordingTextRows / sizeof RecordingTextRows[0] ==
                  std::size_t(TRecordingText::Count),
              "one row per key");

} // namespace

const char* RecordingText(TRecordingText key, TLanguage language) {
  const int column = language < LanguageCount ? int(language) : int(LangEnglish);
  for (const TRecordingTextRow& row : RecordingTextRows)
    if (row.Key == key) return row.Text[column];
  return "";
}

std::string SkippedLinesText(long skipped, long firstLine, TLanguage language) {
  if (skipped <= 0) return {};
  char text[256];
  std::snprintf(text, sizeof text, RecordingText(TRecordingText::SkippedLines, language), skipped,
                firstLine);
  return text;
}
