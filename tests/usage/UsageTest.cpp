#include "usage/Usage.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

} // namespace

TEST(InfoRequest, HelpOrVersionAnywhereBeforeTheEndOfOptions) {
  const struct {
    std::vector<const char*> Args;
    TInfoRequest Want;
  } cases[] = {
      {{"vantel"}, TInfoRequest::None},
      {{"vantel", "DEUTSCH"}, TInfoRequest::None},
      {{"vantel", "--help"}, TInfoRequest::Help},
      {{"vantel", "-h"}, TInfoRequest::Help},
      {{"vantel", "DEUTSCH", "--help"}, TInfoRequest::Help},
      {{"vantel", "-platform", "offscreen", "--version"}, TInfoRequest::Version},
      {{"vantel", "--version", "--help"}, TInfoRequest::Version},
      {{"vantel", "--", "--help"}, TInfoRequest::None},
      {{"vantel", "--helpme", "-help", "HELP"}, TInfoRequest::None},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const char* a : c.Args) shown += std::string(a) + " ";
    EXPECT_EQ(FindInfoRequest(static_cast<int>(c.Args.size()), c.Args.data()), c.Want) << shown;
  }
  EXPECT_EQ(FindInfoRequest(0, nullptr), TInfoRequest::None);
}

TEST(HelpText, EveryProgramNamesItsOptionsEnvironmentAndExitStatusWithinTheWidth) {
  ASSERT_EQ(InstalledPrograms().size(), 3u);
  for (const TProgramUsage* usage : InstalledPrograms()) {
    const std::string help = HelpText(*usage);
    EXPECT_EQ(help.rfind("Usage: " + usage->Name + " ", 0), 0u) << help;
    for (const auto* list : {&usage->Arguments, &usage->Options, &usage->Environment, &usage->Files,
                             &usage->ExitStatus})
      for (const TUsageItem& item : *list) EXPECT_NE(help.find(item.Name), std::string::npos);
    EXPECT_NE(help.find("--help"), std::string::npos);
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_NE(help.find("Exit status:"), std::string::npos);
    EXPECT_NE(help.find("GPL-3.0-or-later"), std::string::npos);
    for (const std::string& line : Lines(help)) {
      EXPECT_LE(line.size(), 79u) << line;
      EXPECT_TRUE(line.empty() || line.back() != ' ') << '"' << line << '"';
    }
    EXPECT_EQ(FindProgramUsage(usage->Name), usage);
  }
  EXPECT_EQ(FindProgramUsage("vantel-nothing"), nullptr);

  const std::string help = HelpText(VantelUsage());
  for (const char* word : {"ENGLISH", "DEUTSCH", "FRANCE", "CESKY", "VANTEL_HOME",
                           "XDG_CONFIG_HOME", "VANTEL_COM1 ... VANTEL_COM10", "/dev/ttyUSB<n-1>"})
    EXPECT_NE(help.find(word), std::string::npos) << word;
}

TEST(HelpText, LongNamesPutTheirTextOnTheNextLineAndWordsWrapAtTheWidth) {
  TProgramUsage usage;
  usage.Name = "demo";
  usage.Summary = "show the layout";
  usage.Synopsis = {"[OPTION]"};
  usage.Options = {
      {"-a, --all", "short"},
      {"--a-very-long-option-name", std::string(30, 'x') + " " + std::string(60, 'y')}};
  const std::vector<std::string> lines = Lines(HelpText(usage));
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "Usage: demo [OPTION]");
  EXPECT_EQ(lines[1], "Show the layout.");
  EXPECT_EQ(lines[3], "Options:");
  EXPECT_EQ(lines[4], "  -a, --all             short");
  EXPECT_EQ(lines[5], "      --a-very-long-option-name");
  EXPECT_EQ(lines[6], std::string(24, ' ') + std::string(30, 'x'));
  // A word longer than the line stands alone rather than being cut.
  EXPECT_EQ(lines[7], std::string(24, ' ') + std::string(60, 'y'));
}

TEST(ManPage, SameWordsAsTheHelpInRoffWithEscapes) {
  for (const TProgramUsage* usage : InstalledPrograms()) {
    const std::string page = ManPage(*usage);
    EXPECT_EQ(page.find(".TH "), page.find('\n') + 1) << "comment line, then the title";
    for (const char* section : {".SH NAME", ".SH SYNOPSIS", ".SH DESCRIPTION", ".SH OPTIONS",
                                ".SH EXIT STATUS", ".SH COPYRIGHT", ".SH SEE ALSO"})
      EXPECT_NE(page.find(section), std::string::npos) << usage->Name << ": " << section;
    for (const TUsageItem& option : usage->Options) {
      std::string escaped;
      for (char c : option.Name) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
      EXPECT_NE(page.find(".B " + escaped + "\n"), std::string::npos) << option.Name;
    }
    for (const std::string& line : Lines(page))
      EXPECT_FALSE(line.size() > 1 && line[0] == '\'') << line;
  }

  TProgramUsage usage;
  usage.Name = "demo";
  usage.Summary = "a-b";
  usage.Synopsis = {"--x"};
  usage.Description = {".starts with a dot \\ and a backslash", "second"};
  usage.SeeAlso = {"vantel(1)", "vantel-sim(1)"};
  const std::string page = ManPage(usage);
  EXPECT_NE(page.find(".SH NAME\ndemo \\- a\\-b\n"), std::string::npos) << page;
  EXPECT_NE(page.find("\\&.starts with a dot \\e and a backslash\n.PP\nsecond\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find(".BR vantel (1),\n.BR vantel\\-sim (1)\n"), std::string::npos) << page;
  EXPECT_EQ(page.find(".SH OPTIONS"), std::string::npos) << "no empty sections";
}

TEST(VersionText, NamesProgramVersionAndLicense) {
  const std::vector<std::string> lines = Lines(VersionText(VantelSimUsage()));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "vantel-sim (VANTEL-9 Setup) " + ProjectVersion());
  EXPECT_NE(lines[1].find(ProjectReleaseDate().substr(0, 4)), std::string::npos);
  EXPECT_EQ(lines[2].rfind("License GPL-3.0-or-later", 0), 0u);
  EXPECT_EQ(ProjectReleaseDate().size(), 10u);
}
