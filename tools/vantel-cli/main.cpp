// vantel-cli: reads, verifies and programs a VANTEL-9 unit and shows its live values from
// the command line. The passes are the window's: the same tick engine at the same 55 ms
// ticks, the same .ign reader and writer, normalisation and decoding.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "CliBikes.h"
#include "CliOutput.h"
#include "files/IgnFile.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "link/HeadlessLink.h"
#include "link/MonitorCsv.h"
#include "link/PortName.h"
#include "link/PosixSerialPort.h"
#include "usage/Usage.h"

namespace {

enum TExit : int {
  ExitOk = 0,
  ExitDiffers = 1,
  ExitNoReply = 2,
  ExitOtherVersion = 3,
  ExitFile = 4,
  ExitUsage = 64,
};

struct TArgs {
  std::string Command;
  std::string File;                  // verify, program
  std::optional<std::string> Output; // read -o; "-" is standard output
  std::optional<std::string> Backup; // program --backup
  std::string Port = "1";
  bool Json = false, Csv = false;
  std::optional<long> Count;
  std::optional<double> Seconds;
  std::optional<std::string> Bike; // --bike; history: the bike listed
  bool NewBike = false;
};

volatile std::sig_atomic_t Interrupted = 0;

void OnInterrupt(int) {
  Interrupted = 1;
}

int Fail(int status, const std::string& text) {
  std::fprintf(stderr, "vantel-cli: %s\n", text.c_str());
  return status;
}

int UsageError(const std::string& text) {
  return Fail(ExitUsage, text + " (see vantel-cli --help)");
}

bool AllDigits(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

// The device of -p: a Com number 1..10 (also written COM3) as the window's Com menu maps
// it, or a device path. Empty for a Com number out of range.
std::string PortDevice(const std::string& port) {
  std::string number = port;
  if (number.size() > 3 && strncasecmp(number.c_str(), "com", 3) == 0 &&
      AllDigits(number.substr(3)))
    number = number.substr(3);
  if (!AllDigits(number)) return port;
  return PortDeviceName(std::atoi(number.c_str()));
}

// Parses argv into args; returns an error text, or "help"/"version" for those requests.
std::optional<std::string> ParseArgs(int argc, char** argv, TArgs& args) {
  std::vector<std::string> words;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!options || arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    std::optional<std::string> v;
    if (arg == "--") {
      options = false;
    } else if (arg == "-h" || arg == "--help") {
      return "help";
    } else if (arg == "--version") {
      return "version";
    } else if (arg == "--json") {
      args.Json = true;
    } else if (arg == "--csv") {
      args.Csv = true;
    } else if (arg == "--new-bike") {
      args.NewBike = true;
    } else if (arg == "-p" || arg == "--port" || arg == "-o" || arg == "--output" ||
               arg == "--backup" || arg == "--count" || arg == "--seconds" || arg == "--bike") {
      if (!(v = value())) return arg + " needs a value";
      if (arg == "--bike") {
        args.Bike = *v;
      } else if (arg == "-p" || arg == "--port") {
        args.Port = *v;
      } else if (arg == "-o" || arg == "--output") {
        args.Output = *v;
      } else if (arg == "--backup") {
        args.Backup = *v;
      } else if (arg == "--count") {
        if (!AllDigits(*v) || std::atol(v->c_str()) < 1)
          return "--count needs a whole number above 0";
        args.Count = std::atol(v->c_str());
      } else {
        char* end = nullptr;
        errno = 0;
        const double seconds = std::strtod(v->c_str(), &end);
        if (errno != 0 || end == v->c_str() || *end != '\0' || !(seconds > 0) || seconds > 1e6)
          return "--seconds needs a number of seconds above 0";
        args.Seconds = seconds;
      }
    } else {
      return "unknown option " + arg;
    }
  }
  if (words.empty()) return std::string("no command given");
  args.Command = words[0];
  if (args.NewBike && !args.Bike) return std::string("--new-bike goes with --bike NAME");
  if (IsBikeCommand(args.Command)) {
    const bool named = args.Command == "history";
    if (args.Bike) return "--bike is an option of read, verify and program";
    if (named && words.size() < 2) return std::string("history needs a bike's NAME");
    if (words.size() > (named ? 2u : 1u)) return "unexpected argument " + words.back();
    if (named) args.Bike = words[1];
    if (args.Output || args.Backup || args.Csv || args.Count || args.Seconds)
      return args.Command + " takes only --json";
    return std::nullopt;
  }
  if (args.Bike && args.Command != "read" && args.Command != "verify" && args.Command != "program")
    return "--bike is an option of read, verify and program";
  const bool takesFile = args.Command == "verify" || args.Command == "program";
  if (args.Command != "read" && args.Command != "monitor" && args.Command != "identity" &&
      !takesFile)
    return "unknown command " + args.Command;
  if (takesFile && words.size() < 2) return args.Command + " needs a FILE.ign";
  if (words.size() > (takesFile ? 2u : 1u)) return "unexpected argument " + words.back();
  if (takesFile) args.File = words[1];
  if (args.Output && args.Command != "read") return "-o is an option of read";
  if (args.Backup && args.Command != "program") return "--backup is an option of program";
  if ((args.Csv || args.Count || args.Seconds) && args.Command != "monitor")
    return "--csv, --count and --seconds are options of monitor";
  if (args.Csv && args.Json) return "--csv and --json exclude each other";
  if (args.Json && args.Output == "-") return "-o - and --json both write to standard output";
  if (args.Count && args.Seconds) return "--count and --seconds exclude each other";
  if (PortDevice(args.Port).empty()) return "-p takes a Com number 1..10 or a device path";
  return std::nullopt;
}

// Timer1 of the window: a tick every 55 ms of the monotonic clock. After a stall (a
// suspended process) the ticks go on from now instead of catching up in a burst.
class TTickClock {
public:
  void Wait() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (!Started) {
      Next = now;
      Started = true;
    }
    Add(Next, TickMs);
    timespec late = Next;
    Add(late, TickMs);
    if (Before(late, now)) Next = now;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &Next, nullptr) == EINTR &&
           !Interrupted) {
    }
  }

