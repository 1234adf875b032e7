#include "i18n/MessageTable.h"

namespace {

// clang-format off
const TMessageRow MessageTable[] = {
    {&TMessageCatalogue::MsgManualFile, TMsgCompose::AsIs, {"manual_vantel_en.pdf", "manual_vantel_de.pdf", "manual_vantel_fr.pdf", "manual_vantel_cz.pdf"}},
    {&TMessageCatalogue::MsgProgramError, TMsgCompose::AsIs, {"Program error!", "Programmierfehler!", "Erreur de programmation!", "Chyba programování"}},
    {&TMessageCatalogue::MsgVerifyError, TMsgCompose::AsIs, {"Verify error!", "Vergleichsfehler", "Verifier erreur!", "Chyba verifikace!"}},
    {&TMessageCatalogue::MsgReadError, TMsgCompose::AsIs, {"Read error!", "Lesefehler", "Lire erreur!", "Chyba čtení!"}},
    {&TMessageCatalogue::MsgProgramming, TMsgCompose::AsIs, {"Programing", "Programmieren", "Programmer", "Programování"}},
    {&TMessageCatalogue::MsgVerify, TMsgCompose::AsIs, {"Verify", "Vergleichen", "Vérifier", "Verifikace"}},
    {&TMessageCatalogue::MsgRead, TMsgCompose::AsIs, {"Read", "Lesen", "Lire", "Čtení"}},
    {&TMessageCatalogue::MsgSaving, TMsgCompose::AsIs, {"Saving:", "Speichern:", "Mémorisation", "Ukládání:"}},
    {&TMessageCatalogue::MsgUnitVersionMismatch, TMsgCompose::AsIs, {"Unmatched version of PC and Ignition programs!", "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!", "Programme du boitier d´alumage non compatible avec programme PC!", "Neshodné verze proramu v PC a zapalování!"}},
    {&TMessageCatalogue::MsgFileVersionMismatch, TMsgCompose::AsIs, {"Unmatched version of *.ign file!", "Datei *.ign ist nicht kompatiebel!", "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"}},
    {&TMessageCatalogue::MsgPrintDateTime, TMsgCompose::AsIs, {"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ", "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "}},
    {&TMessageCatalogue::MsgPolarity, TMsgCompose::AsIs, {"Polarity of CKPS", "Polarität des CKPS", "Polarité CKPS", "Polarita CKPS"}},
    {&TMessageCatalogue::MsgPositive, TMsgCompose::AsIs, {"Positive", "Positiv", "Positif", "Kladná"}},
    {&TMessageCatalogue::MsgNegative, TMsgCompose::AsIs, {"Negative", "Negativ", "Négatif", "Záporná"}},
    {&TMessageCatalogue::MsgComOpenError, TMsgCompose::AsIs, {"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!", "Chyba při otevírání portu Com!"}},
    {&TMessageCatalogue::MsgOpenFileError, TMsgCompose::OpenFileError, {"Open file error", "Fehler beim öffnen der Datei", "Erreur ouvertur fichier", "Chyba při otevírání souboru"}},
    {&TMessageCatalogue::MsgAskDefaults, TMsgCompose::AsIs, {"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?", "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"}},
    {&TMessageCatalogue::MsgManualOpenError, TMsgCompose::ManualOpenError, {"Open file error", "Fehler beim öffnen der Datei", "Erreur ouvertur fichier", "Chyba při otevírání souboru"}},
    {&TMessageCatalogue::MsgAdvance, TMsgCompose::AsIs, {"Advance", "Vorzündung", "Avance", "Předstih"}},
    {&TMessageCatalogue::MsgStartLimiter, TMsgCompose::AsIs, {"Start limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"}},
    {&TMessageCatalogue::MsgLimiter, TMsgCompose::AsIs, {"Limiter", "Begrenzer", "Limitateur", "Omezovač"}},
    {&TMessageCatalogue::MsgShiftLight, TMsgCompose::AsIs, {"Gear shift light", "Schaltblitz", "Retard à l´allumage", "Kontrolka řazení"}},
    {&TMessageCatalogue::MsgClutchMaster, TMsgCompose::AsIs, {"Clutch master", "Schaltautomat", "Clutch master", "Clutch master"}},
    {&TMessageCatalogue::MsgRetard, TMsgCompose::AsIs, {"Retard", "Spätzündung", "Retard d´allumage", "Snížení předstihu"}},
    {&TMessageCatalogue::MsgMotorOff, TMsgCompose::AsIs, {"Motor off", "Motor off", "Blocage", "Blokování"}},
    {&TMessageCatalogue::MsgProgrammingCount, TMsgCompose::AsIs, {"Number of Programing= ", "Programmierungsanzahl= ", "Nombre de programmations= ", "Počet programování= "}},
    {&TMessageCatalogue::MsgYes, TMsgCompose::AsIs, {"Yes", "Ja", "Oui", "Ano"}},
    {&TMessageCatalogue::MsgNo, TMsgCompose::AsIs, {"No", "Nein", "Non", "Ne"}},
    {&TMessageCatalogue::MsgPickup, TMsgCompose::AsIs, {"Pick-up (CPS)", "Geber(CPS)", "Capteur(CPS)", "Snímač (CPS)"}},
    {&TMessageCatalogue::MsgIsRunning, TMsgCompose::AsIs, {" is running", " läuft", " fonctionne", " pracuje"}},
    {&TMessageCatalogue::MsgNoSignal, TMsgCompose::AsIs, {" no signal", " kein Signal", " pas de signal", " bez signálu"}},
    {&TMessageCatalogue::MsgInput, TMsgCompose::AsIs, {"Input", "Eingang", "Entrée", "Vstup"}},
    {&TMessageCatalogue::MsgBasic, TMsgCompose::AsIs, {"Basic", "Grund", "De base", "Základní"}},
};
// clang-format on

} // namespace

std::span<const TMessageRow> MessageRows() {
  return MessageTable;
}
