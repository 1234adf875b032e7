// vantel-cli as a script runs it, against vantel-sim on a real pseudo-terminal: every
// command, every fault of the unit, file errors and usage errors, by exit status and output.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <thread>

#include "SimUnit.h"
#include "files/IgnFile.h"
#include "model/Normalise.h"
#include "support/BadPaths.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"
#include "support/TempHome.h"

namespace {

enum {
  ExitOk = 0,
  ExitDiffers = 1,
  ExitNoReply = 2,
  ExitOtherVersion = 3,
  ExitFile = 4,
  ExitUsage = 64
};

// The .ign text of the record the simulated unit starts with, normalised as a read does.
std::string SimRecordText() {
  TSimUnit unit;
  TIgnParams p = unit.Params();
  TLanguage language = LangEnglish;
  std::uint8_t port = 1;
  NormaliseParams(p, language, port);
  return IgnFileText(p);
}

std::size_t Lines(const std::string& text) {
  std::size_t n = 0;
  for (const char c : text) n += c == '\n';
  return n;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += w + " ";
  return text;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

class CliEndToEnd : public ::testing::Test {
protected:
  void Start(const std::vector<std::string>& options = {}) {
    std::string error;
    ASSERT_TRUE(Sim.Start(TSimProcess::Program(), options, error)) << error;
  }
  // vantel-cli -p <the simulator's line> arguments...
  TCliRun Cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-p", Sim.Path});
    return RunCli(arguments);
  }
  std::string File(const std::string& name) const { return Home.File(name); }

  TTempHome Home;
  TSimProcess Sim;
};

// One failure, one line on standard error, beginning with the program's name.
void ExpectOneLine(const TCliRun& run) {
  EXPECT_EQ(Lines(run.Err), 1u) << run.Err;
  EXPECT_EQ(run.Err.rfind("vantel-cli: ", 0), 0u) << run.Err;
}

} // namespace

TEST_F(CliEndToEnd, EveryCommandAgainstAHealthyUnit) {
  Start();
  const std::string record = SimRecordText();

  TCliRun run = Cli({"read", "-o", File("unit.ign")});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(TTempHome::Slurp(File("unit.ign")), record);
  EXPECT_NE(run.Out.find("Unit program:   VNT12\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Layout version: 67\n"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Err, "") << "no progress where standard error is no terminal";

  run = Cli({"read"}); // the record on standard output, the identity beside it
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, record);
  EXPECT_NE(run.Err.find("Unit program:   VNT12"), std::string::npos) << run.Err;

  run = Cli({"--json", "read"});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  for (const char* field :
       {"\"status\":\"Verify: OK\"", "\"exit\":0", "\"ticks\":7", "\"UnitVersionText\":\"VNT12\"",
        "\"LayoutVersion\":67", "\"PocetBodu\":5", "\"Input1\":4", "\"RpmKorekce\":100",
        "\"RpmAdv\":[10,20,30,40,50,60,70,80,90,100,110,120,130,140,150]",
        "\"Advance\":[10,18,26,32,34,10,"})
    EXPECT_NE(run.Out.find(field), std::string::npos) << field << "\n" << run.Out;
  EXPECT_EQ(Lines(run.Out), 1u);

  run = Cli({"verify", File("unit.ign")});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, "Verify: OK\n");

  run = Cli({"identity"});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, "Unit program:   VNT12\nProgram date:   14. 3.2024\nProgram time:   12:30\n"
                     "Layout version: 67\n");

  // A changed setting, programmed with a backup of what the unit held.
  std::string changed = record;
  const std::string from = "\r\nBASE_ADV       10 ", to = "\r\nBASE_ADV       12 ";
  ASSERT_NE(changed.find(from), std::string::npos);
  changed.replace(changed.find(from), from.size(), to);
  TTempHome::Put(File("changed.ign"), changed);
  run = Cli({"--json", "program", File("changed.ign"), "--backup", File("backup.ign")});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_NE(run.Out.find("\"status\":\"Programing: OK\""), std::string::npos) << run.Out;
  EXPECT_EQ(TTempHome::Slurp(File("backup.ign")), record);
  EXPECT_EQ(Cli({"verify", File("changed.ign")}).Status, ExitOk);
  run = Cli({"verify", File("unit.ign")});
  EXPECT_EQ(run.Status, ExitDiffers);
  ExpectOneLine(run);
  run = Cli({"program", File("unit.ign")});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, "Programing: OK\n");
  EXPECT_EQ(Cli({"verify", File("unit.ign")}).Status, ExitOk);

  // The live values: the recording's CSV, one JSON object a row, or a table.
  run = Cli({"monitor", "--csv", "--count", "3"});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out.rfind("time,rpm,advance,max_advance,voltage,", 0), 0u) << run.Out;
  EXPECT_EQ(Lines(run.Out), 4u) << run.Out;
  EXPECT_NE(run.Out.find(",67,"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("\n\n"), std::string::npos);
  EXPECT_NE(run.Out.find("\r\n"), std::string::npos);
  run = Cli({"--json", "monitor", "--count", "1"});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out.rfind("{\"time\":\"", 0), 0u) << run.Out;
  EXPECT_NE(run.Out.find(",\"version\":67,\"input1\":"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("\"pickup\":1"), std::string::npos) << run.Out;
  run = Cli({"monitor", "--seconds", "1.2"});
  ASSERT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out.rfind("time ", 0), 0u) << run.Out;
  // A request every 6 ticks: 3 or 4 frames in 22 ticks.
  EXPECT_GE(Lines(run.Out), 4u) << run.Out;
  EXPECT_LE(Lines(run.Out), 5u) << run.Out;
  EXPECT_NE(run.Out.find(" pickup\n"), std::string::npos) << run.Out;
}