private:
  static void Add(timespec& t, long ms) {
    t.tv_nsec += ms * 1000000L;
    t.tv_sec += t.tv_nsec / 1000000000L;
    t.tv_nsec %= 1000000000L;
  }
  static bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
  }
  timespec Next{};
  bool Started = false;
};

// The status label and the gauge on one line of standard error, for a person watching;
// shown as they stand after a tick, as the window repaints after its tick.
class TProgress {
public:
  explicit TProgress(const THeadlessHost& host) : Host(host), On(isatty(STDERR_FILENO) == 1) {}
  void Update() {
    if (!On || Host.StatusText.empty()) return;
    const std::string line =
        Host.StatusText + " " + std::to_string(Host.Gauge * 100 / GaugeMax) + "%";
    if (line == Shown) return;
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    Shown = line;
  }
  void End() {
    if (!Shown.empty()) std::fputs("\r\033[K", stderr);
    Shown.clear();
  }

private:
  const THeadlessHost& Host;
  bool On;
  std::string Shown; // the line standing on the terminal
};

class TSession {
public:
  TSession(const TArgs& args, TPosixSerialPort& port)
      : Args(args), Port(port), Link(port, [this] { WaitTick(); }), Progress(Link.Host) {}

  int Run() {
    // What the files say comes first: a wrong file or folder is told before the port is
    // touched, and the unit is never left half-served for a file that cannot be written.
    if (const int status = CheckFiles(); status != ExitOk) return status;
    if (Args.Bike)
      if (const int status = Filing.Prepare(*Args.Bike, Args.NewBike); status != ExitOk)
        return status;
    TFailureReport failure;
    if (!Port.Open(PortDevice(Args.Port), failure))
      return Fail(ExitNoReply, DescribeFailure(failure, LangEnglish));
    const int status = RunCommand();
    Port.Close();
    return status;
  }

private:
  int CheckFiles() {
    if (Args.Command == "read") return CheckWritable(ReadTarget());
    if (Args.Command != "verify" && Args.Command != "program") return ExitOk;
    if (const int status = LoadFile(Args.File); status != ExitOk) return status;
    if (Args.Command == "program" && Args.Backup) return CheckWritable(*Args.Backup);
    return ExitOk;
  }

  // The record goes to standard output unless -o names a file; --json alone carries it.
  std::string ReadTarget() const { return Args.Output.value_or(Args.Json ? "" : "-"); }

  int RunCommand() {
    if (Args.Command == "read") return Read();
    if (Args.Command == "verify") return Verify();
    if (Args.Command == "program") return Program();
    if (Args.Command == "identity") return Identity();
    return Monitor();
  }

  void WaitTick() {
    Progress.Update(); // what the last tick left
    Clock.Wait();
  }

  unsigned LayoutVersion() const { return Link.Image.Block0[10]; }

  struct TResult {
    int Status = ExitOk;
    std::string Text; // the one line that says why, empty on success
  };

