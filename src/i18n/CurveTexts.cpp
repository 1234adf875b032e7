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
    {TCurveText::EditHint, {"Drag a point with the mouse, or click it and move it with the arrow keys; Page Up and Page Down choose the next point. Shift+click selects a range, Ctrl+click one point more, Ctrl+A all; the Points menu and the right mouse button work on the selection.", "Einen Punkt mit der Maus ziehen, oder anklicken und mit den Pfeiltasten verschieben; Bild auf und Bild ab wählen den nächsten Punkt. Umschalt+Klick wählt einen Bereich, Strg+Klick einen Punkt mehr, Strg+A alle; das Menü Punkte und die rechte Maustaste wirken auf die Auswahl.", "Faites glisser un point avec la souris, ou cliquez dessus et déplacez-le avec les flèches ; Page préc. et Page suiv. choisissent le point voisin. Maj+clic sélectionne une plage, Ctrl+clic un point de plus, Ctrl+A tous ; le menu Points et le bouton droit de la souris agissent sur la sélection.", "Bod přetáhněte myší, nebo na něj klikněte a posouvejte ho šipkami; Page Up a Page Down vybírají další bod. Shift+klik vybere úsek, Ctrl+klik další bod, Ctrl+A všechny; nabídka Body a pravé tlačítko myši pracují s výběrem."}},
    {TCurveText::Record, {"&Record...", "&Aufzeichnen...", "&Enregistrer...", "&Záznam..."}},
    {TCurveText::StopRecording, {"&Stop recording", "Aufzeichnung &beenden", "&Arrêter l'enregistrement", "&Ukončit záznam"}},
    {TCurveText::NotRecording, {"Live values are not being recorded.", "Live-Werte werden nicht aufgezeichnet.", "Les valeurs en direct ne sont pas enregistrées.", "Živé hodnoty se nezaznamenávají."}},
    {TCurveText::RecordingTo, {"Recording to %s, rows: %ld", "Aufzeichnung in %s, Zeilen: %ld", "Enregistrement dans %s, lignes : %ld", "Záznam do %s, řádků: %ld"}},
    {TCurveText::RecordingRows, {"Recording, rows: %ld", "Aufzeichnung, Zeilen: %ld", "Enregistrement, lignes : %ld", "Záznam, řádků: %ld"}},
    {TCurveText::RecordDialogTitle, {"Record live values to", "Live-Werte aufzeichnen in", "Enregistrer les valeurs en direct dans", "Zaznamenat živé hodnoty do"}},
    {TCurveText::RecordFilter, {"CSV files (*.csv)", "CSV-Dateien (*.csv)", "Fichiers CSV (*.csv)", "Soubory CSV (*.csv)"}},
    {TCurveText::RecordStopped, {"The recording was stopped: the file could not be written. The rows recorded so far are kept in it.", "Die Aufzeichnung wurde beendet: die Datei konnte nicht geschrieben werden. Die bisher aufgezeichneten Zeilen bleiben darin erhalten.", "L'enregistrement a été arrêté : le fichier n'a pas pu être écrit. Les lignes enregistrées jusqu'ici y sont conservées.", "Záznam byl ukončen: soubor nelze zapsat. Dosud zaznamenané řádky v něm zůstávají."}},
    {TCurveText::MenuPoints, {"&Points", "&Punkte", "&Points", "&Body"}},
    {TCurveText::SelectAll, {"Select &all", "&Alle auswählen", "&Tout sélectionner", "Vybrat &vše"}},
    {TCurveText::Copy, {"&Copy", "&Kopieren", "&Copier", "&Kopírovat"}},
    {TCurveText::Paste, {"&Paste", "&Einfügen", "C&oller", "V&ložit"}},
    {TCurveText::AddDegrees, {"Add &degrees...", "Grad add&ieren...", "&Ajouter des degrés...", "Přičíst &stupně..."}},
    {TCurveText::SetDegrees, {"&Set degrees...", "Grad &setzen...", "&Fixer les degrés...", "&Nastavit stupně..."}},
    {TCurveText::Interpolate, {"&Interpolate", "Interp&olieren", "&Interpoler", "Interpol&ovat"}},
    {TCurveText::Smooth, {"S&mooth", "&Glätten", "&Lisser", "Vy&hladit"}},
    {TCurveText::ScaleSpeeds, {"Sca&le speeds...", "Dreh&zahlen skalieren...", "Régimes à l'éc&helle...", "Změnit otáčk&y v poměru..."}},
    {TCurveText::InsertPoint, {"I&nsert point", "P&unkt einfügen", "I&nsérer un point", "Vložit &bod"}},
    {TCurveText::RemovePoints, {"&Remove points", "Punkte en&tfernen", "&Supprimer les points", "Odst&ranit body"}},
    {TCurveText::ExportCurve, {"&Export curve...", "Kurve e&xportieren...", "E&xporter la courbe...", "&Exportovat křivku..."}},
    {TCurveText::ImportCurve, {"Imp&ort curve...", "Kurve im&portieren...", "Im&porter la courbe...", "&Importovat křivku..."}},
    {TCurveText::AddDegreesLabel, {"Degrees to add to the selected points (negative to take away):", "Grad, die zu den gewählten Punkten addiert werden (negativ zum Abziehen):", "Degrés à ajouter aux points sélectionnés (négatif pour retrancher) :", "Stupně přičtené k vybraným bodům (záporné ubírají):"}},
    {TCurveText::SetDegreesLabel, {"Advance of the selected points [°]:", "Vorzündung der gewählten Punkte [°]:", "Avance des points sélectionnés [°] :", "Předstih vybraných bodů [°]:"}},
    {TCurveText::ScaleSpeedsLabel, {"Speeds of the selected points, in percent of what they are now:", "Drehzahlen der gewählten Punkte, in Prozent der jetzigen:", "Régimes des points sélectionnés, en pourcentage des régimes actuels :", "Otáčky vybraných bodů v procentech nynějších:"}},
    {TCurveText::ToolDone, {"%s: done.", "%s: erledigt.", "%s : effectué.", "%s: hotovo."}},
    {TCurveText::ToolAdjusted, {"Held within their limits or pushed up to keep the speeds rising: points %s.", "An ihren Grenzen gehalten oder nach oben geschoben, damit die Drehzahlen steigen: Punkte %s.", "Maintenus dans leurs limites ou repoussés vers le haut pour que les régimes montent : points %s.", "Drženy v mezích nebo posunuty nahoru, aby otáčky stoupaly: body %s."}},
    {TCurveText::NeedSelection, {"Select points first: click, Shift+click, Ctrl+click or Ctrl+A.", "Zuerst Punkte wählen: Klick, Umschalt+Klick, Strg+Klick oder Strg+A.", "Sélectionnez d'abord des points : clic, Maj+clic, Ctrl+clic ou Ctrl+A.", "Nejprve vyberte body: klik, Shift+klik, Ctrl+klik nebo Ctrl+A."}},
    {TCurveText::NeedPointsBetween, {"Select two points with other points between them.", "Zwei Punkte wählen, zwischen denen weitere Punkte liegen.", "Sélectionnez deux points entre lesquels se trouvent d'autres points.", "Vyberte dva body, mezi nimiž leží další body."}},
    {TCurveText::NeedThreePoints, {"Select at least three points.", "Mindestens drei Punkte wählen.", "Sélectionnez au moins trois points.", "Vyberte aspoň tři body."}},
    {TCurveText::CurveFull, {"The curve has 15 points already.", "Die Kurve hat schon 15 Punkte.", "La courbe a déjà 15 points.", "Křivka už má 15 bodů."}},
    {TCurveText::LastPointStays, {"A curve keeps at least one point.", "Eine Kurve behält mindestens einen Punkt.", "Une courbe garde au moins un point.", "Křivka si ponechá aspoň jeden bod."}},
    {TCurveText::Copied, {"%d points copied.", "%d Punkte kopiert.", "%d points copiés.", "Zkopírováno bodů: %d."}},
    {TCurveText::Exported, {"Curve written to %s.", "Kurve in %s geschrieben.", "Courbe écrite dans %s.", "Křivka zapsána do %s."}},
    {TCurveText::PasteRefused, {"The clipboard holds no curve; nothing was changed.", "Die Zwischenablage enthält keine Kurve; nichts wurde geändert.", "Le presse-papiers ne contient pas de courbe ; rien n'a été modifié.", "Schránka neobsahuje křivku; nic nebylo změněno."}},
    {TCurveText::ImportRefused, {"The file holds no curve; nothing was changed.", "Die Datei enthält keine Kurve; nichts wurde geändert.", "Le fichier ne contient pas de courbe ; rien n'a été modifié.", "Soubor neobsahuje křivku; nic nebylo změněno."}},
    {TCurveText::TableEmpty, {"There is no line with a speed and an advance.", "Es gibt keine Zeile mit Drehzahl und Vorzündung.", "Aucune ligne ne contient un régime et une avance.", "Chybí řádek s otáčkami a předstihem."}},
    {TCurveText::TableNotANumber, {"Line %d: a value is not a number.", "Zeile %d: ein Wert ist keine Zahl.", "Ligne %d : une valeur n'est pas un nombre.", "Řádek %d: hodnota není číslo."}},
    {TCurveText::TableOneValue, {"Line %d holds one value only; each line needs a speed and an advance.", "Zeile %d enthält nur einen Wert; jede Zeile braucht Drehzahl und Vorzündung.", "La ligne %d ne contient qu'une valeur ; chaque ligne demande un régime et une avance.", "Řádek %d obsahuje jen jednu hodnotu; každý řádek potřebuje otáčky a předstih."}},
    {TCurveText::TableTooManyValues, {"Line %d holds more than two values; each line needs a speed and an advance.", "Zeile %d enthält mehr als zwei Werte; jede Zeile braucht Drehzahl und Vorzündung.", "La ligne %d contient plus de deux valeurs ; chaque ligne demande un régime et une avance.", "Řádek %d obsahuje víc než dvě hodnoty; každý řádek potřebuje otáčky a předstih."}},
    {TCurveText::TableTooManyPoints, {"Line %d would be a 16th point; a curve has at most 15.", "Zeile %d wäre ein 16. Punkt; eine Kurve hat höchstens 15.", "La ligne %d serait un 16e point ; une courbe en a au plus 15.", "Řádek %d by byl 16. bodem; křivka má nejvýše 15 bodů."}},
    {TCurveText::ExportDialogTitle, {"Export curve to", "Kurve exportieren nach", "Exporter la courbe vers", "Exportovat křivku do"}},
    {TCurveText::ImportDialogTitle, {"Import curve from", "Kurve importieren aus", "Importer la courbe depuis", "Importovat křivku ze souboru"}},
    {TCurveText::AllFilesFilter, {"All files (*)", "Alle Dateien (*)", "Tous les fichiers (*)", "Všechny soubory (*)"}},
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
