// vantel-manual: builds the user manuals from their Markdown sources, with pictures of the
// real window in each language, rendered offscreen against a simulated unit.
// usage: vantel-manual SOURCE_DIR OUTPUT_DIR [LANG...]   (LANG: en de fr cz; all by default)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QGroupBox>
#include <QLocale>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "ManualPdf.h"
#include "SimUnit.h"
#include "app/Hlav.h"
#include "files/StateFile.h"
#include "ui/Assets.h"
#include "app/FormCurve.h"
#include "app/HlavPrint.h"
#include "usage/Usage.h"

namespace {

// The simulated unit at the master side of a pseudo-terminal, answering in this process.
class TPtyUnit : public QObject {
public:
  TPtyUnit() {
    Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) return;
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    termios line{};
    if (tcgetattr(Master, &line) == 0) {
      cfmakeraw(&line);
      tcsetattr(Master, TCSANOW, &line);
    }
    Device = QString::fromLocal8Bit(ptsname(Master));
    // Held open so the master never sees a hang-up while the window has the port closed.
    Slave = ::open(ptsname(Master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Notifier = new QSocketNotifier(Master, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] { Receive(); });
    Clock.start();
    connect(&Tick, &QTimer::timeout, this, [this] {
      const double now = Clock.elapsed() / 1000.0;
      Unit.Advance(now - Last);
      Last = now;
      Reader.Expire(now);
    });
    Tick.start(20);
  }
  ~TPtyUnit() override {
    if (Slave >= 0) ::close(Slave);
    if (Master >= 0) ::close(Master);
  }
  QString Device;

private:
  void Receive() {
    std::uint8_t buffer[512];
    const ssize_t got = ::read(Master, buffer, sizeof buffer);
    if (got <= 0) return;
    Reader.Feed(buffer, static_cast<std::size_t>(got), Clock.elapsed() / 1000.0);
    TLinkFrame request;
    std::vector<std::uint8_t> reply;
    while (Reader.NextRequest(request)) {
      Unit.HandleRequest(request.data(), reply);
      if (!reply.empty()) [[maybe_unused]]
        auto n = ::write(Master, reply.data(), reply.size());
    }
  }