  // What the end of a pass means; differs: what a unit that answered other data did.
  TResult Outcome(TPassOutcome outcome, const std::string& differs) const {
    const std::string status = Link.Host.StatusText;
    switch (outcome) {
    case TPassOutcome::Ok:
      return {};
    case TPassOutcome::OtherVersion:
      return {ExitOtherVersion, Link.Host.ModalText};
    case TPassOutcome::Differs:
      return {ExitDiffers, status + " The unit " + differs};
    case TPassOutcome::NotStored:
      return {ExitNoReply, "the unit on " + Port.DeviceName() +
                               " did not finish storing the parameters within a minute"};
    case TPassOutcome::NoReply:
      break;
    }
    return {ExitNoReply, (status.empty() ? "" : status + " ") + "The unit on " + Port.DeviceName() +
                             (Port.HungUp() ? " hung up" : " did not answer")};
  }

  int Report(const TResult& result) {
    Progress.End();
    return result.Status == ExitOk ? ExitOk : Fail(result.Status, result.Text);
  }

  // --json: one object with the command's results.
  void PrintJson(const std::string& fields, int status) {
    std::string out = "{\"command\":" + JsonString(Args.Command) +
                      ",\"status\":" + JsonString(Link.Host.StatusText) +
                      ",\"exit\":" + std::to_string(status) +
                      ",\"ticks\":" + std::to_string(Link.PassTicks);
    if (Link.Host.IdentityDecoded)
      out += ",\"identity\":" + IdentityJson(Link.Host.Identity, LayoutVersion());
    out += fields + Filing.JsonFields() + "}\n";
    WriteText(out, stdout);
  }

  // The record of the image into a file or, for "-", onto standard output.
  TResult WriteRecord(const std::string& path) const {
    const std::string text = IgnFileText(Link.Image.Params);
    if (path == "-")
      return WriteText(text, stdout) ? TResult{}
                                     : TResult{ExitFile, "standard output: cannot write"};
    TFailureReport failure;
    if (!WriteFileSafely(path, text, failure))
      return {ExitFile, DescribeFailure(failure, LangEnglish)};
    return {};
  }

  static int CheckWritable(const std::string& path) {
    TFailureReport failure;
    if (path != "-" && !CheckReplaceable(path, failure))
      return Fail(ExitFile, DescribeFailure(failure, LangEnglish));
    return ExitOk;
  }

  int Read() {
    const std::string path = ReadTarget();
    const TPassOutcome outcome = Link.Read();
    int status = ExitOk;
    if (outcome == TPassOutcome::Ok || outcome == TPassOutcome::Differs) {
      // Read, but normalised to other values than the unit holds: kept, and said so.
      if (!path.empty()) status = Report(WriteRecord(path));
      if (status == ExitOk)
        status = Report(Outcome(outcome, "holds other parameters than the record read and "
                                         "normalised, which is written all the same"));
      if (status == ExitOk) status = File(TEntryKind::Read);
    } else {
      status = Report(Outcome(outcome, ""));
    }
    Progress.End();
    if (Args.Json) {
      std::string fields;
      if (outcome == TPassOutcome::Ok || outcome == TPassOutcome::Differs) {
        fields += ",\"params\":" + ParamsJson(Link.Image.Params);
        if (!path.empty() && path != "-" && status != ExitFile)
          fields += ",\"file\":" + JsonString(path);
      }
      PrintJson(fields, status);
    } else if (Link.Host.IdentityDecoded) {
      // Beside a record on standard output, the identity goes to standard error.
      WriteText(IdentityText(Link.Host.Identity, LayoutVersion()), path == "-" ? stderr : stdout);
    }
    return status;
  }

  // The file's record as Open lays it onto a window started afresh, normalised.
  int LoadFile(const std::string& path) {
    std::string text;
    TFailureReport failure;
    if (!ReadFileSafely(path, text, failure))
      return Fail(ExitFile, DescribeFailure(failure, LangEnglish));
    if (!ReadIgnFile(text, Link.Image.Params))
      return Fail(ExitFile, path + ": " + Link.Host.Messages().MsgFileVersionMismatch +
                                " (no ZANDERIX_KEY 67)");
    Link.Host.NormaliseParams();
    return ExitOk;
  }

  int Verify() {
    const TPassOutcome outcome = Link.Verify();
    const int status = Report(Outcome(outcome, "holds other parameters than " + Args.File));
    Finish(status);
    return status;
  }

