#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "app/Hlav.h"
#include "app/SessionEnd.h"
#include "ui/FormAbout.h"
#include "usage/Usage.h"

int main(int argc, char** argv) {
  // Before the application object: help and version need no display.
  if (const auto status = AnswerInfoRequest(argc, argv, VantelUsage(), stdout)) return *status;
  QApplication application(argc, argv);
  TSessionEnd sessionEnd;
  try {
    TFormHlav formHlav(application.arguments().mid(1));
    TFormAbout formAbout;
    formHlav.SetAboutForm(&formAbout);
    formHlav.show();
    sessionEnd.SetWindow(&formHlav);
    application.exec();
    sessionEnd.SetWindow(nullptr);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "VANTEL-9", QString::fromLocal8Bit(e.what()));
  }
  return 0;
}
