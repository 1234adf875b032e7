#include "i18n/Messages.h"

#include "i18n/MessageTable.h"

void FillMessageCatalogue(TMessageCatalogue& catalogue, TLanguage language) {
  const int lang = language < LanguageCount ? int(language) : int(LangEnglish);
  for (const TMessageRow& row : MessageRows()) {
    std::string& field = catalogue.*row.Field;
    switch (row.Compose) {
    case TMsgCompose::AsIs:
      field = row.Text[lang];
      break;
    case TMsgCompose::OpenFileError:
      field = std::string(row.Text[lang]) + "!";
      break;
    case TMsgCompose::ManualOpenError:
      // MsgManualFile is the first row, so it is already filled here.
      field = std::string(row.Text[lang]) + " " + catalogue.MsgManualFile + " !";
      break;
    }
  }
}
