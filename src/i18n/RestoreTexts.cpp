#include "i18n/RestoreTexts.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "i18n/ControlTexts.h"
#include "i18n/MessageTable.h"
#include "model/Keying.h"

namespace {

using K = TRestoreText;

struct TRestoreRow {
  TRestoreText Key;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8); %d: a number
};

// clang-format off
constexpr TRestoreRow RestoreRows[] = {
    {K::MenuBackUp, {"&Back up before programming", "Vor dem Programmieren &sichern", "&Sauvegarder avant de programmer", "&Zálohovat před programováním"}},
    {K::MenuBackUpHint, {"Read the unit into a restore point before every programming", "Vor jedem Programmieren die Zündung in einen Wiederherstellungspunkt lesen", "Lire le boîtier dans un point de restauration avant chaque programmation", "Před každým programováním přečíst zapalování do bodu obnovení"}},
    {K::MenuRestorePoints, {"Restore &points...", "Wiederherstellungs&punkte...", "&Points de restauration...", "&Body obnovení..."}},
    {K::MenuRestorePointsHint, {"Parameters read from a unit or programmed into it, kept automatically", "Automatisch aufbewahrte Kenndaten, aus einer Zündung gelesen oder in sie programmiert", "Paramètres lus dans un boîtier ou programmés, conservés automatiquement", "Automaticky uchované parametry přečtené ze zapalování nebo do něj naprogramované"}},
    {K::MenuDifferences, {"&Differences...", "&Unterschiede...", "&Différences...", "&Rozdíly..."}},
    {K::MenuDifferencesHint, {"Which values differed when the unit's reply failed the comparison", "Welche Werte abwichen, als die Antwort der Zündung die Prüfung nicht bestand", "Les valeurs qui différaient quand la réponse du boîtier a échoué à la comparaison", "Které hodnoty se lišily, když odpověď zapalování neprošla porovnáním"}},
    {K::RestoreTitle, {"Restore points", "Wiederherstellungspunkte", "Points de restauration", "Body obnovení"}},
    {K::ColumnUnit, {"Unit", "Zündung", "Boîtier", "Zapalování"}},
    {K::ColumnDate, {"Date", "Datum", "Date", "Datum"}},
    {K::ColumnKind, {"Kind", "Art", "Type", "Druh"}},
    {K::KindRead, {"read", "gelesen", "lu", "přečteno"}},
    {K::KindProgrammed, {"programmed", "programmiert", "programmé", "naprogramováno"}},
    {K::NoRestorePoints, {"No restore points yet. One is kept after every successful Read and programming.", "Noch keine Wiederherstellungspunkte. Nach jedem erfolgreichen Lesen und Programmieren wird einer aufbewahrt.", "Pas encore de point de restauration. Un point est conservé après chaque lecture et chaque programmation réussies.", "Zatím žádné body obnovení. Po každém úspěšném čtení a programování se jeden uloží."}},
    {K::Folder, {"Folder:", "Ordner:", "Dossier :", "Složka:"}},
    {K::Close, {"Close", "Schließen", "Fermer", "Zavřít"}},
    {K::DiffTitle, {"Differences", "Unterschiede", "Différences", "Rozdíly"}},
    {K::ColumnParameter, {"Parameter", "Parameter", "Paramètre", "Parametr"}},
    {K::ColumnPc, {"PC", "PC", "PC", "PC"}},
    {K::ColumnScreen, {"Screen", "Bildschirm", "Écran", "Obrazovka"}},
    {K::CompareWithFile, {"Co&mpare with file...", "Mit Datei &vergleichen...", "Co&mparer avec un fichier...", "&Porovnat se souborem..."}},
    {K::CompareWithFileHint, {"Compare the parameters on the screen with a parameter file", "Die Kenndaten auf dem Bildschirm mit einer Kenndatendatei vergleichen", "Comparer les paramètres de l'écran avec un fichier de paramètres", "Porovnat parametry na obrazovce se souborem parametrů"}},
    {K::NoDifferences, {"No differences.", "Keine Unterschiede.", "Aucune différence.", "Žádné rozdíly."}},
    {K::ReplyDiffers, {"The unit's last reply that failed the comparison differs from the PC's parameters in these values:", "Die letzte Antwort der Zündung, die die Prüfung nicht bestand, weicht in diesen Werten von den Kenndaten am PC ab:", "La dernière réponse du boîtier qui a échoué à la comparaison diffère des paramètres du PC par ces valeurs :", "Poslední odpověď zapalování, která neprošla porovnáním, se od parametrů v PC liší v těchto hodnotách:"}},
    {K::FileDiffers, {"The screen compared with the file:", "Der Bildschirm verglichen mit der Datei:", "L'écran comparé au fichier :", "Obrazovka porovnaná se souborem:"}},
    {K::ClickForDifferences, {"Click to see which values differ", "Klicken, um zu sehen, welche Werte abweichen", "Cliquer pour voir les valeurs qui diffèrent", "Klepněte pro zobrazení hodnot, které se liší"}},
    {K::RestorePointNotSaved, {"Restore point not saved:", "Wiederherstellungspunkt nicht gespeichert:", "Point de restauration non enregistré :", "Bod obnovení nebyl uložen:"}},
    {K::FieldKeying, {"Type of keying", "Zündungstyp", "Type d'allumage", "Typ zapalování"}},
    {K::FieldIgnitions, {"Ignitions per revolution", "Zündungen pro Umdrehung", "Allumages par tour", "Zápalů za otáčku"}},
    {K::Point, {"Point %d", "Stützpunkt %d", "Point %d", "Bod %d"}},
    {K::Byte, {"Byte %d", "Byte %d", "Octet %d", "Bajt %d"}},
};
// clang-format on

