#include "app/Application.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/Hlav.h"
#include "app/SessionEnd.h"
#include "app/FormAbout.h"
#include "app/SingleInstance.h"
#include "model/Instance.h"
#include "model/SettingsDir.h"

int RunApplication(int argc, char** argv, const std::function<void(TFormHlav&)>& started) {
  // Qt removes its own options (-style, -platform, ...) from argv; the language word is
  // compared with the first argument as the user gave it.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QApplication application(argc, argv);

  // The file to open: from the arguments left after Qt's own options.
  std::vector<std::string> rest;
  for (const QString& a : QCoreApplication::arguments().mid(1)) rest.push_back(a.toStdString());
  QString file;
  if (const auto named = FileArgument(
          rest, [](const std::string& a) { return QFileInfo(QString::fromStdString(a)).isFile(); }))
    file = QFileInfo(QString::fromStdString(*named)).absoluteFilePath();

  // One window per settings folder: a later start hands its file to the running one.
  TSingleInstance instance(QString::fromStdString(SettingsDirectory()));
  if (!instance.Claim()) {
    if (instance.HandOver(file)) {
      // The running window takes only existing files; a missing one is said here.
      if (!file.isEmpty() && !QFileInfo(file).isFile())
        std::fprintf(stderr, "vantel: %s: no such file\n", QFile::encodeName(file).constData());
      return 0;
    }
    std::fprintf(stderr, "vantel: the window running on these settings does not answer; "
                         "starting another\n");
  }

  TSessionEnd sessionEnd;
  try {
    TFormHlav formHlav(arguments);
    QObject::connect(&instance, &TSingleInstance::Requested, &formHlav,
                     &TFormHlav::InstanceRequest);
    TFormAbout formAbout;
    formHlav.SetAboutForm(&formAbout);
    formHlav.show();
    sessionEnd.SetWindow(&formHlav);
    if (!file.isEmpty()) QTimer::singleShot(0, &formHlav, [&] { formHlav.OpenFileArgument(file); });
    if (started) QTimer::singleShot(0, &formHlav, [&] { started(formHlav); });
    application.exec();
    sessionEnd.SetWindow(nullptr);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "VANTEL-9", QString::fromLocal8Bit(e.what()));
  }
  return 0;
}
