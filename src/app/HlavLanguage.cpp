// Language selection: the catalogue, the control texts and the Language menu.
#include "app/Hlav.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/FormPorts.h"
#include "app/HlavTexts.h"
#include "link/Monitor.h"

// The toolkit's own texts (the Yes, No and Cancel of the message boxes, the file dialogs)
// in the chosen language, when the system has their translations.
static void InstallToolkitTranslation(TLanguage language) {
  static QTranslator translator;
  static const char* const Codes[] = {"en", "de", "fr", "cs"};
  QCoreApplication::removeTranslator(&translator);
  if (language < 4 && translator.load(QString("qtbase_") + Codes[language],
                                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&translator);
}

void TFormHlav::BuildMessageCatalogue() {
  FillMessageCatalogue(Msg, CurrentLanguage);
  InstallToolkitTranslation(CurrentLanguage);
  // Without a unit the monitor labels show their heads and placeholders in the new
  // language; with one, the next monitor frame rewrites them.
  if (!LabelSpojeni->isHidden()) {
    TIdleMonitorTexts idle;
    BuildIdleMonitorTexts(Msg, idle);
    const std::pair<QLabel*, const std::string*> labels[] = {
        {LabelMon_Advance, &idle.MonAdvance},
        {LabelMonStartLimiterOut, &idle.MonStartLimiterOut},
        {LabelMonHardLimiter, &idle.MonHardLimiter},
        {LabelMonLedRazeni, &idle.MonLedRazeni},
        {LabelClutchMon, &idle.ClutchMon},
        {LabelMonRetard, &idle.MonRetard},
        {LabelBlocking, &idle.Blocking},
        {LabelPocetProgramovani, &idle.PocetProgramovani},
        {LabelSnimac, &idle.Snimac},
        {LabelPolaritaMer, &idle.PolaritaMer},
    };
    for (const auto& [label, text] : labels) label->setText(QString::fromStdString(*text));
  }
  ApplyControlTexts();
}

void TFormHlav::ApplyControlTexts() {
  ApplyControlTextsTo(this, CurrentLanguage, Msg, !LabelSpojeni->isHidden());
  ApplyRestoreTexts();
  ApplyAccessibleTexts();
  for (QLabel* label : findChildren<QLabel*>())
    if (label->property("vantelAutoSize").toBool()) label->adjustSize();
  CurveTextsChanged();
  if (FormPorts != nullptr) FormPorts->ApplyTexts(CurrentLanguage);
}

static void SelectLanguage(TFormHlav& form, TLanguage language) {
  CurrentLanguage = language;
  form.BuildMessageCatalogue();
  // Replacing the item lists may drop their selections; the record brings them back.
  form.ParamsToScreen();
}

void TFormHlav::MenuEnglishClick() {
  SelectLanguage(*this, LangEnglish);
}
void TFormHlav::MenuGermanClick() {
  SelectLanguage(*this, LangGerman);
}
void TFormHlav::MenuFrenchClick() {
  SelectLanguage(*this, LangFrench);
}
void TFormHlav::MenuCzechClick() {
  SelectLanguage(*this, LangCzech);
}
