// Texts of the printing failures and of the PDF way out, which the message catalogue
// does not carry.
#pragma once

#include <array>

#include "model/Types.h"

// One row per language.
struct TPrintTexts {
  const char* NoPrinter;
  const char* JobRefused;
  const char* OfferPdf;
  const char* PdfError;
};

inline constexpr std::array<TPrintTexts, 4> PrintTexts = {{
    {"No printer is installed.", "The printer refused the print job.",
     "Save the page as a PDF file instead?", "The PDF file could not be written:"},
    {"Es ist kein Drucker installiert.", "Der Drucker hat den Druckauftrag abgelehnt.",
     "Die Seite stattdessen als PDF-Datei speichern?",
     "Die PDF-Datei konnte nicht geschrieben werden:"},
    {"Aucune imprimante n'est installée.", "L'imprimante a refusé le travail d'impression.",
     "Enregistrer la page dans un fichier PDF à la place ?",
     "Le fichier PDF n'a pas pu être écrit :"},
    {"Není nainstalována žádná tiskárna.", "Tiskárna odmítla tiskovou úlohu.",
     "Uložit stránku místo toho do souboru PDF?", "Soubor PDF nelze zapsat:"},
}};

inline const TPrintTexts& PrintTextsFor(TLanguage language) {
  return PrintTexts[language < PrintTexts.size() ? language : 0];
}
