#include "i18n/Failure.h"

#include <cstring>

#include "i18n/MessageTable.h"

namespace {

struct TFailureRow {
  TFailure What;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8); %s: the folder
};

// clang-format off
const TFailureRow FailureTable[] = {
    {TFailure::PortMissing, {"Is the adapter plugged in?", "Ist der Adapter angeschlossen?", "L'adaptateur est-il branché ?", "Je adaptér připojen?"}},
    {TFailure::PortNoAccess, {"To use serial ports your user must be in the dialout group: run \"sudo adduser $USER dialout\", then log out and in again.", "Um serielle Schnittstellen zu benutzen, muss Ihr Benutzer in der Gruppe dialout sein: führen Sie \"sudo adduser $USER dialout\" aus, melden Sie sich dann ab und wieder an.", "Pour utiliser les ports série, votre utilisateur doit faire partie du groupe dialout : lancez \"sudo adduser $USER dialout\", puis fermez la session et ouvrez-la de nouveau.", "Pro použití sériových portů musí být váš uživatel ve skupině dialout: spusťte \"sudo adduser $USER dialout\", pak se odhlaste a znovu přihlaste."}},
    {TFailure::PortBusy, {"Another program is using this port.", "Ein anderes Programm benutzt diese Schnittstelle.", "Un autre programme utilise ce port.", "Tento port používá jiný program."}},
    {TFailure::NotAFile, {"not a regular file", "keine gewöhnliche Datei", "pas un fichier ordinaire", "není běžný soubor"}},
    {TFailure::NotRead, {"cannot read", "Lesen nicht möglich", "lecture impossible", "nelze číst"}},
    {TFailure::TooLarge, {"too large", "zu groß", "trop volumineux", "příliš velký"}},
    {TFailure::FolderNotCreated, {"cannot create the folder %s", "der Ordner %s kann nicht angelegt werden", "impossible de créer le dossier %s", "nelze vytvořit složku %s"}},
    {TFailure::NotWritable, {"cannot be opened for writing, left as it is", "kann nicht zum Schreiben geöffnet werden, bleibt unverändert", "ne peut pas être ouvert en écriture, laissé tel quel", "nelze otevřít pro zápis, ponechán beze změny"}},
    {TFailure::TempNotCreated, {"cannot create a temporary file", "temporäre Datei kann nicht angelegt werden", "impossible de créer un fichier temporaire", "nelze vytvořit dočasný soubor"}},
    {TFailure::NotWritten, {"cannot write", "Schreiben nicht möglich", "écriture impossible", "nelze zapsat"}},
    {TFailure::NotOnDisk, {"cannot write to disk", "Schreiben auf den Datenträger nicht möglich", "écriture sur le disque impossible", "nelze zapsat na disk"}},
    {TFailure::NotReplaced, {"cannot replace the file", "Datei kann nicht ersetzt werden", "impossible de remplacer le fichier", "soubor nelze nahradit"}},
    {TFailure::NotALink, {"not a link, left as it is: remove it to assign a device", "keine Verknüpfung, bleibt unverändert: entfernen Sie es, um ein Gerät zuzuweisen", "pas un lien, laissé tel quel : supprimez-le pour attribuer un périphérique", "není odkaz, ponechán beze změny: pro přiřazení zařízení jej odstraňte"}},
    {TFailure::NotRendered, {"cannot draw the page", "Seite kann nicht gezeichnet werden", "impossible de dessiner la page", "stránku nelze vykreslit"}},
};

const char* const SettingsNotKept[LanguageCount] = {
    "These settings could not be kept for the next start:",
    "Diese Einstellungen konnten für den nächsten Start nicht gespeichert werden:",
    "Ces réglages n'ont pas pu être conservés pour le prochain démarrage :",
    "Toto nastavení nebylo možné uložit pro příští spuštění:",
};
// clang-format on

int Column(TLanguage language) {
  return language < LanguageCount ? int(language) : int(LangEnglish);
}

std::string Sentence(const TFailureReport& report, TLanguage language) {
  for (const TFailureRow& row : FailureTable) {
    if (row.What != report.What) continue;
    std::string text = row.Text[Column(language)];
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
      text.replace(at, 2, report.Folder);
    return text;
  }
  return {};
}

bool IsPortFailure(TFailure what) {
  return what == TFailure::PortFailed || what == TFailure::PortMissing ||
         what == TFailure::PortNoAccess || what == TFailure::PortBusy;
}

} // namespace

std::string DescribeFailure(const TFailureReport& report, TLanguage language) {
  const std::string sentence = Sentence(report, language);
  const std::string reason = report.Errno != 0 ? std::strerror(report.Errno) : "";
  std::string text = report.Path;
  if (IsPortFailure(report.What)) {
    text += ": " + reason;
    if (!sentence.empty()) text += ". " + sentence;
    return text;
  }
  if (!sentence.empty()) text += ": " + sentence;
  if (!reason.empty()) text += ": " + reason;
  return text;
}

std::string SettingsNotKeptText(TLanguage language) {
  return SettingsNotKept[Column(language)];
}