  int Program() {
    const TDeviceImage programmed = Link.Image;
    if (Args.Backup) {
      TResult backup = Outcome(Link.Read(), "holds other parameters than the record read");
      if (backup.Status == ExitDiffers) backup.Status = ExitNoReply; // no backup, no programming
      if (backup.Status != ExitOk) {
        backup.Text += ": no backup in " + *Args.Backup + ", nothing programmed";
        return Report(backup);
      }
      if (TResult written = WriteRecord(*Args.Backup); written.Status != ExitOk) {
        written.Text += ": nothing programmed";
        return Report(written);
      }
      if (const int filed = File(TEntryKind::BackUp); filed != ExitOk) {
        Progress.End();
        Fail(filed, "nothing programmed");
        return filed;
      }
      // The file is programmed exactly as without a backup.
      Link.Image = programmed;
    }
    TPassOutcome outcome = Link.Program();
    const long programTicks = Link.PassTicks;
    long storeTicks = 0;
    TResult result = Outcome(outcome, "echoed other parameters than were sent");
    int filed = ExitOk;
    if (outcome == TPassOutcome::Ok) filed = File(TEntryKind::Programmed);
    if (outcome == TPassOutcome::Ok) {
      outcome = Link.WaitStored();
      storeTicks = Link.PassTicks;
      Link.PassTicks = programTicks;
      result = Outcome(outcome, "");
      if (outcome == TPassOutcome::NoReply)
        result.Text = "the unit on " + Port.DeviceName() +
                      (Port.HungUp() ? " hung up" : " stopped answering") +
                      " while it stored the parameters";
    }
    int status = Report(result);
    if (status == ExitOk) status = filed;
    std::string fields =
        ",\"store_ticks\":" + std::to_string(storeTicks) + ",\"file\":" + JsonString(Args.File);
    if (Args.Backup) fields += ",\"backup\":" + JsonString(*Args.Backup);
    Finish(status, fields);
    return status;
  }

  int Identity() {
    const int status = Report(Outcome(Link.ReadIdentity(), ""));
    if (Args.Json)
      PrintJson("", status);
    else if (Link.Host.IdentityDecoded)
      WriteText(IdentityText(Link.Host.Identity, LayoutVersion()), stdout);
    return status;
  }

  // With --bike: the unit's record as a restore point in the bike's history. What is not
  // kept is said, and the command ends with the file status.
  int File(TEntryKind kind) {
    const std::string problem = Filing.Store(Link.Image, kind);
    if (problem.empty()) return ExitOk;
    Progress.End();
    return Fail(ExitFile, problem);
  }

  // The end of verify and program: the final status text, or the JSON object.
  void Finish(int status, const std::string& fields = "") {
    Progress.End();
    if (Args.Json)
      PrintJson(fields, status);
    else if (status == ExitOk)
      WriteText(Link.Host.StatusText + "\n", stdout);
  }

  int Monitor() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    long frames = 0;
    bool writeFailed = false;
    if (Args.Csv)
      writeFailed = !WriteText(MonitorCsvHeader(), stdout);
    else if (!Args.Json)
      writeFailed = !WriteText(MonitorTableHeader(), stdout);
    Link.Host.OnMonitorFrame = [&](const TMonitorView&) {
      timespec now{};
      clock_gettime(CLOCK_REALTIME, &now);
      char row[MonitorCsvRowSize];
      FormatMonitorCsvRow(Link.Engine.MonitorFrame.data(),
                          static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000,
                          row);
      const std::string line = Args.Csv    ? std::string(row)
                               : Args.Json ? MonitorJsonLine(row)
                                           : MonitorTableLine(row);
      writeFailed = writeFailed || !WriteText(line, stdout);
      ++frames;
    };
    const long tickLimit =
        Args.Seconds ? static_cast<long>(*Args.Seconds * 1000 / TickMs + 0.5) : -1;
    const bool answered = Link.Watch([&] {
      return Interrupted || writeFailed || (Args.Count && frames >= *Args.Count) ||
             (tickLimit >= 0 && Link.PassTicks >= tickLimit);
    });
    if (writeFailed) return Fail(ExitFile, "standard output: cannot write");
    if (!answered)
      return Fail(ExitNoReply, "the unit on " + Port.DeviceName() +
                                   (Port.HungUp() ? " hung up" : " stopped answering"));
    return ExitOk;
  }

  const TArgs& Args;
  TPosixSerialPort& Port;
  TTickClock Clock;
  THeadlessLink Link;
  TProgress Progress;
  TBikeFiling Filing;
};

} // namespace

int main(int argc, char** argv) {
  TArgs args;
  if (const auto error = ParseArgs(argc, argv, args)) {
    if (*error == "help") return WriteText(HelpText(VantelCliUsage()), stdout) ? ExitOk : 1;
    if (*error == "version") return WriteText(VersionText(VantelCliUsage()), stdout) ? ExitOk : 1;
    return UsageError(*error);
  }
  if (IsBikeCommand(args.Command))
    return RunBikeCommand(args.Command, args.Bike.value_or(""), args.Json);
  TPosixSerialPort port;
  TSession session(args, port);
  return session.Run();
}
