#include "app/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <exception>

#include "app/Hlav.h"
#include "app/SessionEnd.h"
#include "app/FormAbout.h"

int RunApplication(int argc, char** argv, const std::function<void(TFormHlav&)>& started) {
  // Qt removes its own options (-style, -platform, ...) from argv; the language word is
  // compared with the first argument as the user gave it.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QApplication application(argc, argv);
  TSessionEnd sessionEnd;
  try {
    TFormHlav formHlav(arguments);
    TFormAbout formAbout;
    formHlav.SetAboutForm(&formAbout);
    formHlav.show();
    sessionEnd.SetWindow(&formHlav);
    if (started) QTimer::singleShot(0, &formHlav, [&] { started(formHlav); });
    application.exec();
    sessionEnd.SetWindow(nullptr);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "VANTEL-9", QString::fromLocal8Bit(e.what()));
  }
  return 0;
}
