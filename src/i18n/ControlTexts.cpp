#include "i18n/ControlTexts.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "i18n/MessageTable.h"

namespace {

// A property with one text per language. Control2 names a second control that shares the
// texts: a tool button and the menu item of the same command, or a pair of column heads.
struct TControlText {
  const char* Control;
  const char* Control2;
  TTextProp Prop;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// One item of an item list; Index is the value the record stores for that choice.
struct TControlItem {
  const char* Control;
  int Index;
  const char* Text[LanguageCount];
};

// A text built from the message catalogue: Prefix + catalogue field + Suffix.
struct TCatalogueText {
  const char* Control;
  TTextProp Prop;
  std::string TMessageCatalogue::*Field;
  const char* Prefix;
  const char* Suffix;
};

// A design text that no language changes.
struct TFixedText {
  const char* Control;
  TTextProp Prop;
  const char* Text;
};

// clang-format off
const TControlText ControlTexts[] = {
    // Window and menu captions
    {"TFormHlav", nullptr, TTextProp::Caption, {"Programming of VANTEL-9 unit", "Programmierung der VANTEL-9 Zündbox", "Programation de VANTEL-9 unité", "Programování jednotky VANTEL-9"}},
    {"MenuFile", nullptr, TTextProp::Caption, {"&File", "&Datei", "&Fichier", "&Soubor"}},
    {"MenuNew", nullptr, TTextProp::Caption, {"&New", "&Neu", "&Nouveau", "&Nový"}},
    {"MenuOpen", nullptr, TTextProp::Caption, {"&Open", "&Öffnen", "&Ouvrir", "&Otevřít"}},
    {"MenuSave", nullptr, TTextProp::Caption, {"&Save", "&Speichern", "&Mèmoriser", "&Uložit"}},
    {"MenuPrint", nullptr, TTextProp::Caption, {"&Print", "&Drucken", "&Imprimer", "&Tisk"}},
    {"MenuExit", nullptr, TTextProp::Caption, {"E&xit", "&Beenden", "&Sortir", "&Konec"}},
    {"MenuCom", nullptr, TTextProp::Caption, {"&Com", "&COM-Anschluß", "&Connection com", "&Port"}},
    {"MenuDevice", nullptr, TTextProp::Caption, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
    {"MenuTools", nullptr, TTextProp::Caption, {"Tools", "Werkzeuge", "Outillage", "Pomůcky"}},
    {"MenuZpet", nullptr, TTextProp::Caption, {"Undo", "Zurück", "Undo", "Zpět"}},
    {"MenuZnovu", nullptr, TTextProp::Caption, {"Redo", "Wieder", "Redo", "Znovu"}},
    {"MenuCurve", nullptr, TTextProp::Caption, {"Curve &graph", "Kurven&grafik", "&Graphique de la courbe", "&Graf křivky"}},
    {"MenuTuneSheet", nullptr, TTextProp::Caption, {"&Tune sheet...", "&Einstellblatt...", "&Fiche de réglage...", "&List nastavení..."}},
    {"MenuRecord", nullptr, TTextProp::Caption, {"&Record live values...", "Live-Werte &aufzeichnen...", "&Enregistrer les valeurs en direct...", "&Záznam živých hodnot..."}},
    {"MenuLanguage", nullptr, TTextProp::Caption, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    {"MenuEnglish", nullptr, TTextProp::Caption, {"&English", "&Englisch", "&Englais", "&Anglicky"}},
    {"MenuGerman", nullptr, TTextProp::Caption, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    {"MenuFrench", nullptr, TTextProp::Caption, {"&French", "&Französisch", "&Francais", "Francouzky"}},
    {"MenuCzech", nullptr, TTextProp::Caption, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    {"MenuHelp", nullptr, TTextProp::Caption, {"&Help", "&Hilfe", "&Aide", "Nápověda"}},
    {"MenuContens", nullptr, TTextProp::Caption, {"&Contents...", "&Inhalt...", "&Contenu", "Obsah"}},
    {"MenuAbout", nullptr, TTextProp::Caption, {"&About...", "&Über Programm...", "&Contenu du programme", "&O programu..."}},
    {"LabelSpojeni", nullptr, TTextProp::Caption, {"No connection with PC", "Keine Verbindung zum PC", "Pas de connection acec pc", "Není spojení s PC"}},
    {"CheckBoxIgnAll", nullptr, TTextProp::Caption, {"All", "Alles", "Tout", "Vše"}},
    {"CheckBoxProgHned", nullptr, TTextProp::Caption, {"Programming after change", "Programmierung nach Änderung", "Sovegarde après modification", "Programování po změně"}},
    {"LabelAdvance1", "LabelAdvance2", TTextProp::Caption, {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {"LabelOmez1", nullptr, TTextProp::Caption, {"Start limiter [rpm]", "Startbegrenzer [rpm]", "Limitateur départ [rpm]", "Startovací omezovač [rpm]"}},
    {"LabelOmez2", nullptr, TTextProp::Caption, {"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]", "Omezovač [rpm]"}},
    {"LabelBaseAdv", nullptr, TTextProp::Caption, {"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"}},
    {"LabelPocetBodu", nullptr, TTextProp::Caption, {"Number of items", "Anzahl der Stützpunkte", "Nombre de points", "Počet bodů"}},
    {"LabelRetard", nullptr, TTextProp::Caption, {"Retard [°]", "Spätzündung [°]", "Retard d´allumage[°]", "Snížení předstihu [°]"}},
    {"LabelLedRazeni", nullptr, TTextProp::Caption, {"Gear shift light [rpm]", "Schaltblitz [rpm]", "Témoin de changement de rapport [rpm]", "Kontrolka řazení [rpm]"}},
    {"CheckBoxRevOutLedRazeni", nullptr, TTextProp::Caption, {"Reverse otput polarity", "Umgekehrte Ausgangpolarität", "Reverse otput polarity", "Opačná polarita výstupu"}},
    {"RadioGroupPolarita", nullptr, TTextProp::Caption, {"Polarity of CPS:", "Polarität des CPS:", "Polarité CPS", "Polarita CPS:"}},
    {"GroupBoxRpm", nullptr, TTextProp::Caption, {"Tachometer output", "Drehzählerausgang", "Tachometer output", "Výstup pro otáčkoměr"}},
    {"LabelRpmPulsu", nullptr, TTextProp::Caption, {"Pulses per revolution", "Pulse pro Umdrehung", "Pulses per revolution", "Počet pulsů za otáčku"}},
    {"LabelRpmKorekce", nullptr, TTextProp::Caption, {"Correction [%]", "Korrektion [%]", "Correction [%]", "Korekce [%]"}},
    {"GroupBoxMonInput", nullptr, TTextProp::Caption, {"Input to ground", "Eingang zu Erde", "Entrée de terre", "Vstup uzeměn"}},
    // The ports dialog's item, last in the Com menu
    {"MenuPorts", nullptr, TTextProp::Caption, {"&Ports...", "&Schnittstellen...", "&Ports...", "&Porty..."}},
    {"MenuPorts", nullptr, TTextProp::Hint, {"List the serial ports and assign one to a Com item", "Serielle Schnittstellen auflisten und einem Com-Eintrag zuweisen", "Lister les ports série et en attribuer un à un élément Com", "Seznam sériových portů a jejich přiřazení k položce Com"}},
    // Hints
    {"LabelRpm1", "LabelRpm2", TTextProp::Hint, {"Round per Minute|Speed - Round per Minute", "Umdrehungen pro Minute", "Tours minute", "Otáčky za minutu|Rychlost - Otáčky za minutu"}},
    {"LabelVerze1", nullptr, TTextProp::Hint, {"Version of program in ignition", "Programmverion der Zündung", "Variantes de courbe d´avance", "Verze programu v zapalování"}},
    {"LabelVerze2", nullptr, TTextProp::Hint, {"Date of program in ignition", "Datum des Programm in der Zündung", "Date de programation de la courbe d´avance", "Datum zhotovení programu v zapalování"}},
    {"LabelVerze3", nullptr, TTextProp::Hint, {"Time of program in ignition", "Programmierzeitpunkt der Zündung", "Temp de programation de la courbe d´avance", "Čas zhotovení programu v zapalování"}},
    {"SpeedButton5", "MenuOpen", TTextProp::Hint, {"Open file with parametrs", "Kenndatendatei öffnen", "Ouvrir fichier avec paramètres", "Otevření souboru s parametry"}},
    {"SpeedButton6", "MenuNew", TTextProp::Hint, {"Set default parametrs", "neue Kenndatendatei erstellen", "Reprogramation des paramètres initial Dórigine", "Nastavení výchozích parametrů"}},
    {"SpeedButton7", "MenuSave", TTextProp::Hint, {"Save parametrs to file", "Kenndaten in Datei speichern", "Sauvegarder les paramètres", "Uložení parametrů do souboru"}},
    {"SpeedButtonPrint", "MenuPrint", TTextProp::Hint, {"Print parametrs", "Kenndaten Drucken", "Imprimer paramètres", "Tisk parametrů"}},
    {"ButtonProgram", "MenuProgram", TTextProp::Hint, {"Programing  set parametrs to ignition", "Kenndaten in die Zündung programmieren", "Programer les paramètres dans ECU", "Programování nastavených parametrů do zapalování"}},
    {"ButtonVerify", "MenuVerify", TTextProp::Hint, {"Compare set parametrs  with parametrs of ignition", "Kenndaten mit Zündungskenndaten vergleichen", "Comparer les paramètres de ECU", "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"}},
    {"ButtonRead", "MenuRead", TTextProp::Hint, {"Reading parametrs from ignition", "Kenndaten aus Zündung lesen", "Lire paramètres ECU", "Čtení parametrů ze zapalování"}},
    {"BitBtnAdvMinus", nullptr, TTextProp::Hint, {"Take off 1 degree of Advance", "Vorzündung minus 1 Grad", "Retarder de 1 degré l´avance a l´allumage", "Zmenšení předstihu o 1 stupeň"}},
    {"BitBtnAdvPlus", nullptr, TTextProp::Hint, {"Add 1 degree of Advance", "Vorzündung plus 1 Grad", "Avance accroître l´avance a l´allumage de 1 degré", "Zvětšení předstihu o 1 stupeň"}},
    {"CheckBoxProgHned", nullptr, TTextProp::Hint, {"Programing at once after change", "Programmmieren sofort nach dem änderung", "Programation instantanée des modifications", "Programování ihned po změně"}},
    {"MenuExit", nullptr, TTextProp::Hint, {"End of program", "Programm beenden", "Sortir du programme", "Ukončení programu"}},
    {"MenuCom", nullptr, TTextProp::Hint, {"Set number of com", "Com-Anschluß festlegen", "installer nombre de com", "Nastavení čísla serivého portu (Com) "}},
    {"MenuLanguage", nullptr, TTextProp::Hint, {"Set English or German or French or Czech ", "wählen sie Englisch, Deutsch, Französisch oder Tschechisch ", "installer lange; Englais,Allemand , Francais ou Czech", "Nastavení jazyka na angličtinu, němčinu, francozštinu nebo češtinu "}},
    {"MenuCurve", nullptr, TTextProp::Hint, {"Advance curve as a graph with the live engine on it", "Zündkurve als Grafik mit dem laufenden Motor darauf", "Courbe d'avance en graphique avec le moteur en marche", "Křivka předstihu jako graf s běžícím motorem"}},
    {"MenuTuneSheet", nullptr, TTextProp::Hint, {"Print the parameters and the curve as a sheet for the customer, or save it as a PDF", "Kenndaten und Kurve als Blatt für den Kunden drucken oder als PDF speichern", "Imprimer les paramètres et la courbe sur une fiche pour le client, ou l'enregistrer en PDF", "Vytisknout parametry a křivku jako list pro zákazníka nebo je uložit do PDF"}},
    {"MenuRecord", nullptr, TTextProp::Hint, {"Record the live values into a CSV file; choose again to stop", "Live-Werte in eine CSV-Datei aufzeichnen; erneut wählen zum Beenden", "Enregistrer les valeurs en direct dans un fichier CSV ; choisir à nouveau pour arrêter", "Zaznamenávat živé hodnoty do souboru CSV; opětovnou volbou záznam ukončíte"}},
};

const TControlItem ControlItems[] = {
    {"ComboBoxPocPalcu", 0, {"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution", "1 zápal za otáčku"}},
    {"ComboBoxPocPalcu", 1, {"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution", "2 zápaly za otáčku"}},
    {"ComboBoxPocPalcu", 2, {"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution", "3 zápaly za otáčku"}},
    {"ComboBoxPocPalcu", 3, {"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)", "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"}},
    {"RadioGroupPolarita", 0, {"Positive", "Positiv", "Positif", "Kladná"}},
    {"RadioGroupPolarita", 1, {"Negative", "Negativ", "Négatif", "Záporná"}},
    {"RadioGroupPolarita", 2, {"Selfsearch", "Automatisch", "Automatique", "Samohledání"}},
    {"RadioGroupInput1", 0, {"Off", "Aus", "Off", "Vypnut"}},
    {"RadioGroupInput1", 1, {"Kill switch", "Not Aus", "Interrupteur de sécurité", "Kill switch"}},
    {"RadioGroupInput1", 2, {"Clutch master", "Schaltautomat", "par embeillage", "Clutch master"}},
    {"RadioGroupInput1", 3, {"Retard", "Spätzündung", "Retard à l´allumage", "Snížení předstihu"}},
    {"RadioGroupInput1", 4, {"Start Limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"}},
    {"RadioGroupInput2", 0, {"Off", "Aus", "Off", "Vypnut"}},
    {"RadioGroupInput2", 1, {"Blocking", "Blockierung", "Blocage", "Blokování"}},
    {"RadioGroupInput2", 2, {"Clutch master", "Schaltautomat", "par embeillage", "Clutch master"}},
    {"RadioGroupInput2", 3, {"Retard", "Spätzündung", "Retard à l´allumage", "Snížení předstihu"}},
    {"RadioGroupInput2", 4, {"Start Limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"}},
};

const TCatalogueText CatalogueTexts[] = {
    {"MenuRead",         TTextProp::Caption, &TMessageCatalogue::MsgRead,        "&", ""},
    {"MenuVerify",       TTextProp::Caption, &TMessageCatalogue::MsgVerify,      "&", ""},
    {"MenuProgram",      TTextProp::Caption, &TMessageCatalogue::MsgProgramming, "&", ""},
    {"ButtonRead",       TTextProp::Caption, &TMessageCatalogue::MsgRead,        "&", ""},
    {"ButtonVerify",     TTextProp::Caption, &TMessageCatalogue::MsgVerify,      "&", ""},
    {"ButtonProgram",    TTextProp::Caption, &TMessageCatalogue::MsgProgramming, "&", ""},
    {"MenuAdvanceMinus", TTextProp::Caption, &TMessageCatalogue::MsgAdvance,     "",  " -"},
    {"MenuAdvancePlus",  TTextProp::Caption, &TMessageCatalogue::MsgAdvance,     "",  " +"},
    {"RadioGroupInput1", TTextProp::Caption, &TMessageCatalogue::MsgInput,       "",  " 1"},
    {"RadioGroupInput2", TTextProp::Caption, &TMessageCatalogue::MsgInput,       "",  " 2"},
};

const TFixedText FixedTexts[] = {
    // Each language item speaks its own language.
    {"MenuEnglish",      TTextProp::Hint,    "Set English menu"},
    {"MenuGerman",       TTextProp::Hint,    "Deutsches Menü"},
    {"MenuFrench",       TTextProp::Hint,    "Installer en Francais "},
    {"MenuCzech",        TTextProp::Hint,    "Nastavit české menu"},
    {"LabelClutch1",     TTextProp::Caption, "Clutch master time [ms]"},
    {"LabelClutch2",     TTextProp::Caption, "Clutch master pause [ms]"},
    {"LabelRpm1",        TTextProp::Caption, "RPM"},
    {"LabelRpm2",        TTextProp::Caption, "RPM"},
    {"LabelEeDataErr",   TTextProp::Caption, "Programmed data error"},
    {"MenuCom1",         TTextProp::Caption, "Com &1"},
    {"MenuCom2",         TTextProp::Caption, "Com &2"},
    {"MenuCom3",         TTextProp::Caption, "Com &3"},
    {"MenuCom4",         TTextProp::Caption, "Com &4"},
    {"MenuCom5",         TTextProp::Caption, "Com &5"},
    {"MenuCom6",         TTextProp::Caption, "Com &6"},
    {"MenuCom7",         TTextProp::Caption, "Com &7"},
    {"MenuCom8",         TTextProp::Caption, "Com &8"},
    {"MenuCom9",         TTextProp::Caption, "Com &9"},
    {"MenuCom10",        TTextProp::Caption, "Com 1&0"},
    {"ComboBoxBike",     TTextProp::Hint,    "Type of keying"},
    {"ComboBoxPocPalcu", TTextProp::Hint,    "Type of keying"},
    {"MenuAdvanceMinus", TTextProp::Hint,    "Curve A minus|Take off 1 degree of curve A"},
    {"MenuAdvancePlus",  TTextProp::Hint,    "Curve A plus|Add 1 degree of curve A"},
    {"MenuHelp",         TTextProp::Hint,    "Not available jet"},
};

// Hint of MenuCom<n>: this head, a blank and n.
const char* const ComHintHead[LanguageCount] = {"Set com", "Com-Anschluß auswahl", "installer com", "Nastavení komunikace na port com"};

const char* const TooltipControls[] = {
    "LabelVerze1", "LabelVerze2", "LabelVerze3", "SpeedButton5", "SpeedButton6", "SpeedButton7",
    "SpeedButtonPrint", "ButtonRead", "ButtonVerify", "ButtonProgram", "BitBtnAdvMinus",
    "BitBtnAdvPlus", "ComboBoxBike", "ComboBoxPocPalcu", "CheckBoxProgHned", "LabelRetard",
    "LabelClutch1", "LabelClutch2", "LabelLedRazeni", "CheckBoxRevOutLedRazeni",
};

const char* const AboutCaptions[LanguageCount] = {"About VANTEL-9", "Über Programm VANTEL-9", "Information VANTEL-9", "O programu VANTEL-9"};
// clang-format on

constexpr int ComPortCount = 10;

TResolvedText Resolved(std::string control, TTextProp prop, std::string text) {
  return TResolvedText{std::move(control), prop, std::move(text), {}};
}

} // namespace

std::vector<TResolvedText> BuildControlTexts(TLanguage language, const TMessageCatalogue& msg) {
  const int lang = language < LanguageCount ? int(language) : int(LangEnglish);
  std::vector<TResolvedText> list;
  list.reserve(std::size(ControlTexts) * 2 + std::size(CatalogueTexts) + std::size(FixedTexts) +
               ComPortCount + 8);

  const char* fileMenu = "";
  for (const TControlText& row : ControlTexts) {
    list.push_back(Resolved(row.Control, row.Prop, row.Text[lang]));
    if (row.Control2) list.push_back(Resolved(row.Control2, row.Prop, row.Text[lang]));
    if (row.Prop == TTextProp::Caption && std::strcmp(row.Control, "MenuFile") == 0)
      fileMenu = row.Text[lang];
  }
  // The file name's label takes the File menu's caption, accelerator included.
  list.push_back(Resolved("LabelFile1", TTextProp::Caption, std::string(fileMenu) + ":"));

  for (const TCatalogueText& row : CatalogueTexts)
    list.push_back(Resolved(row.Control, row.Prop, row.Prefix + msg.*row.Field + row.Suffix));

  for (const TFixedText& row : FixedTexts)
    list.push_back(Resolved(row.Control, row.Prop, row.Text));

  for (int n = 1; n <= ComPortCount; ++n)
    list.push_back(
        Resolved("MenuCom" + std::to_string(n), TTextProp::Hint, ComItemHint(language, n)));

  for (const TControlItem& row : ControlItems) {
    auto it = std::find_if(list.begin(), list.end(), [&](const TResolvedText& t) {
      return t.Prop == TTextProp::Items && t.Control == row.Control;
    });
    if (it == list.end()) it = list.insert(list.end(), Resolved(row.Control, TTextProp::Items, {}));
    if (it->Items.size() <= static_cast<std::size_t>(row.Index)) it->Items.resize(row.Index + 1);
    it->Items[row.Index] = row.Text[lang];
  }
  return list;
}

std::string ComItemHint(TLanguage language, int n) {
  const int lang = language < LanguageCount ? int(language) : int(LangEnglish);
  return std::string(ComHintHead[lang]) + " " + std::to_string(n);
}

bool TooltipEnabled(const std::string& controlName) {
  return std::any_of(std::begin(TooltipControls), std::end(TooltipControls),
                     [&](const char* name) { return controlName == name; });
}

void SplitHint(const std::string& hint, std::string& shortPart, std::string& longPart) {
  const std::size_t bar = hint.find('|');
  if (bar == std::string::npos) {
    shortPart = hint;
    longPart = hint;
    return;
  }
  shortPart = hint.substr(0, bar);
  longPart = hint.substr(bar + 1);
}

std::string StripAccelerator(const std::string& caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      shown += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

std::string AcceleratorMarkup(const std::string& caption) {
  std::string markup;
  bool marked = false;
  const auto escaped = [&markup](char c) {
    switch (c) {
    case '&':
      markup += "&amp;";
      break;
    case '<':
      markup += "&lt;";
      break;
    case '>':
      markup += "&gt;";
      break;
    default:
      markup += c;
    }
  };
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      escaped(caption[i]);
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      escaped('&');
      ++i;
    } else if (i + 1 < caption.size() && !marked) {
      // The whole UTF-8 sequence of the letter: "&Čtení" underlines the Č.
      std::size_t end = i + 2;
      while (end < caption.size() && (static_cast<unsigned char>(caption[end]) & 0xC0) == 0x80)
        ++end;
      markup += "<u>";
      for (std::size_t k = i + 1; k < end; ++k) escaped(caption[k]);
      markup += "</u>";
      marked = true;
      i = end - 1;
    }
  }
  return marked ? markup : std::string();
}

const char* AboutCaption(TLanguage language) {
  return language < LanguageCount ? AboutCaptions[language] : nullptr;
}
