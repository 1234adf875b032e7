// The command-line help of every program of the project: one description per program
// gives its --help text, its --version text and its manual page, so the three never differ.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of a list: an option with its argument, an argument word, an environment
// variable, a file or an exit status, with its explanation.
struct TUsageItem {
  std::string Name; // "-h, --help", "VANTEL_HOME", "0"
  std::string Text; // one paragraph; the help wraps it, the manual page lets roff do it
};

struct TProgramUsage {
  std::string Name;                     // "vantel"
  std::string Summary;                  // the NAME line of the manual page, without a full stop
  std::vector<std::string> Synopsis;    // argument patterns after the name, one form a line
  std::vector<std::string> Description; // paragraphs
  std::vector<TUsageItem> Arguments;    // words that are not options
  std::vector<TUsageItem> Options;
  std::vector<TUsageItem> Environment;
  std::vector<TUsageItem> Files;
  std::vector<TUsageItem> ExitStatus;
  std::vector<std::string> SeeAlso; // "vantel-sim(1)"
};

// The project's version and the date of its release, as the build gives them.
std::string ProjectVersion();
std::string ProjectReleaseDate(); // YYYY-MM-DD

std::string HelpText(const TProgramUsage& usage);
std::string VersionText(const TProgramUsage& usage);
// A manual page in roff (man macros), section 1.
std::string ManPage(const TProgramUsage& usage);

enum class TInfoRequest { None, Help, Version };
// --help or -h, or --version, anywhere before a "--"; the first one found wins. For
// programs whose options take no values, so no option's value can look like a request.
TInfoRequest FindInfoRequest(int argc, const char* const* argv);
// When argv asks for help or the version: prints it to out and gives the exit status (0,
// or 1 when it could not be written). Otherwise nothing.
std::optional<int> AnswerInfoRequest(int argc, const char* const* argv, const TProgramUsage& usage,
                                     std::FILE* out);
// Writes the whole text; false when the stream refused it (a closed pipe, a full disk).
bool WriteText(const std::string& text, std::FILE* out);

// The descriptions of the programs the project installs.
const TProgramUsage& VantelUsage();
const TProgramUsage& VantelSimUsage();
const TProgramUsage& VantelCliUsage();
const std::vector<const TProgramUsage*>& InstalledPrograms();
const TProgramUsage* FindProgramUsage(std::string_view name);