TEST_F(CliEndToEnd, FaultsOfTheUnitEndInTheirExitStatus) {
  const std::string good = File("good.ign");
  TTempHome::Put(good, SimRecordText());
  const std::string out = File("out.ign"), backup = File("backup.ign");
  struct {
    std::vector<std::string> Sim, Cli;
    int Status;
    const char* Says; // part of the one line on standard error
  } const cases[] = {
      {{"--silent"}, {"read", "-o", out}, ExitNoReply, "Read error! The unit on "},
      {{"--silent"}, {"verify", good}, ExitNoReply, "Verify error! "},
      {{"--silent"}, {"program", good}, ExitNoReply, "Program error! "},
      {{"--silent"}, {"identity"}, ExitNoReply, "Read error! "},
      {{"--silent"}, {"monitor"}, ExitNoReply, "did not answer"},
      {{"--silent"}, {"program", good, "--backup", backup}, ExitNoReply, "nothing programmed"},
      {{"--corrupt", "100"}, {"read", "-o", out}, ExitNoReply, "did not answer"},
      {{"--stray", "3"}, {"verify", good}, ExitNoReply, "did not answer"},
      {{"--bad-echo"}, {"program", good}, ExitDiffers, "Program error! The unit echoed"},
      {{"--bad-verify"}, {"verify", good}, ExitDiffers, "Verify error! The unit holds other"},
      {{"--bad-verify"}, {"program", good, "--backup", backup}, ExitNoReply, "nothing programmed"},
      {{"--layout-version", "66"}, {"read", "-o", out}, ExitOtherVersion, "PC-67, IGN-66"},
      {{"--layout-version", "66"}, {"identity"}, ExitOtherVersion, "PC-67, IGN-66"},
      {{"--layout-version", "66"}, {"program", good}, ExitOtherVersion, "PC-67, IGN-66"},
      {{"--unplug-after", "1"}, {"monitor"}, ExitNoReply, "hung up"},
      // Faults the rules ride out: resends, a still engine, a long name, strict framing.
      {{"--drop", "30", "--seed", "7"}, {"read", "-o", out}, ExitOk, ""},
      {{"--stopped"}, {"monitor", "--count", "1"}, ExitOk, ""},
      {{"--long-name", "Nine-Point Special"}, {"identity"}, ExitOk, ""},
      {{"--long-name", "A\x1b[2J\x9b"
                       "B"},
       {"identity"},
       ExitOk,
       ""},
      {{"--strict-framing"}, {"program", good}, ExitOk, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sim[0] + " / " + c.Cli[0]);
    std::remove(out.c_str());
    std::remove(backup.c_str());
    Start(c.Sim);
    const TCliRun run = Cli(c.Cli);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    if (c.Status == ExitOk) {
      EXPECT_EQ(run.Err, "");
    } else {
      ExpectOneLine(run);
      EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
      // A failed read leaves no file; a failed backup read programs nothing.
      EXPECT_FALSE(Exists(out));
      EXPECT_FALSE(Exists(backup));
    }
    if (c.Sim[0] == "--drop") {
      EXPECT_EQ(TTempHome::Slurp(out), SimRecordText());
    } else if (c.Sim[0] == "--stopped") {
      EXPECT_NE(run.Out.find(" base_advance\n"), std::string::npos) << run.Out;
    } else if (c.Sim[0] == "--long-name") {
      // A unit's name never reaches the terminal as control characters.
      const std::string shown = c.Sim[1][0] == 'N' ? c.Sim[1] : "A?[2J?B";
      EXPECT_NE(run.Out.find("Unit program:   " + shown + "\n"), std::string::npos) << run.Out;
    }
    Sim.Stop();
  }
}