  int Master = -1;
  int Slave = -1;
  QSocketNotifier* Notifier = nullptr;
  TSimUnit Unit;
  TSimRequestReader Reader;
  QElapsedTimer Clock;
  QTimer Tick;
  double Last = 0;
};

void Wait(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

template <typename Done> bool WaitFor(Done done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A set that shows what the window can: six curve points, an input in each mode group.
TDeviceImage PictureImage() {
  TDeviceImage image{};
  TIgnParams& p = image.Params;
  const std::uint8_t rpm[] = {10, 25, 40, 60, 80, 100};
  const std::uint8_t advance[] = {8, 14, 24, 32, 34, 30};
  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = static_cast<std::uint8_t>(i < 6 ? rpm[i] : 100 + (i - 5) * 10);
    p.Advance[i] = i < 6 ? advance[i] : 30;
  }
  p.PocetBodu = 6;
  p.BaseAdv = 10;
  p.Omez1 = 60;
  p.Omez2 = 105;
  p.Retard = 6;
  p.Polarita = 2;
  p.GeberNr = 1;
  p.LedRazeni = 95;
  p.Clutch1 = 20;
  p.Clutch2 = 100;
  p.Input1 = 1;
  p.Input2 = 4;
  p.RpmPulsu = 1;
  p.RpmKorekce = 100;
  return image;
}

struct TLanguageRun {
  const char* Code;
  const char* Word;
  const char* Locale; // how a desktop of that language shows numbers and dates
};

// What of the window's client area a picture would not show: a part scrolled out of view
// or cut at the screen's edge. Empty when the whole client area is in the picture.
QStringList CutFromPicture(TFormHlav& form) {
  QStringList cut;
  if (form.ClientScroll->verticalScrollBar()->isVisible() ||
      form.ClientScroll->horizontalScrollBar()->isVisible())
    cut << "the client area scrolls";
  const QWidget* viewport = form.ClientScroll->viewport();
  for (QWidget* part : std::initializer_list<QWidget*>{
           form.GroupBoxToolBar, form.LabelHlaseni, form.CGaugeProgram, form.LabelRpm,
           form.LabelPolaritaMer, form.ImageLogo, form.GroupBox2, form.LabelFile2}) {
    const QRect shown(part->mapTo(viewport, QPoint(0, 0)), part->size());
    if (!part->isVisible() || !viewport->rect().contains(shown)) cut << part->objectName();
  }
  if (!form.rect().contains(
          QRect(form.StatusBar1->mapTo(&form, QPoint(0, 0)), form.StatusBar1->size())))
    cut << form.StatusBar1->objectName();
  return cut;
}

// The window in one language after a Program pass against the simulated unit, its print
// layout, and the curve window beside it.
bool RenderPictures(const TLanguageRun& language, TManualPictures& pictures) {
  QTemporaryDir home;
  TPtyUnit unit;
  if (!home.isValid() || unit.Device.isEmpty()) return false;
  qputenv("VANTEL_HOME", home.path().toLocal8Bit());
  // The restore point that the Program pass leaves goes there too, not to the builder's own.
  qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
  qputenv("VANTEL_COM1", unit.Device.toLocal8Bit());
  TFailureReport error;
  if (!WriteStateFile(home.filePath("_vantel.ini").toStdString(), PictureImage(), error))
    return false;

  QLocale::setDefault(QLocale(QString::fromLatin1(language.Locale)));
  TFormHlav form(QStringList{language.Word});
  form.show();
  Wait(300);
  form.MenuProgramClick();
  if (!WaitFor(
          [&] {
            return form.Link.LastOutcome().Pass == TPass::Store &&
                   form.Link.LastOutcome().Result == TPassResult::Ok &&
                   !form.LabelHlaseni->isHidden() && form.LabelHlaseni->text().endsWith(": OK") &&
                   form.LabelHlaseni->text() != QString::fromStdString(form.Msg.MsgVerify) + ": OK";
          },
          15000)) {
    std::fprintf(stderr, "vantel-manual: the window did not finish programming in %s\n",
                 language.Word);
    return false;
  }
  Wait(1200); // live values of a running engine
  if (const QStringList cut = CutFromPicture(form); !cut.isEmpty()) {
    std::fprintf(stderr, "vantel-manual: the picture of the window in %s would not show: %s\n",
                 language.Word, qPrintable(cut.join(", ")));
    return false;
  }
  pictures.Images["window.png"] = form.grab().toImage();
  form.MenuCurveClick();
  form.FormCurve->resize(720, 600);
  Wait(2500); // the live point with its trail, and a few seconds of the strip chart
  pictures.Images["curve.png"] = form.FormCurve->grab().toImage();
  form.FormCurve->close();
  BeginPrintLayout(form);
  pictures.Images["print.png"] = RenderClientArea(form);
  EndPrintLayout(form);
  form.close();
  return true;
}

QString Substitute(QString text) {
  text.replace("@VERSION@", QString::fromStdString(ProjectVersion()));
  text.replace("@DATE@", QString::fromStdString(ProjectReleaseDate()));
  text.replace("@YEAR@", QString::fromStdString(ProjectReleaseDate().substr(0, 4)));
  return text;
}

// The offscreen platform's notes about window hints, raising and the runtime directory say
// nothing about the manuals; everything else is passed on.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains("propagateSizeHints") || text.contains("raise()") ||
      text.contains("XDG_RUNTIME_DIR"))
    return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietMessages);
  // Pictures at twice the screen size stay sharp on paper; no display is needed.
  // The screen is larger than the window, so that each picture shows the whole window.
  qputenv("QT_SCALE_FACTOR", "2");
  QTemporaryDir screenDir;
  QFile screen(screenDir.filePath("screen.json"));
  if (!screenDir.isValid() || !screen.open(QIODevice::WriteOnly) ||
      screen.write(R"({"screens": [{"name": "manual", "x": 0, "y": 0, "width": 3200,
                       "height": 2400, "logicalDpi": 96, "dpr": 1}]})") < 0) {
    std::fputs("vantel-manual: cannot set up the offscreen screen\n", stderr);
    return 1;
  }
  screen.close();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
  QApplication application(argc, argv);
  const QStringList args = application.arguments().mid(1);
  if (args.size() < 2) {
    std::fputs("usage: vantel-manual SOURCE_DIR OUTPUT_DIR [en|de|fr|cz]...\n", stderr);
    return 2;
  }
  const QDir sources(args[0]);
  const QDir output(args[1]);
  if (!QDir().mkpath(output.path())) {
    std::fprintf(stderr, "vantel-manual: cannot make %s\n", qPrintable(output.path()));
    return 1;
  }
  const TLanguageRun languages[] = {{"en", "ENGLISH", "en_GB"},
                                    {"de", "DEUTSCH", "de_DE"},
                                    {"fr", "FRANCE", "fr_FR"},
                                    {"cz", "CESKY", "cs_CZ"}};
  TManualPictures pictures;
  pictures.Logo.load(QString::fromStdString(FindAssetFile("logo_main.jpg")));
  int status = 0;
  for (const TLanguageRun& language : languages) {
    if (args.size() > 2 && !args.mid(2).contains(language.Code)) continue;
    QFile file(sources.filePath(QString(language.Code) + ".md"));
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "vantel-manual: cannot read %s\n", qPrintable(file.fileName()));
      status = 1;
      continue;
    }
    TManualSource source = ParseManualSource(Substitute(QString::fromUtf8(file.readAll())));
    for (auto it = source.Front.begin(); it != source.Front.end(); ++it)
      it.value() = Substitute(it.value());
    source.Front["creator"] = "vantel-manual " + QString::fromStdString(ProjectVersion());
    if (!RenderPictures(language, pictures)) {
      status = 1;
      continue;
    }
    const QString target = output.filePath(QString("manual_vantel_%1.pdf").arg(language.Code));
    QString error;
    if (!WriteManualPdf(source, pictures, target, error)) {
      std::fprintf(stderr, "vantel-manual: %s\n", qPrintable(error));
      status = 1;
    }
  }
  return status;
}
