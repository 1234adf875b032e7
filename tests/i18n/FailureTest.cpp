#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "i18n/Failure.h"
#include "i18n/MessageTable.h"

namespace {

const std::string Reason = std::strerror(ENOSPC);

// Every sentence the program adds exists in the four languages, each its own, and the
// system's reason follows it as the system gives it.
TEST(FailureTexts, EverySentenceInEveryLanguage) {
  for (int k = int(TFailure::PortMissing); k <= int(TFailure::NotRendered); ++k) {
    const auto what = TFailure(k);
    if (what == TFailure::NotOpened) continue;
    std::set<std::string> texts;
    for (TLanguage lang = 0; lang < LanguageCount; ++lang) {
      const std::string text = DescribeFailure({what, "/p/f", "/p", ENOSPC}, lang);
      EXPECT_EQ(text.rfind("/p/f: ", 0), 0u) << text;
      EXPECT_NE(text.find(Reason), std::string::npos) << text;
      EXPECT_GT(text.size(), 6 + Reason.size() + 4) << "kind " << k << ", language " << int(lang);
      texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size_t(LanguageCount)) << "kind " << k;
  }
  std::set<std::string> headings;
  for (TLanguage lang = 0; lang < LanguageCount; ++lang) headings.insert(SettingsNotKeptText(lang));
  EXPECT_EQ(headings.size(), std::size_t(LanguageCount));
}

TEST(FailureTexts, PortAndFileSentencesInTheirPlaces) {
  struct {
    TFailureReport Report;
    TLanguage Lang;
    std::string Text;
  } const cases[] = {
      {{TFailure::PortMissing, "/dev/ttyUSB0", {}, ENOENT},
       LangEnglish,
       "/dev/ttyUSB0: " + std::string(std::strerror(ENOENT)) + ". Is the adapter plugged in?"},
      {{TFailure::PortMissing, "/dev/ttyUSB0", {}, ENOENT},
       LangGerman,
       "/dev/ttyUSB0: " + std::string(std::strerror(ENOENT)) + ". Ist der Adapter angeschlossen?"},
      {{TFailure::PortFailed, "/dev/null", {}, ENOTTY},
       LangCzech,
       "/dev/null: " + std::string(std::strerror(ENOTTY))},
      {{TFailure::NotWritten, "/h/a.ign", {}, ENOSPC},
       LangEnglish,
       "/h/a.ign: cannot write: " + Reason},
      {{TFailure::NotWritten, "/h/a.ign", {}, ENOSPC},
       LangFrench,
       "/h/a.ign: écriture impossible: " + Reason},
      {{TFailure::FolderNotCreated, "/h/x/vantel.ini", "/h/x", ENOTDIR},
       LangGerman,
       "/h/x/vantel.ini: der Ordner /h/x kann nicht angelegt werden: " +
           std::string(std::strerror(ENOTDIR))},
      {{TFailure::NotAFile, "/h/logo", {}, 0}, LangCzech, "/h/logo: není běžný soubor"},
      {{TFailure::NotOpened, "/h/b.ign", {}, EACCES},
       LangGerman,
       "/h/b.ign: " + std::string(std::strerror(EACCES))},
      {{TFailure::NotWritten, "/h/a.ign", {}, ENOSPC},
       TLanguage(9),
       "/h/a.ign: cannot write: " + Reason},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeFailure(c.Report, c.Lang), c.Text);
}

} // namespace