// A read whose verify fails (the unit answers it with other data) keeps what it read and
// says so; a backup that fails that way programs nothing: the unit keeps its record.
TEST_F(CliEndToEnd, AReadThatFailsItsVerifyIsWrittenAndReported) {
  Start({"--bad-verify"});
  const TCliRun run = Cli({"read", "-o", File("read.ign")});
  EXPECT_EQ(run.Status, ExitDiffers);
  ExpectOneLine(run);
  EXPECT_NE(run.Err.find("written all the same"), std::string::npos) << run.Err;
  EXPECT_EQ(TTempHome::Slurp(File("read.ign")), SimRecordText());
}

TEST_F(CliEndToEnd, FileErrorsLeaveEveryFileAsItWas) {
  Start();
  const std::string good = File("good.ign");
  TTempHome::Put(good, SimRecordText());
  TTempHome::Put(File("other.ign"), "ZANDERIX_KEY  66 \r\n\r\nBASE_ADV 12 ");
  TTempHome::Put(File("kept.ign"), "old contents");
  ASSERT_EQ(::mkdir(File("folder.ign").c_str(), 0755), 0);
  struct {
    std::vector<std::string> Cli;
    const char* Says;
  } const cases[] = {
      {{"verify", File("missing.ign")}, "missing.ign"},
      {{"verify", File("folder.ign")}, "folder.ign"},
      {{"verify", File("other.ign")}, "Unmatched version of *.ign file!"},
      {{"program", File("other.ign")}, "Unmatched version of *.ign file!"},
      {{"read", "-o", File("no/such/folder.ign")}, "folder.ign"},
      {{"read", "-o", File("folder.ign")}, "folder.ign"},
      {{"program", good, "--backup", File("folder.ign")}, "folder.ign"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Cli[0] + " " + c.Cli.back());
    const TCliRun run = Cli(c.Cli);
    EXPECT_EQ(run.Status, ExitFile);
    ExpectOneLine(run);
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
  // Nothing was programmed: the unit still holds its own record.
  EXPECT_EQ(Cli({"verify", good}).Status, ExitOk);
  EXPECT_EQ(TTempHome::Slurp(File("kept.ign")), "old contents");

  // Unreadable files of every kind are a file error, never a hang.
  for (const TBadPathKind& bad : BadPathKinds) {
    const std::string path = File(std::string("bad-") + bad.Name);
    if (!PlaceBadPath(bad.Kind, path)) continue;
    SCOPED_TRACE(bad.Name);
    const TCliRun run = Cli({"verify", path});
    EXPECT_EQ(run.Status, ExitFile);
    ExpectOneLine(run);
  }
}

TEST_F(CliEndToEnd, PortsByComNumberOrPathAndUsageErrors) {
  Start();
  {
    // Com 3 as the window's Com menu maps it.
    TEnvGuard com3("VANTEL_COM3", Sim.Path);
    for (const char* port : {"3", "COM3", "com3"}) {
      const TCliRun run = RunCli({"-p", port, "identity"});
      EXPECT_EQ(run.Status, ExitOk) << port << ": " << run.Err;
    }
  }
  {
    // Com 2 through the link com2 in the settings directory, which vantel-sim makes.
    TEnvGuard com2("VANTEL_COM2", std::nullopt);
    TSimProcess linked;
    std::string error;
    ASSERT_TRUE(linked.Start(TSimProcess::Program(), {"--link", File("com2")}, error)) << error;
    const TCliRun run = RunCli({"-p", "2", "identity"});
    EXPECT_EQ(run.Status, ExitOk) << run.Err;
  }
  TEnvGuard com1("VANTEL_COM1", File("no-such-device"));
  TCliRun run = RunCli({"identity"}); // Com 1 by default
  EXPECT_EQ(run.Status, ExitNoReply);
  ExpectOneLine(run);
  EXPECT_NE(run.Err.find("no-such-device"), std::string::npos) << run.Err;
  // A file that cannot be read or written is told before the port is tried.
  for (const std::vector<std::string>& cli :
       {std::vector<std::string>{"verify", File("missing.ign")},
        std::vector<std::string>{"read", "-o", File("no/such/folder.ign")}}) {
    run = RunCli(cli);
    EXPECT_EQ(run.Status, ExitFile) << run.Err;
    EXPECT_EQ(run.Err.find("no-such-device"), std::string::npos) << run.Err;
  }

  const std::vector<std::vector<std::string>> usage = {
      {},
      {"frobnicate"},
      {"read", "--bogus"},
      {"read", "-o"},
      {"verify"},
      {"verify", "a.ign", "b.ign"},
      {"program"},
      {"identity", "extra"},
      {"verify", "a.ign", "-o", "b.ign"},
      {"read", "--backup", "b.ign"},
      {"read", "--csv"},
      {"monitor", "--count", "0"},
      {"monitor", "--count", "x"},
      {"monitor", "--seconds", "-1"},
      {"monitor", "--count", "2", "--seconds", "2"},
      {"-p", "11", "identity"},
      {"-p", "0", "identity"},
      {"-p", "COM11", "identity"},
  };
  for (const auto& arguments : usage) {
    std::string shown;
    for (const std::string& a : arguments) shown += a + " ";
    run = RunCli(arguments);
    EXPECT_EQ(run.Status, ExitUsage) << shown;
    ExpectOneLine(run);
    EXPECT_EQ(run.Out, "") << shown;
  }
  run = RunCli({"monitor", "--count", "1", "--help"});
  EXPECT_EQ(run.Status, ExitOk);
  EXPECT_EQ(run.Out.rfind("Usage: vantel-cli ", 0), 0u);
}

// Whatever cannot reach standard output is a failure: exit 4 and one line, never 0.
TEST_F(CliEndToEnd, OutputThatCannotBeWrittenIsAFileError) {
  Start();
  const std::string good = File("good.ign");
  TTempHome::Put(good, SimRecordText());
  TCliStreams full;
  full.Output = "/dev/full";
  for (const std::vector<std::string>& cli : {std::vector<std::string>{"--json", "read"},
                                              {"read"},
                                              {"identity"},
                                              {"--json", "identity"},
                                              {"verify", good},
                                              {"--json", "verify", good},
                                              {"monitor", "--count", "1"}}) {
    SCOPED_TRACE(Joined(cli));
    std::vector<std::string> arguments{"-p", Sim.Path};
    arguments.insert(arguments.end(), cli.begin(), cli.end());
    const TCliRun run = RunCli(arguments, full);
    EXPECT_EQ(run.Status, ExitFile) << run.Err;
    ExpectOneLine(run);
    EXPECT_NE(run.Err.find("standard output"), std::string::npos) << run.Err;
  }
  // The port was closed as at every end: the next run opens it.
  EXPECT_EQ(Cli({"identity"}).Status, ExitOk);
}

// SIGINT, SIGTERM and SIGHUP stop a pass between frames, close the port as a normal end
// does (so the next open finds it free), say so in one line and end in 128 + the signal.
// Each comes once -v has shown a given frame leave; a one-frame pass goes to a silent unit,
// so the signal comes before its end.
TEST_F(CliEndToEnd, SignalsStopAPassAndLeaveThePortUsable) {
  Start();
  TSimProcess silent;
  std::string error;
  ASSERT_TRUE(silent.Start(TSimProcess::Program(), {"--silent"}, error)) << error;
  const std::string good = File("good.ign");
  TTempHome::Put(good, SimRecordText());
  struct {
    int Signal, Status;
    bool Silent;
    const char* After;
    std::vector<std::string> Cli;
    const char* Says;
  } const cases[] = {
      {SIGINT, 130, false, "> 41 ", {"read", "-o", File("out.ign")}, "stopped by SIGINT"},
      {SIGTERM, 143, true, "> 40 ", {"identity"}, "stopped by SIGTERM"},
      {SIGHUP, 129, true, "> 41 ", {"verify", good}, "stopped by SIGHUP"},
      {SIGTERM, 143, false, "> 00 ", {"program", good}, "nothing was programmed"},
      {SIGINT, 130, false, "> 01 ", {"program", good}, "may have taken the new parameters"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Joined(c.Cli) + c.Says);
    TCliStreams streams;
    streams.Signal = c.Signal;
    streams.SignalWhen = c.After;
    std::vector<std::string> arguments{"-v", "-p", c.Silent ? silent.Path : Sim.Path};
    arguments.insert(arguments.end(), c.Cli.begin(), c.Cli.end());
    const TCliRun run = RunCli(arguments, streams);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    const std::string last = run.Err.substr(run.Err.rfind('\n', run.Err.size() - 2) + 1);
    EXPECT_EQ(last.rfind("vantel-cli: stopped by ", 0), 0u) << run.Err;
    EXPECT_NE(last.find(c.Says), std::string::npos) << run.Err;
    EXPECT_FALSE(Exists(File("out.ign")));
    const TCliRun next = RunCli({"-p", c.Silent ? silent.Path : Sim.Path, "identity"});
    EXPECT_EQ(next.Status, c.Silent ? ExitNoReply : ExitOk) << next.Err;
    EXPECT_EQ(next.Err.find("busy"), std::string::npos) << next.Err;
  }
}

// With --json every end is one object with the exit status and, on a failure, its line;
// a failed read names no unit.
TEST_F(CliEndToEnd, JsonSaysHowEveryRunEnded) {
  Start({"--silent"});
  struct {
    std::vector<std::string> Cli;
    int Status;
  } const cases[] = {
      {{"--json", "verify", File("missing.ign")}, ExitFile},
      {{"--json", "-p", File("no-such-device"), "identity"}, ExitNoReply},
      {{"--json", "frobnicate"}, ExitUsage},
      {{"--json", "monitor", "--csv"}, ExitUsage},
      {{"-p", Sim.Path, "--json", "read"}, ExitNoReply},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Joined(c.Cli));
    const TCliRun run = RunCli(c.Cli);
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    ExpectOneLine(run);
    EXPECT_EQ(Lines(run.Out), 1u) << run.Out;
    EXPECT_EQ(run.Out.rfind("{\"command\":", 0), 0u) << run.Out;
    EXPECT_NE(run.Out.find("\"exit\":" + std::to_string(c.Status)), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\"error\":\""), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("identity\":"), std::string::npos) << run.Out;
  }
  Sim.Stop();
  Start();
  const TCliRun run = Cli({"--json", "identity"});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_NE(run.Out.find("\"status\":\"Identity: OK\""), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("\"identity\":{"), std::string::npos) << run.Out;
}

