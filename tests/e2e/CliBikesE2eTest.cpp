// vantel-cli with the bike library, against vantel-sim on a real pseudo-terminal: --bike
// files the restore points of read and program in the bike's history; bikes and history
// list the library; an unknown bike is a usage error that leaves the unit alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliProcess.h"
#include "support/SimProcess.h"
#include "support/TempHome.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The kind column of each line of `history`.
std::vector<std::string> Kinds(const std::string& history) {
  std::vector<std::string> kinds;
  for (const std::string& line : Lines(history)) {
    const std::size_t tab = line.find('\t');
    kinds.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
  }
  return kinds;
}

std::size_t RestorePointFiles(const std::string& root) {
  std::size_t n = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator i(root, ec), end; !ec && i != end; i.increment(ec))
    n += i->path().extension() == ".ign";
  return n;
}

class CliBikes : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(Sim.Start()); }
  TCliRun Cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-p", Sim.Path});
    return RunCli(arguments);
  }
  std::string Restore() const { return Home.File("data/vantel/restore-points"); }

  TTempHome Home;
  TSimProcess Sim;
};

TEST_F(CliBikes, ReadAndProgramFileTheirRestorePointsUnderTheBike) {
  const std::string tune = Home.File("tune.ign");
  // An unknown bike ends before the unit is touched, and nothing is written.
  TCliRun run = Cli({"read", "-o", tune, "--bike", "Duke"});
  EXPECT_EQ(run.Status, 64) << run.Err;
  EXPECT_NE(run.Err.find("no bike named \"Duke\""), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(tune));
  EXPECT_EQ(RestorePointFiles(Restore()), 0u);

  run = Cli({"read", "-o", tune, "--bike", "Duke", "--new-bike"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(RestorePointFiles(Restore()), 1u);
  run = RunCli({"history", "Duke"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(Kinds(run.Out), std::vector<std::string>{"read"});
  EXPECT_NE(run.Out.find(Restore()), std::string::npos) << run.Out;

  // A programming with a back-up: the back-up first, then what was programmed.
  run = Cli({"--json", "program", tune, "--bike", "Duke", "--backup", Home.File("b.ign")});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("\"bike\":\"Duke\""), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("\"restore_points\":[\"" + Restore()), std::string::npos) << run.Out;
  run = RunCli({"history", "Duke"});
  EXPECT_EQ(Kinds(run.Out), (std::vector<std::string>{"programmed", "backup", "read"}));
  EXPECT_EQ(RestorePointFiles(Restore()), 3u);

  // A verify keeps nothing; --new-bike with a bike that exists files under it.
  ASSERT_EQ(Cli({"verify", tune, "--bike", "duke"}).Status, 0) << "names match in any case";
  ASSERT_EQ(Cli({"read", "-o", tune, "--bike", "Duke", "--new-bike"}).Status, 0);
  run = RunCli({"--json", "history", "Duke"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out.rfind("{\"bike\":{\"name\":\"Duke\"", 0), 0u) << run.Out;
  std::size_t entries = 0;
  for (std::size_t at = 0; (at = run.Out.find("\"kind\":", at)) != std::string::npos; ++at)
    ++entries;
  EXPECT_EQ(entries, 4u) << run.Out;
}

TEST_F(CliBikes, ListsUsageErrorsAndADamagedLibrary) {
  // Names are data, never SQL or a path.
  const std::string odd = "Bob's \"bike\"'); DROP TABLE bikes;-- / ../x";
  ASSERT_EQ(Cli({"read", "-o", "-", "--bike", odd, "--new-bike"}).Status, 0);
  ASSERT_EQ(Cli({"read", "-o", "-", "--bike", "Anna", "--new-bike"}).Status, 0);
  TCliRun run = RunCli({"bikes"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(Lines(run.Out), (std::vector<std::string>{"Anna", odd}));
  run = RunCli({"bikes", "--json"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("\"name\":\"Bob's \\\"bike\\\"'); DROP"), std::string::npos) << run.Out;

  const struct {
    std::vector<std::string> Args;
    const char* Says;
  } usage[] = {
      {{"history"}, "history needs"},
      {{"history", "Nobody"}, "no bike named \"Nobody\""},
      {{"history", "Anna", "more"}, "unexpected argument"},
      {{"bikes", "--bike", "Anna"}, "--bike is an option"},
      {{"monitor", "--bike", "Anna"}, "--bike is an option"},
      {{"read", "--new-bike"}, "--new-bike goes with --bike"},
      {{"read", "--bike"}, "needs a value"},
      {{"read", "--bike", "", "--new-bike"}, "needs a name"},
      {{"read", "--bike", "two\nlines", "--new-bike"}, "one line"},
      {{"bikes", "-o", "x"}, "takes only --json"},
  };
  for (const auto& u : usage) {
    run = RunCli(u.Args);
    EXPECT_EQ(run.Status, 64) << u.Says;
    EXPECT_NE(run.Err.find(u.Says), std::string::npos) << run.Err;
  }

  // A damaged library is moved aside and said so; the restore points come back under no
  // bike, so the bikes are gone from the list but no tune is lost.
  TTempHome::Put(Home.File("data/vantel/bikes.sqlite"), "garbage, not a database");
  fs::remove(Home.File("data/vantel/bikes.sqlite-wal"));
  fs::remove(Home.File("data/vantel/bikes.sqlite-shm"));
  run = RunCli({"bikes"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("moved aside to " + Home.File("data/vantel/bikes.sqlite.damaged-")),
            std::string::npos)
      << run.Err;
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(RestorePointFiles(Restore()), 2u);
}

} // namespace
