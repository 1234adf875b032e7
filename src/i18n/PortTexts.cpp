#include "i18n/PortTexts.h"

#include <iterator>

#include "i18n/MessageTable.h"

namespace {

struct TPortTextRow {
  TPortText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// clang-format off
const TPortTextRow PortTextTable[] = {
    {TPortText::NotPresent, {"not present", "nicht vorhanden", "absent", "není připojeno"}},
    {TPortText::SerialNumber, {"serial number", "Seriennummer", "numéro de série", "sériové číslo"}},
    {TPortText::OnBoard, {"on-board serial port", "serielle Schnittstelle der Hauptplatine", "port série intégré", "sériový port základní desky"}},
    {TPortText::PseudoTerminal, {"pseudo-terminal", "Pseudo-Terminal", "pseudo-terminal", "pseudoterminál"}},
    {TPortText::DialogCaption, {"Serial ports", "Serielle Schnittstellen", "Ports série", "Sériové porty"}},
    {TPortText::ColumnDevice, {"Device", "Gerät", "Périphérique", "Zařízení"}},
    {TPortText::ColumnAdapter, {"Adapter", "Adapter", "Adaptateur", "Adaptér"}},
    {TPortText::ColumnById, {"Stable name (by-id)", "Fester Name (by-id)", "Nom stable (by-id)", "Stálý název (by-id)"}},
    {TPortText::ColumnAccess, {"Access", "Zugriff", "Accès", "Přístup"}},
    {TPortText::ColumnCom, {"Com item", "Com-Eintrag", "Élément Com", "Položka Com"}},
    {TPortText::AccessOk, {"yes", "ja", "oui", "ano"}},
    {TPortText::AccessDenied, {"no permission", "keine Berechtigung", "pas d'autorisation", "bez oprávnění"}},
    {TPortText::Assign, {"&Assign to", "&Zuweisen an", "&Attribuer à", "&Přiřadit k"}},
    {TPortText::Close, {"&Close", "&Schließen", "&Fermer", "&Zavřít"}},
    {TPortText::NoDevices, {"No serial port found. Plug in the adapter: the list follows by itself.", "Keine serielle Schnittstelle gefunden. Schließen Sie den Adapter an: die Liste folgt von selbst.", "Aucun port série trouvé. Branchez l'adaptateur : la liste suit d'elle-même.", "Nenalezen žádný sériový port. Připojte adaptér: seznam se obnoví sám."}},
    {TPortText::Assigned, {"Com %1 now leads to %2. Choose Com %1 in the Com menu to open it.", "Com %1 führt jetzt zu %2. Wählen Sie Com %1 im Menü, um ihn zu öffnen.", "Com %1 mène maintenant à %2. Choisissez Com %1 dans le menu pour l'ouvrir.", "Com %1 nyní vede na %2. Pro otevření zvolte Com %1 v nabídce."}},
    {TPortText::EnvironmentFirst, {"VANTEL_COM%1 is set in the environment: Com %1 opens %2 until it is removed.", "VANTEL_COM%1 ist in der Umgebung gesetzt: Com %1 öffnet %2, bis sie entfernt wird.", "VANTEL_COM%1 est défini dans l'environnement : Com %1 ouvre %2 tant qu'elle n'est pas supprimée.", "V prostředí je nastavena proměnná VANTEL_COM%1: Com %1 otevírá %2, dokud ji neodstraníte."}},
};
// clang-format on

} // namespace

std::string PortText(TPortText key, TLanguage language) {
  const int column = language < LanguageCount ? int(language) : int(LangEnglish);
  for (const TPortTextRow& row : PortTextTable)
    if (row.Key == key) return row.Text[column];
  return {};
}

std::string PortText(TPortText key, TLanguage language, const std::string& first,
                     const std::string& second) {
  std::string text = PortText(key, language);
  for (std::size_t at = 0; (at = text.find('%', at)) != std::string::npos;) {
    const char which = at + 1 < text.size() ? text[at + 1] : '\0';
    const std::string* value = which == '1' ? &first : which == '2' ? &second : nullptr;
    if (value == nullptr) {
      ++at;
      continue;
    }
    text.replace(at, 2, *value);
    at += value->size();
  }
  return text;
}