// The port in every spelling, a file from standard input, -q and -v, and a difference
// named field by field.
TEST_F(CliEndToEnd, PortSpellingsStandardInputQuietVerboseAndNamedDifferences) {
  Start();
  const std::string good = File("good.ign");
  TTempHome::Put(good, SimRecordText());
  for (const std::string& port : {"--port=" + Sim.Path, "-p" + Sim.Path}) {
    const TCliRun run = RunCli({port, "identity"});
    EXPECT_EQ(run.Status, ExitOk) << port << ": " << run.Err;
  }
  TCliStreams input;
  input.Input = good;
  TCliRun run = RunCli({"-p", Sim.Path, "verify", "-"}, input);
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, "Verify: OK\n");

  run = Cli({"-q", "read"});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  EXPECT_EQ(run.Out, SimRecordText());
  EXPECT_EQ(run.Err, "");

  run = Cli({"-v", "identity"});
  EXPECT_EQ(run.Status, ExitOk) << run.Err;
  // hh:mm:ss.mmm > 40 00 ... 00 BF: the request, then the unit's reply.
  EXPECT_NE(run.Err.find(" > 40 00 00 "), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(" < C0 "), std::string::npos) << run.Err;
  EXPECT_EQ(run.Err[2], ':');
  EXPECT_EQ(run.Err[8], '.');
  Sim.Stop();

  Start({"--bad-verify"});
  run = Cli({"verify", good});
  EXPECT_EQ(run.Status, ExitDiffers);
  ExpectOneLine(run);
  EXPECT_NE(run.Err.find(": "), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(" file "), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find(", unit "), std::string::npos) << run.Err;
}

// The unit drops off a third into storing and comes back: the programming is not reported
// as done, and the unit indeed kept its old parameters.
TEST_F(CliEndToEnd, AHangUpWhileStoringFailsTheProgramming) {
  const std::string link = File("com1");
  std::string error;
  ASSERT_TRUE(Sim.Start(TSimProcess::Program(), {"--hang-up-storing", "--link", link}, error))
      << error;
  std::string changed = SimRecordText();
  const std::string from = "\r\nBASE_ADV       10 ", to = "\r\nBASE_ADV       12 ";
  ASSERT_NE(changed.find(from), std::string::npos);
  changed.replace(changed.find(from), from.size(), to);
  TTempHome::Put(File("changed.ign"), changed);
  TCliRun run = RunCli({"-p", link, "--json", "program", File("changed.ign")});
  EXPECT_EQ(run.Status, ExitNoReply) << run.Err;
  ExpectOneLine(run);
  EXPECT_NE(run.Err.find("hung up while it stored"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Out.find("Programing: OK"), std::string::npos) << run.Out;
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  run = RunCli({"-p", link, "verify", File("changed.ign")});
  EXPECT_EQ(run.Status, ExitDiffers) << run.Err;
}
