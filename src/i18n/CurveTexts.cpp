#include "i18n/CurveTexts.h"

#include "i18n/MessageTable.h"

namespace {

struct TCurveTextRow {
  TCurveText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// clang-format off
const TCurveTextRow CurveTextRows[] = {
    {TCurveText::WindowTitle, {"Advance curve", "Zündkurve", "Courbe d'avance", "Křivka předstihu"}},
    {TCurveText::AxisRpm, {"Engine speed [rpm]", "Drehzahl [rpm]", "Régime moteur [rpm]", "Otáčky motoru [rpm]"}},
    {TCurveText::AxisAdvance, {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {TCurveText::BaseAdvance, {"Base advance", "Basis Vorzündung", "Avance de base", "Základní předstih"}},
    {TCurveText::StartLimiter, {"Start limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"}},
    {TCurveText::Limiter, {"Limiter", "Begrenzer", "Limitateur", "Omezovač"}},
    {TCurveText::ShiftLight, {"Gear shift light", "Schaltblitz", "Témoin de changement de rapport", "Kontrolka řazení"}},
    {TCurveText::LaneRpm, {"RPM", "Drehzahl", "Régime", "Otáčky"}},
    {TCurveText::LaneAdvance, {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {TCurveText::LaneVoltage, {"U [V]", "U [V]", "U [V]", "U [V]"}},
    {TCurveText::LastMinute, {"Last 60 s", "Letzte 60 s", "60 dernières secondes", "Posledních 60 s"}},
    {TCurveText::DraggedPoint, {"Point %d: %s rpm, %d°", "Punkt %d: %s rpm, %d°", "Point %d : %s rpm, %d°", "Bod %d: %s rpm, %d°"}},
    {TCurveText::EditHint, {"Drag a point with the mouse, or click it and move it with the arrow keys; Page Up and Page Down choose the next point.", "Einen Punkt mit der Maus ziehen, oder anklicken und mit den Pfeiltasten verschieben; Bild auf und Bild ab wählen den nächsten Punkt.", "Faites glisser un point avec la souris, ou cliquez dessus et déplacez-le avec les flèches ; Page préc. et Page suiv. choisissent le point voisin.", "Bod přetáhněte myší, nebo na něj klikněte a posouvejte ho šipkami; Page Up a Page Down vybírají další bod."}},
    {TCurveText::Record, {"&Record...", "&Aufzeichnen...", "&Enregistrer...", "&Záznam..."}},
    {TCurveText::StopRecording, {"&Stop recording", "Aufzeichnung &beenden", "&Arrêter l'enregistrement", "&Ukončit záznam"}},
    {TCurveText::NotRecording, {"Live values are not being recorded.", "Live-Werte werden nicht aufgezeichnet.", "Les valeurs en direct ne sont pas enregistrées.", "Živé hodnoty se nezaznamenávají."}},
    {TCurveText::RecordingTo, {"Recording to %s, rows: %ld", "Aufzeichnung in %s, Zeilen: %ld", "Enregistrement dans %s, lignes : %ld", "Záznam do %s, řádků: %ld"}},
    {TCurveText::RecordingRows, {"Recording, rows: %ld", "Aufzeichnung, Zeilen: %ld", "Enregistrement, lignes : %ld", "Záznam, řádků: %ld"}},
    {TCurveText::RecordDialogTitle, {"Record live values to", "Live-Werte aufzeichnen in", "Enregistrer les valeurs en direct dans", "Zaznamenat živé hodnoty do"}},
    {TCurveText::RecordFilter, {"CSV files (*.csv)", "CSV-Dateien (*.csv)", "Fichiers CSV (*.csv)", "Soubory CSV (*.csv)"}},
    {TCurveText::RecordStopped, {"The recording was stopped: the file could not be written. The rows recorded so far are kept in it.", "Die Aufzeichnung wurde beendet: die Datei konnte nicht geschrieben werden. Die bisher aufgezeichneten Zeilen bleiben darin erhalten.", "L'enregistrement a été arrêté : le fichier n'a pas pu être écrit. Les lignes enregistrées jusqu'ici y sont conservées.", "Záznam byl ukončen: soubor nelze zapsat. Dosud zaznamenané řádky v něm zůstávají."}},
};
// clang-format on

static_assert(sizeof CurveTextRows / sizeof CurveTextRows[0] == std::size_t(TCurveText::Count),
              "one row per key");

} // namespace

const char* CurveText(TCurveText key, TLanguage language) {
  const int column = language < LanguageCount ? int(language) : int(LangEnglish);
  for (const TCurveTextRow& row : CurveTextRows)
    if (row.Key == key) return row.Text[column];
  return "";
}
