#include "i18n/BikeTexts.h"

#include <array>
#include <iterator>

#include "i18n/MessageTable.h"

namespace {

using K = TBikeText;

struct TBikeRow {
  TBikeText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// clang-format off
constexpr TBikeRow BikeRows[] = {
    {K::MenuBikes, {"Bi&kes...", "&Motorräder...", "Mo&tos...", "&Motocykly..."}},
    {K::MenuBikesHint, {"The workshop's bikes and customers with each bike's history", "Die Motorräder und Kunden der Werkstatt mit dem Verlauf jedes Motorrads", "Les motos et les clients de l'atelier avec l'historique de chaque moto", "Motocykly a zákazníci dílny s historií každého motocyklu"}},
    {K::BikesTitle, {"Bikes", "Motorräder", "Motos", "Motocykly"}},
    {K::Search, {"&Search:", "&Suchen:", "&Rechercher :", "&Hledat:"}},
    {K::ColumnName, {"Name", "Name", "Nom", "Název"}},
    {K::ColumnCustomer, {"Customer", "Kunde", "Client", "Zákazník"}},
    {K::ColumnMake, {"Make and model", "Marke und Modell", "Marque et modèle", "Značka a model"}},
    {K::ColumnYear, {"Year", "Baujahr", "Année", "Rok"}},
    {K::ColumnRegistration, {"Registration or frame number", "Kennzeichen oder Rahmennummer", "Immatriculation ou numéro de cadre", "SPZ nebo číslo rámu"}},
    {K::FieldName, {"&Name:", "&Name:", "&Nom :", "&Název:"}},
    {K::FieldCustomer, {"&Customer:", "&Kunde:", "&Client :", "&Zákazník:"}},
    {K::FieldMake, {"&Make:", "&Marke:", "&Marque :", "Znač&ka:"}},
    {K::FieldModel, {"M&odel:", "M&odell:", "M&odèle :", "&Model:"}},
    {K::FieldYear, {"&Year:", "&Baujahr:", "&Année :", "&Rok:"}},
    {K::FieldRegistration, {"&Registration or frame number:", "Kennzeichen oder &Rahmennummer:", "&Immatriculation ou numéro de cadre :", "&SPZ nebo číslo rámu:"}},
    {K::FieldNotes, {"No&tes:", "No&tizen:", "No&tes :", "Poz&námky:"}},
    {K::NewBike, {"&New...", "&Neu...", "&Nouvelle...", "&Nový..."}},
    {K::EditBike, {"&Edit...", "&Bearbeiten...", "&Modifier...", "&Upravit..."}},
    {K::DeleteBike, {"&Delete", "&Löschen", "&Supprimer", "&Smazat"}},
    {K::MakeCurrent, {"Make &current", "&Aktuell machen", "Rendre &courante", "Nastavit jako &aktuální"}},
    {K::NoCurrentBike, {"No current &bike", "&Kein aktuelles Motorrad", "&Aucune moto courante", "Žádný aktuální &motocykl"}},
    {K::Close, {"Close", "Schließen", "Fermer", "Zavřít"}},
    {K::NoBike, {"No bike", "Kein Motorrad", "Aucune moto", "Bez motocyklu"}},
    {K::History, {"History", "Verlauf", "Historique", "Historie"}},
    {K::ColumnTime, {"Date", "Datum", "Date", "Datum"}},
    {K::ColumnKind, {"Kind", "Art", "Type", "Druh"}},
    {K::ColumnUnit, {"Unit", "Zündung", "Boîtier", "Zapalování"}},
    {K::ColumnFile, {"File", "Datei", "Fichier", "Soubor"}},
    {K::ColumnNote, {"Note", "Notiz", "Note", "Poznámka"}},
    {K::KindRead, {"read", "gelesen", "lu", "přečteno"}},
    {K::KindProgrammed, {"programmed", "programmiert", "programmé", "naprogramováno"}},
    {K::KindBackUp, {"back-up before programming", "Sicherung vor dem Programmieren", "sauvegarde avant programmation", "záloha před programováním"}},
    {K::KindSaved, {"saved", "gespeichert", "enregistré", "uloženo"}},
    {K::OpenEntry, {"&Open", "Ö&ffnen", "&Ouvrir", "&Otevřít"}},
    {K::CompareEntry, {"Com&pare with screen", "Mit Bildschirm &vergleichen", "Com&parer avec l'écran", "&Porovnat s obrazovkou"}},
    {K::NoteEntry, {"No&te...", "No&tiz...", "No&te...", "Pozná&mka..."}},
    {K::AssignEntries, {"Assi&gn to bike...", "Motorrad &zuordnen...", "Attri&buer à une moto...", "Přiřadit k moto&cyklu..."}},
    {K::Export, {"E&xport...", "E&xportieren...", "E&xporter...", "E&xportovat..."}},
    {K::Import, {"&Import...", "&Importieren...", "&Importer...", "&Importovat..."}},
    {K::CurrentBike, {"Bike: %1", "Motorrad: %1", "Moto : %1", "Motocykl: %1"}},
    {K::NoneCurrent, {"Bike: none", "Motorrad: keines", "Moto : aucune", "Motocykl: žádný"}},
    {K::AskWhichBike, {"Which bike is this?", "Welches Motorrad ist das?", "Quelle moto est-ce ?", "Který motocykl to je?"}},
    {K::AskNewBike, {"New bike...", "Neues Motorrad...", "Nouvelle moto...", "Nový motocykl..."}},
    {K::AskNotNow, {"Not now", "Nicht jetzt", "Pas maintenant", "Teď ne"}},
    {K::AskChoose, {"Choose", "Wählen", "Choisir", "Vybrat"}},
    {K::WarnOtherUnit, {"The bike %1 was last read from the unit %2, but the unit read last is %3. Program it all the same?", "Das Motorrad %1 wurde zuletzt aus der Zündung %2 gelesen, zuletzt gelesen wurde aber die Zündung %3. Trotzdem programmieren?", "La moto %1 a été lue la dernière fois depuis le boîtier %2, mais le dernier boîtier lu est %3. Programmer quand même ?", "Motocykl %1 byl naposledy přečten ze zapalování %2, naposledy přečtené zapalování je ale %3. Přesto programovat?"}},
    {K::ConfirmDelete, {"Delete the bike %1 from the library? Its restore-point files stay on disk.", "Das Motorrad %1 aus der Bibliothek löschen? Seine Wiederherstellungspunkte bleiben auf der Festplatte.", "Supprimer la moto %1 de la bibliothèque ? Ses fichiers de points de restauration restent sur le disque.", "Smazat motocykl %1 z knihovny? Jeho soubory bodů obnovení zůstanou na disku."}},
    {K::ImportNameTaken, {"A bike named %1 is in the library already. Yes adds the history to it and takes the imported details, No imports it under another name.", "Ein Motorrad namens %1 ist schon in der Bibliothek. Ja fügt ihm den Verlauf hinzu und übernimmt die importierten Angaben, Nein importiert es unter einem anderen Namen.", "Une moto nommée %1 est déjà dans la bibliothèque. Oui lui ajoute l'historique et reprend les détails importés, Non l'importe sous un autre nom.", "Motocykl jménem %1 už v knihovně je. Ano k němu přidá historii a převezme importované údaje, Ne ho importuje pod jiným názvem."}},
    {K::Exported, {"The bike was exported to %1", "Das Motorrad wurde nach %1 exportiert", "La moto a été exportée vers %1", "Motocykl byl exportován do %1"}},
    {K::Imported, {"The bike %1 was imported", "Das Motorrad %1 wurde importiert", "La moto %1 a été importée", "Motocykl %1 byl importován"}},
    {K::LibraryMovedAside, {"The bike library was damaged; it was moved aside to %1 and a new one was made. The restore points appear under No bike.", "Die Motorrad-Bibliothek war beschädigt; sie wurde nach %1 verschoben und eine neue angelegt. Die Wiederherstellungspunkte stehen unter Kein Motorrad.", "La bibliothèque des motos était endommagée ; elle a été mise de côté sous %1 et une nouvelle a été créée. Les points de restauration apparaissent sous Aucune moto.", "Knihovna motocyklů byla poškozená; byla odsunuta do %1 a byla založena nová. Body obnovení jsou pod Bez motocyklu."}},
    {K::LibraryUnusable, {"The bike library cannot be used: %1", "Die Motorrad-Bibliothek kann nicht benutzt werden: %1", "La bibliothèque des motos est inutilisable : %1", "Knihovnu motocyklů nelze použít: %1"}},
    {K::NoteTitle, {"Note", "Notiz", "Note", "Poznámka"}},
    {K::BikeTitle, {"Bike", "Motorrad", "Moto", "Motocykl"}},
    {K::AssignTitle, {"Assign to bike", "Motorrad zuordnen", "Attribuer à une moto", "Přiřadit k motocyklu"}},
    {K::ErrorNotOpened, {"the library cannot be opened", "die Bibliothek kann nicht geöffnet werden", "la bibliothèque ne peut pas être ouverte", "knihovnu nelze otevřít"}},
    {K::ErrorBusy, {"another program holds the library; try again", "ein anderes Programm hält die Bibliothek; bitte erneut versuchen", "un autre programme tient la bibliothèque ; réessayez", "knihovnu drží jiný program; zkuste to znovu"}},
    {K::ErrorFull, {"the disk is full; nothing was changed", "der Datenträger ist voll; nichts wurde geändert", "le disque est plein ; rien n'a été modifié", "disk je plný; nic nebylo změněno"}},
    {K::ErrorReadOnly, {"the library cannot be written", "die Bibliothek kann nicht geschrieben werden", "la bibliothèque ne peut pas être écrite", "do knihovny nelze zapisovat"}},
    {K::ErrorNewer, {"the library was made by a newer version of this program", "die Bibliothek stammt von einer neueren Version dieses Programms", "la bibliothèque a été créée par une version plus récente de ce programme", "knihovnu vytvořila novější verze tohoto programu"}},
    {K::ErrorDamaged, {"the library is damaged", "die Bibliothek ist beschädigt", "la bibliothèque est endommagée", "knihovna je poškozená"}},
    {K::ErrorNameEmpty, {"a bike needs a name", "ein Motorrad braucht einen Namen", "une moto a besoin d'un nom", "motocykl potřebuje název"}},
    {K::ErrorNameTooLong, {"a name has at most 200 characters", "ein Name hat höchstens 200 Zeichen", "un nom a au plus 200 caractères", "název má nejvýše 200 znaků"}},
    {K::ErrorNameInvalid, {"a name is one line of text", "ein Name ist eine Zeile Text", "un nom est une ligne de texte", "název je jeden řádek textu"}},
    {K::ErrorNameTaken, {"a bike of this name is in the library already", "ein Motorrad dieses Namens ist schon in der Bibliothek", "une moto de ce nom est déjà dans la bibliothèque", "motocykl tohoto názvu už v knihovně je"}},
    {K::ErrorNotFound, {"no bike of this name is in the library", "kein Motorrad dieses Namens ist in der Bibliothek", "aucune moto de ce nom dans la bibliothèque", "motocykl tohoto názvu v knihovně není"}},
    {K::ErrorNotABikeFolder, {"the folder holds no exported bike", "der Ordner enthält kein exportiertes Motorrad", "le dossier ne contient aucune moto exportée", "složka neobsahuje žádný exportovaný motocykl"}},
    {K::ErrorNotWritten, {"the files could not be written", "die Dateien konnten nicht geschrieben werden", "les fichiers n'ont pas pu être écrits", "soubory nebylo možné zapsat"}},
    {K::ErrorFailed, {"the library reported an error", "die Bibliothek meldete einen Fehler", "la bibliothèque a signalé une erreur", "knihovna ohlásila chybu"}},
};
// clang-format on

constexpr bool EveryKeyInItsRow() {
  for (int i = 0; i < int(K::Count); ++i)
    if (int(BikeRows[i].Key) != i) return false;
  return std::size(BikeRows) == std::size_t(K::Count);
}
static_assert(EveryKeyInItsRow());

} // namespace

std::string BikeText(TBikeText key, TLanguage language, const std::vector<std::string>& arguments) {
  const int column = language < LanguageCount ? int(language) : int(LangEnglish);
  const std::string text = BikeRows[static_cast<std::size_t>(key)].Text[column];
  // One pass, so an argument that holds "%2" is never replaced again.
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < arguments.size()) out += arguments[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string LibraryErrorText(TLibraryError error, const std::string& detail, TLanguage language) {
  static constexpr std::array<TBikeText, 15> Sentences = {
      K::ErrorFailed,         K::ErrorNotOpened,   K::ErrorBusy,      K::ErrorFull,
      K::ErrorReadOnly,       K::ErrorNewer,       K::ErrorDamaged,   K::ErrorNameEmpty,
      K::ErrorNameTooLong,    K::ErrorNameInvalid, K::ErrorNameTaken, K::ErrorNotFound,
      K::ErrorNotABikeFolder, K::ErrorNotWritten,  K::ErrorFailed};
  static_assert(Sentences.size() == std::size_t(TLibraryError::Failed) + 1);
  std::string text = BikeText(Sentences[static_cast<std::size_t>(error)], language);
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}
