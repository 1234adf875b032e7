#include "app/TuneSheetCommand.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QPageSize>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Pictures.h"
#include "app/TuneSheetPage.h"
#include "files/IgnFile.h"
#include "files/Profile.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "i18n/Language.h"
#include "i18n/Messages.h"
#include "model/Defaults.h"
#include "model/Normalise.h"
#include "model/SettingsDir.h"
#include "ui/TuneSheet.h"
#include "usage/Usage.h"

namespace {

constexpr int ExitOk = 0, ExitFile = 4, ExitUsage = 64;

struct TSheetArguments {
  TLanguage Language = LangEnglish;
  bool LanguageGiven = false;
  std::string Input, Output;
  QPageSize::PageSizeId Paper = QPageSize::A4;
};

int Fail(int status, const std::string& message) {
  const std::string line = "vantel: " + message + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return status;
}

// Empty when the arguments are sound, else what is wrong with them.
std::string ParseArguments(int argc, char** argv, TSheetArguments& args) {
  int i = 1;
  if (i < argc && LanguageFromArgument(argv[i], args.Language)) {
    args.LanguageGiven = true;
    ++i;
  }
  for (; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return "option " + option + " needs a value";
    const std::string value = argv[++i];
    if (option == "--tune-sheet")
      args.Input = value;
    else if (option == "-o" || option == "--output")
      args.Output = value;
    else if (option == "--paper" && (value == "A4" || value == "a4"))
      args.Paper = QPageSize::A4;
    else if (option == "--paper" && (value == "Letter" || value == "letter"))
      args.Paper = QPageSize::Letter;
    else if (option == "--paper")
      return "unknown paper " + value + " (A4 or Letter)";
    else
      return "unknown argument " + option;
  }
  if (args.Input.empty()) return "--tune-sheet needs a parameter file";
  if (args.Output.empty()) return "--tune-sheet needs -o OUT.pdf";
  return {};
}

// The language of the last run, as the window would start in it.
TLanguage SettingsLanguage() {
  const TProfileFile ini(SettingsDirectory() + "/vantel.ini");
  // As the window takes it: the low eight bits, English for a number that names no language.
  const auto language = TLanguage(ini.ReadInteger("FORM_HLAV", "Language", LangEnglish) & 0xFF);
  return language <= LangCzech ? language : TLanguage(LangEnglish);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::optional<int> RunTuneSheetCommand(int argc, char** argv) {
  bool asked = false;
  for (int i = 1; i < argc; ++i) asked = asked || std::strcmp(argv[i], "--tune-sheet") == 0;
  if (!asked) return std::nullopt;

  TSheetArguments args;
  if (const std::string wrong = ParseArguments(argc, argv, args); !wrong.empty())
    return Fail(ExitUsage, wrong + "; see vantel --help");
  if (!args.LanguageGiven) args.Language = SettingsLanguage();

  TMessageCatalogue msg;
  FillMessageCatalogue(msg, args.Language);
  // The file laid onto the default parameters, as Open does in a window started afresh.
  TSheetSource source;
  LoadDefaultParams(source.Params);
  std::string text;
  TFailureReport failure;
  if (!ReadFileSafely(args.Input, text, failure))
    return Fail(ExitFile, DescribeFailure(failure, LangEnglish));
  if (!ReadIgnFile(text, source.Params)) {
    TMessageCatalogue english;
    FillMessageCatalogue(english, LangEnglish);
    return Fail(ExitFile, args.Input + ": " + english.MsgFileVersionMismatch + " (no " +
                              IgnMagicKey + " 67)");
  }
  TLanguage language = args.Language;
  std::uint8_t comPort = 1;
  NormaliseParams(source.Params, language, comPort);
  // Told before any drawing, as a file that cannot be written is the likelier mistake.
  if (!CheckReplaceable(args.Output, failure))
    return Fail(ExitFile, DescribeFailure(failure, LangEnglish));

  // No window is shown: without a platform chosen, none is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The toolkit's notes about its environment are not the command's to report: standard
  // error carries one message, and only for a failure.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "vantel: %s\n", text.toLocal8Bit().constData());
  });
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QGuiApplication application(qtArgc, qtArgv);

  const QDateTime now = QDateTime::currentDateTime();
  source.Printed = {now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                    now.time().minute()};
  source.FileName = BaseName(args.Input);
  source.ProgramVersion = ProjectVersion();
  const TTuneSheet sheet = BuildTuneSheet(source, args.Language, msg);
  const QByteArray pdf = TuneSheetPdf(sheet, SheetCurveDrawing(source.Params, args.Language),
                                      LoadLogoPixmap("logo_main.jpg").toImage(),
                                      TuneSheetLayout(QPageSize(args.Paper)));
  if (pdf.isEmpty()) return Fail(ExitFile, args.Output + ": the sheet could not be drawn");
  if (!WriteFileSafely(args.Output, std::string_view(pdf.constData(), std::size_t(pdf.size())),
                       failure))
    return Fail(ExitFile, DescribeFailure(failure, LangEnglish));
  return ExitOk;
}
