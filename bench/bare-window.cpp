// The yardstick of the start-up benchmark: a bare Qt main window of a given size, shown as
// soon as the toolkit is up.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList args = application.arguments();
  QMainWindow window;
  window.resize(args.value(1, "888").toInt(), args.value(2, "752").toInt());
  window.show();
  return application.exec();
}