constexpr bool EveryKeyInItsRow() {
  for (int i = 0; i < int(K::Count); ++i)
    if (int(RestoreRows[i].Key) != i) return false;
  return std::size(RestoreRows) == std::size_t(K::Count);
}
static_assert(EveryKeyInItsRow());

int Column(TLanguage language) {
  return language < LanguageCount ? int(language) : int(LangEnglish);
}

std::string WithNumber(TRestoreText key, TLanguage language, int number) {
  std::string text = RestoreText(key, language);
  if (const std::size_t at = text.find("%d"); at != std::string::npos)
    text.replace(at, 2, std::to_string(number));
  return text;
}

// A caption as a name: no accelerator, no colon closing a group's title.
std::string AsName(const std::string& caption) {
  std::string name = StripAccelerator(caption);
  while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
  return name;
}

// The window's texts of one language, looked up by control.
class TScreenTexts {
public:
  TScreenTexts(TLanguage language, const TMessageCatalogue& msg)
      : Language(language), Msg(msg), Texts(BuildControlTexts(language, msg)) {}

  std::string Caption(const std::string& key) const {
    if (key == "ComboBoxBike") return RestoreText(K::FieldKeying, Language);
    if (key == "ComboBoxPocPalcu") return RestoreText(K::FieldIgnitions, Language);
    for (const TResolvedText& t : Texts)
      if (t.Prop == TTextProp::Caption && t.Control == key) return AsName(t.Text);
    return key;
  }
  std::string Item(const std::string& key, int index) const {
    if (key == "ComboBoxBike") return BikeItemTexts[static_cast<std::size_t>(index)];
    for (const TResolvedText& t : Texts)
      if (t.Prop == TTextProp::Items && t.Control == key &&
          static_cast<std::size_t>(index) < t.Items.size())
        return t.Items[static_cast<std::size_t>(index)];
    return std::to_string(index);
  }

  std::string FieldCaption(const TParamField& field) const {
    if (field.Unit == TFieldUnit::Byte) return WithNumber(K::Byte, Language, field.Offset);
    std::string caption = Caption(field.CaptionKey);
    if (field.GroupKey != nullptr) caption = Caption(field.GroupKey) + ": " + caption;
    if (field.Point > 0) caption = WithNumber(K::Point, Language, field.Point) + ": " + caption;
    return caption;
  }
  std::string ValueText(const TParamField& field, TFieldValue value) const {
    switch (value.Kind) {
    case TFieldValue::Item:
      return Item(field.ItemsKey, value.Value);
    case TFieldValue::Flag:
      return value.Value != 0 ? Msg.MsgYes : Msg.MsgNo;
    case TFieldValue::Number:
    case TFieldValue::Raw:
      break;
    }
    return std::to_string(value.Value);
  }

private:
  TLanguage Language;
  const TMessageCatalogue& Msg;
  std::vector<TResolvedText> Texts;
};

} // namespace

std::string RestoreText(TRestoreText key, TLanguage language) {
  const int row = int(key);
  if (row < 0 || row >= int(K::Count)) return {};
  return RestoreRows[row].Text[Column(language)];
}

std::string RestorePointFailureText(const TFailureReport& failure, TLanguage language) {
  return RestoreText(K::RestorePointNotSaved, language) + " " + DescribeFailure(failure, language);
}

std::vector<TDifferenceRow> DescribeDifferences(const std::vector<TParamDifference>& differences,
                                                TLanguage language, const TMessageCatalogue& msg) {
  const TScreenTexts texts(language, msg);
  std::vector<TDifferenceRow> rows;
  rows.reserve(differences.size());
  for (const TParamDifference& d : differences)
    rows.push_back({texts.FieldCaption(*d.Field), texts.ValueText(*d.Field, d.Left),
                    texts.ValueText(*d.Field, d.Right)});
  return rows;
}

TFieldText DescribeField(const TParamField& field, const TIgnParams& p, TLanguage language,
                         const TMessageCatalogue& msg) {
  const TScreenTexts texts(language, msg);
  return {texts.FieldCaption(field), texts.ValueText(field, ReadField(field, p))};
}

std::string ScreenCaption(const std::string& control, TLanguage language,
                          const TMessageCatalogue& msg) {
  return TScreenTexts(language, msg).Caption(control);
}
