#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "app/Hlav.h"
#include "app/SessionEnd.h"
#include "ui/FormAbout.h"

int main(int argc, char** argv) {
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
