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
#include "i18n/RestoreTexts.h"
#include "model/ParamDiff.h"
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
  std::string File;                  // verify, program; "-" is standard input
  std::optional<std::string> Output; // read -o; "-" is standard output
  std::optional<std::string> Backup; // program --backup
  std::string Port = "1";
  bool Json = false, Csv = false;
  bool Quiet = false, Verbose = false;
  std::optional<long> Count;
  std::optional<double> Seconds;
  std::optional<std::string> Bike; // --bike; history: the bike listed
  bool NewBike = false;
};

// The signal that asks the tool to stop, 0 while none came.
volatile std::sig_atomic_t StopSignal = 0;

// POSIX only: SIGINT, SIGTERM and SIGHUP stop the pass at the next tick, so the port is
// closed as at a normal end; a reader that went away is a failed write, not a death.
void OnStopSignal(int signal) {
  StopSignal = signal;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  std::signal(SIGPIPE, SIG_IGN);
}

// The shell's status of a process ended by the signal, and its name.
int SignalExit(int signal) {
  return 128 + signal;
}

const char* SignalName(int signal) {
  return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "SIGHUP";
}

int Fail(int status, const std::string& text) {
  std::fprintf(stderr, "vantel-cli: %s\n", text.c_str());
  return status;
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
    if (arg.rfind("--port=", 0) == 0 ||
        (arg.rfind("-p", 0) == 0 && arg.size() > 2 && arg[1] == 'p')) {
      args.Port = arg.substr(arg[1] == 'p' ? 2 : 7);
      if (args.Port.empty()) return std::string("-p needs a value");
    } else if (arg == "--") {
      options = false;
    } else if (arg == "-h" || arg == "--help") {
      return "help";
    } else if (arg == "--version") {
      return "version";
    } else if (arg == "--json") {
      args.Json = true;
    } else if (arg == "--csv") {
      args.Csv = true;
    } else if (arg == "-q" || arg == "--quiet") {
      args.Quiet = true;
    } else if (arg == "-v" || arg == "--verbose") {
      args.Verbose = true;
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
  if (args.Quiet && args.Verbose) return "-q and -v exclude each other";
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
           StopSignal == 0) {
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
  TProgress(const THeadlessHost& host, bool quiet)
      : Host(host), On(!quiet && isatty(STDERR_FILENO) == 1) {}
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

// -v: every frame sent and received, in hexadecimal with the time of day, on standard
// error; the passes see the port as it is.
class TVerbosePort : public TPort {
public:
  explicit TVerbosePort(TPort& port) : Port(port) {}
  bool IsOpen() const override { return Port.IsOpen(); }
  TPortCount BytesWaiting() override { return Port.BytesWaiting(); }
  TPortCount Read(std::uint8_t* buffer, int max) override {
    const TPortCount got = Port.Read(buffer, max);
    if (got.Ok()) Log("<", buffer, got.Count);
    return got;
  }
  bool Write(const std::uint8_t* data, int count) override {
    Log(">", data, count);
    return Port.Write(data, count);
  }
  void SendUnsent() override { Port.SendUnsent(); }
  bool WaitSent(int timeoutMs) override { return Port.WaitSent(timeoutMs); }
  void Close() override { Port.Close(); }

private:
  static void Log(const char* way, const std::uint8_t* data, int count) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[32], millis[24];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::snprintf(millis, sizeof millis, ".%03ld ", now.tv_nsec / 1000000);
    std::string line = std::string(stamp) + millis + way;
    for (int i = 0; i < count; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", data[i]);
      line += hex;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
  }
  TPort& Port;
};

class TSession {
public:
  TSession(const TArgs& args, TPosixSerialPort& port)
      : Args(args), Port(port), Logged(port),
        Link(args.Verbose ? static_cast<TPort&>(Logged) : port, [this] { WaitTick(); }),
        Progress(Link.Host, args.Quiet) {
    Link.StopRequested = [] { return StopSignal != 0; };
  }

  int Run() {
    // What the files say comes first: a wrong file or folder is told before the port is
    // touched, and the unit is never left half-served for a file that cannot be written.
    if (const TResult files = CheckFiles(); files.Status != ExitOk) return End(files);
    if (Args.Bike)
      if (const int status = Filing.Prepare(*Args.Bike, Args.NewBike); status != ExitOk)
        return status;
    TFailureReport failure;
    if (!Port.Open(PortDevice(Args.Port), failure))
      return End({ExitNoReply, DescribeFailure(failure, LangEnglish)});
    int status = RunCommand();
    Port.Close();
    if (OutputFailed && StopSignal == 0) status = Fail(ExitFile, "standard output: cannot write");
    return status;
  }

private:
  struct TResult {
    int Status = ExitOk;
    std::string Text; // the one line that says why, empty on success
  };

  TResult CheckFiles() {
    if (Args.Command == "read") return CheckWritable(ReadTarget());
    if (Args.Command != "verify" && Args.Command != "program") return {};
    if (TResult loaded = LoadFile(Args.File); loaded.Status != ExitOk) return loaded;
    if (Args.Command == "program" && Args.Backup) return CheckWritable(*Args.Backup);
    return {};
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

  // Standard output; a failed write is remembered and ends the tool with ExitFile.
  void Out(const std::string& text, std::FILE* stream = stdout) {
    if (!WriteText(text, stream) && stream == stdout) OutputFailed = true;
  }

  // "Caption: file value, unit value; ..." in the difference window's English words.
  std::string DifferencesText(const char* left) const {
    const TPassOutcome& outcome = Link.Engine.LastOutcome();
    if (!outcome.HasDifference) return {};
    std::string text;
    for (const TDifferenceRow& row : DescribeDifferences(
             DiffParams(outcome.Pc, outcome.Unit.Params), LangEnglish, Link.Host.Messages())) {
      text += text.empty() ? ": " : "; ";
      text += row.Caption + " " + left + " " + row.Left + ", unit " + row.Right;
    }
    return text;
  }

  // What the end of a pass means; differs: what a unit that answered other data did.
  TResult Outcome(TPassResult outcome, const std::string& differs) const {
    const std::string status = Link.Host.StatusText;
    switch (outcome) {
    case TPassResult::Ok:
      return {};
    case TPassResult::OtherVersion:
      return {ExitOtherVersion, Link.Host.ModalText};
    case TPassResult::Differs:
      return {ExitDiffers, status + " The unit " + differs};
    case TPassResult::NotStored:
      return {ExitNoReply, "the unit on " + Port.DeviceName() +
                               " did not finish storing the parameters within a minute"};
    case TPassResult::HungUp:
    case TPassResult::NoReply:
    case TPassResult::BackUpNotKept:
      break;
    }
    return {ExitNoReply,
            (status.empty() ? "" : status + " ") + "The unit on " + Port.DeviceName() +
                (outcome == TPassResult::HungUp || Port.HungUp() ? " hung up" : " did not answer")};
  }

  int Report(const TResult& result) {
    Progress.End();
    if (result.Status == ExitOk) return ExitOk;
    Error = result.Text;
    return Fail(result.Status, result.Text);
  }

  // A failure before or without a pass: its line, and with --json its object.
  int End(const TResult& result) {
    const int status = Report(result);
    if (Args.Json) PrintJson("", status);
    return status;
  }

  // Stopped by a signal at a tick, where no frame is half sent: the caller closes the port.
  int Stopped(const std::string& what) {
    Progress.End();
    const int signal = StopSignal;
    Error = std::string("stopped by ") + SignalName(signal) + what;
    Fail(SignalExit(signal), Error);
    if (Args.Json) PrintJson("", SignalExit(signal));
    return SignalExit(signal);
  }

  // --json: one object with the command's results.
  void PrintJson(const std::string& fields, int status) {
    std::string out = "{\"command\":" + JsonString(Args.Command) +
                      ",\"status\":" + JsonString(Status) + ",\"exit\":" + std::to_string(status);
    if (!Error.empty()) out += ",\"error\":" + JsonString(Error);
    out += ",\"ticks\":" + std::to_string(Link.PassTicks);
    if (Link.Host.IdentityDecoded && IdentityShown)
      out += ",\"identity\":" + IdentityJson(Link.Host.Identity, LayoutVersion());
    out += fields + Filing.JsonFields() + "}\n";
    Out(out);
  }

  // The record of the image into a file or, for "-", onto standard output.
  TResult WriteRecord(const std::string& path) {
    const std::string text = IgnFileText(Link.Image.Params);
    if (path == "-") {
      if (WriteText(text, stdout)) return {};
      OutputFailed = false; // told here, once
      return {ExitFile, "standard output: cannot write"};
    }
    TFailureReport failure;
    if (!WriteFileSafely(path, text, failure))
      return {ExitFile, DescribeFailure(failure, LangEnglish)};
    return {};
  }

  static TResult CheckWritable(const std::string& path) {
    TFailureReport failure;
    if (!path.empty() && path != "-" && !CheckReplaceable(path, failure))
      return {ExitFile, DescribeFailure(failure, LangEnglish)};
    return {};
  }

  int Read() {
    const std::string path = ReadTarget();
    const TPassResult outcome = Link.Read();
    Status = Link.Host.StatusText;
    if (Link.Stopped) return Stopped("; nothing was written");
    const bool read = outcome == TPassResult::Ok || outcome == TPassResult::Differs;
    // A read that failed has no unit to name: no identity, no record.
    IdentityShown = read;
    int status = ExitOk;
    if (read) {
      // Read, but normalised to other values than the unit holds: kept, and said so.
      if (!path.empty()) status = Report(WriteRecord(path));
      if (status == ExitOk)
        status = Report(Outcome(outcome, "holds other parameters than the record read and "
                                         "normalised, which is written all the same" +
                                             DifferencesText("read")));
      if (status == ExitOk) status = File(TEntryKind::Read);
    } else {
      status = Report(Outcome(outcome, ""));
    }
    if (Args.Json) {
      std::string fields;
      if (read) {
        fields += ",\"params\":" + ParamsJson(Link.Image.Params);
        if (!path.empty() && path != "-" && status != ExitFile)
          fields += ",\"file\":" + JsonString(path);
      }
      PrintJson(fields, status);
    } else if (read && status != ExitFile && !(path == "-" && Args.Quiet)) {
      // Beside a record on standard output, the identity goes to standard error.
      Out(IdentityText(Link.Host.Identity, LayoutVersion()), path == "-" ? stderr : stdout);
    }
    return status;
  }

  // The file's record as Open lays it onto a window started afresh, normalised; "-" reads
  // standard input.
  TResult LoadFile(const std::string& path) {
    std::string text;
    if (path == "-") {
      if (!ReadStandardInput(text)) return {ExitFile, "standard input: cannot read"};
    } else {
      TFailureReport failure;
      if (!ReadFileSafely(path, text, failure))
        return {ExitFile, DescribeFailure(failure, LangEnglish)};
    }
    if (!ReadIgnFile(text, Link.Image.Params))
      return {ExitFile, (path == "-" ? std::string("standard input") : path) + ": " +
                            Link.Host.Messages().MsgFileVersionMismatch + " (no ZANDERIX_KEY 67)"};
    Link.Host.NormaliseParams();
    return {};
  }

  // Up to the limit of any parameter file; more is no parameter file.
  static bool ReadStandardInput(std::string& text) {
    char buffer[4096];
    for (;;) {
      const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
      text.append(buffer, got);
      if (text.size() > ReadLimitBytes) return false;
      if (got < sizeof buffer) return std::ferror(stdin) == 0;
    }
  }

  std::string FileName() const { return Args.File == "-" ? "standard input" : Args.File; }

  int Verify() {
    const TPassResult outcome = Link.Verify();
    Status = Link.Host.StatusText;
    if (Link.Stopped) return Stopped("");
    const int status =
        Report(Outcome(outcome, "holds other parameters than " + FileName() +
                                    DifferencesText(Args.File == "-" ? "input" : "file")));
    Finish(status);
    return status;
  }

  int Program() {
    const TDeviceImage programmed = Link.Image;
    if (Args.Backup) {
      TResult backup = Outcome(Link.Read(), "holds other parameters than the record read");
      if (Link.Stopped) return Stopped("; nothing was programmed");
      if (backup.Status == ExitDiffers) backup.Status = ExitNoReply; // no backup, no programming
      if (backup.Status != ExitOk) {
        Status = Link.Host.StatusText;
        backup.Text += ": no backup in " + *Args.Backup + ", nothing programmed";
        return End(backup);
      }
      if (TResult written = WriteRecord(*Args.Backup); written.Status != ExitOk) {
        Status = Link.Host.StatusText;
        written.Text += ": nothing programmed";
        return End(written);
      }
      if (const int filed = File(TEntryKind::BackUp); filed != ExitOk) {
        Progress.End();
        Fail(filed, "nothing programmed");
        return filed;
      }
      // The file is programmed exactly as without a backup.
      Link.Image = programmed;
    }
    TPassResult outcome = Link.Program();
    Status = Link.Host.StatusText;
    if (Link.Stopped) return Stopped(ProgrammingState());
    const long programTicks = Link.PassTicks;
    long storeTicks = 0;
    TResult result =
        Outcome(outcome, "echoed other parameters than were sent" + DifferencesText("sent"));
    // Filed as programmed only once the unit has stored it.
    int filed = ExitOk;
    if (outcome == TPassResult::Ok) {
      outcome = Link.WaitStored();
      Status = Link.Host.StatusText;
      if (Link.Stopped) return Stopped(ProgrammingState());
      storeTicks = Link.PassTicks;
      Link.PassTicks = programTicks;
      result = Outcome(outcome, "");
      if (outcome == TPassResult::NoReply || outcome == TPassResult::HungUp)
        result.Text = "the unit on " + Port.DeviceName() +
                      (outcome == TPassResult::HungUp ? " hung up" : " stopped answering") +
                      " while it stored the parameters; they may not be kept: verify the unit";
      if (outcome == TPassResult::Ok) filed = File(TEntryKind::Programmed);
    }
    int status = Report(result);
    if (status == ExitOk) status = filed;
    std::string fields =
        ",\"store_ticks\":" + std::to_string(storeTicks) + ",\"file\":" + JsonString(FileName());
    if (Args.Backup) fields += ",\"backup\":" + JsonString(*Args.Backup);
    Finish(status, fields);
    return status;
  }

  // Whether the unit may have taken the new parameters when the programming stopped.
  std::string ProgrammingState() const {
    switch (Link.Engine.Phase()) {
    case TLinkPhase::WriteBlock1:
    case TLinkPhase::Verifying:
    case TLinkPhase::Storing:
      return "; the unit may have taken the new parameters: verify it";
    default:
      return Link.Engine.LastOutcome().Pass == TPass::Store
                 ? "; the unit had stored the new parameters"
                 : "; nothing was programmed";
    }
  }

  int Identity() {
    const TPassResult outcome = Link.ReadIdentity();
    if (Link.Stopped) return Stopped("");
    // The pass goes no further than block 0: its own end, not the Read's "Read:".
    Status = outcome == TPassResult::Ok ? "Identity: OK" : Link.Host.StatusText;
    const int status = Report(Outcome(outcome, ""));
    IdentityShown = Link.Host.IdentityDecoded;
    if (Args.Json)
      PrintJson("", status);
    else if (Link.Host.IdentityDecoded)
      Out(IdentityText(Link.Host.Identity, LayoutVersion()));
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
      Out(Status + "\n");
  }

  int Monitor() {
    long frames = 0;
    if (Args.Csv)
      Out(MonitorCsvHeader());
    else if (!Args.Json)
      Out(MonitorTableHeader());
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
      Out(line);
      ++frames;
    };
    const long tickLimit =
        Args.Seconds ? static_cast<long>(*Args.Seconds * 1000 / TickMs + 0.5) : -1;
    const bool answered = Link.Watch([&] {
      return StopSignal != 0 || OutputFailed || (Args.Count && frames >= *Args.Count) ||
             (tickLimit >= 0 && Link.PassTicks >= tickLimit);
    });
    if (OutputFailed) return ExitFile; // told by Run
    if (!answered)
      return End({ExitNoReply, "the unit on " + Port.DeviceName() +
                                   (Port.HungUp() ? " hung up"
                                    : frames == 0 ? " did not answer"
                                                  : " stopped answering")});
    return ExitOk;
  }

  const TArgs& Args;
  TPosixSerialPort& Port;
  TVerbosePort Logged;
  TTickClock Clock;
  THeadlessLink Link;
  TProgress Progress;
  std::string Status; // the status of the JSON object: the window's text at the end
  std::string Error;  // the line of a failure, for the JSON object
  bool IdentityShown = false;
  bool OutputFailed = false;
  TBikeFiling Filing;
};

// Everything on standard output has reached it, or the tool says it did not.
int CloseStandardOutput(int status) {
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (std::fclose(stdout) != 0 || failed) {
    if (status == ExitOk || status == ExitFile) {
      if (status == ExitOk) Fail(ExitFile, "standard output: cannot write");
      return ExitFile;
    }
  }
  return status;
}

int UsageError(const TArgs& args, const std::string& text) {
  Fail(ExitUsage, text + " (see vantel-cli --help)");
  if (args.Json)
    WriteText("{\"command\":" + JsonString(args.Command) + ",\"status\":\"\",\"exit\":" +
                  std::to_string(ExitUsage) + ",\"error\":" + JsonString(text) + "}\n",
              stdout);
  return ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
  TArgs args;
  if (const auto error = ParseArgs(argc, argv, args)) {
    if (*error == "help") return WriteText(HelpText(VantelCliUsage()), stdout) ? ExitOk : 1;
    if (*error == "version") return WriteText(VersionText(VantelCliUsage()), stdout) ? ExitOk : 1;
    return CloseStandardOutput(UsageError(args, *error));
  }
  if (IsBikeCommand(args.Command))
    return CloseStandardOutput(RunBikeCommand(args.Command, args.Bike.value_or(""), args.Json));
  CatchStopSignals();
  TPosixSerialPort port;
  TSession session(args, port);
  return CloseStandardOutput(session.Run());
}
