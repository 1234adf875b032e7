// The program as started from a shell: Qt's own options before the language word. Each
// case starts the real entry with its own argv and a fresh settings directory, so this
// test has its own main().
#include <QByteArray>
#include <QList>

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>

#include "app/Application.h"
#include "app/Hlav.h"
#include "support/TempHome.h"

int main() {
  // A pseudo-terminal stands for the unit's port, so no box waits for an answer.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return 1;
  qputenv("VANTEL_COM1", ptsname(master));
  qputenv("QT_QPA_PLATFORM", "offscreen");

  const struct {
    QList<QByteArray> Arguments;
    TLanguage Language; // the settings file says German
  } cases[] = {
      {{"FRANCE"}, LangFrench},
      {{"-style", "Fusion", "FRANCE"}, LangGerman},
      {{"FRANCE", "-style", "Fusion"}, LangFrench},
      {{"-reverse", "CESKY"}, LangGerman},
  };
  int failures = 0;
  for (const auto& c : cases) {
    TTempHome home;
    home.Write("vantel.ini", "[FORM_HLAV]\r\nLanguage=1\r\n");

    QList<QByteArray> argv = {"vantel"};
    argv += c.Arguments;
    std::vector<char*> pointers;
    for (QByteArray& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    TLanguage chosen = 255;
    RunApplication(int(argv.size()), pointers.data(), [&](TFormHlav& form) {
      chosen = CurrentLanguage;
      form.close();
    });
    const bool ok = chosen == c.Language;
    failures += ok ? 0 : 1;
    std::printf("%s: %s -> language %d, expected %d\n", ok ? "PASS" : "FAIL",
                c.Arguments.join(' ').constData(), chosen, c.Language);
  }
  return failures == 0 ? 0 : 1;
}
