#include "usage/Usage.h"

#include <cstring>

namespace {

constexpr std::size_t Width = 79;  // columns of the help text
constexpr std::size_t Column = 24; // where the explanations of a list start

// Appends text word by word, breaking before a word that would pass Width; every line
// but the first starts with indent blanks, the first continues at column `at`.
void Wrap(std::string& out, const std::string& text, std::size_t at, std::size_t indent) {
  std::size_t column = at;
  bool lineEmpty = true;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t end = std::min(text.find(' ', i), text.size());
    if (end == i) break;
    const std::size_t length = end - i;
    if (!lineEmpty && column + 1 + length > Width) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++column;
    }
    out.append(text, i, length);
    column += length;
    lineEmpty = false;
    i = end;
  }
  out += '\n';
}

void HelpList(std::string& out, const char* title, const std::vector<TUsageItem>& items) {
  if (items.empty()) return;
  out += '\n';
  out += title;
  out += ":\n";
  for (const TUsageItem& item : items) {
    // Long options line up with short ones: "      --version".
    std::string name = item.Name.rfind("--", 0) == 0 ? "    " + item.Name : item.Name;
    out += "  " + name;
    std::size_t column = 2 + name.size();
    if (column + 2 > Column) {
      out += '\n';
      column = 0;
    }
    out.append(Column - column, ' ');
    Wrap(out, item.Text, Column, Column);
  }
}

std::string Sentence(const std::string& summary) {
  std::string s = summary;
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s + ".";
}

// Text for roff: backslashes and hyphens escaped, no line taken for a request.
std::string Roff(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  std::string lines;
  std::size_t start = 0;
  while (start <= out.size()) {
    const std::size_t end = std::min(out.find('\n', start), out.size());
    if (end > start && (out[start] == '.' || out[start] == '\'')) lines += "\\&";
    lines.append(out, start, end - start);
    if (end < out.size()) lines += '\n';
    start = end + 1;
  }
  return lines;
}

std::string Upper(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

void ManList(std::string& out, const char* section, const std::vector<TUsageItem>& items) {
  if (items.empty()) return;
  out += ".SH ";
  out += section;
  out += '\n';
  for (const TUsageItem& item : items)
    out += ".TP\n.B " + Roff(item.Name) + "\n" + Roff(item.Text) + "\n";
}

} // namespace

std::string ProjectVersion() {
  return VANTEL_VERSION;
}

std::string ProjectReleaseDate() {
  return VANTEL_RELEASE_DATE;
}

std::string HelpText(const TProgramUsage& usage) {
  std::string out;
  for (std::size_t i = 0; i < usage.Synopsis.size(); ++i)
    out += (i == 0 ? "Usage: " : "  or:  ") + usage.Name + " " + usage.Synopsis[i] + "\n";
  Wrap(out, Sentence(usage.Summary), 0, 0);
  for (const std::string& paragraph : usage.Description) {
    out += '\n';
    Wrap(out, paragraph, 0, 0);
  }
  HelpList(out, "Arguments", usage.Arguments);
  HelpList(out, "Options", usage.Options);
  HelpList(out, "Environment", usage.Environment);
  HelpList(out, "Files", usage.Files);
  HelpList(out, "Exit status", usage.ExitStatus);
  std::string closing = "License GPL-3.0-or-later: GNU GPL version 3 or later.";
  if (!usage.SeeAlso.empty()) {
    closing += " See also:";
    for (std::size_t i = 0; i < usage.SeeAlso.size(); ++i)
      closing += (i == 0 ? " " : ", ") + usage.SeeAlso[i];
    closing += ".";
  }
  out += '\n';
  Wrap(out, closing, 0, 0);
  return out;
}

std::string VersionText(const TProgramUsage& usage) {
  return usage.Name + " (VANTEL-9 Setup) " + ProjectVersion() + "\n" + "Copyright (C) " +
         ProjectReleaseDate().substr(0, 4) +
         " the VANTEL-9 Setup developers.\n"
         "License GPL-3.0-or-later: GNU GPL version 3 or later "
         "<https://www.gnu.org/licenses/gpl-3.0.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string ManPage(const TProgramUsage& usage) {
  std::string out = ".\\\" Made from the program's --help description; edit that, not this.\n";
  out += ".TH " + Roff(Upper(usage.Name)) + " 1 \"" + ProjectReleaseDate() +
         "\" \"VANTEL\\-9 Setup " + ProjectVersion() + "\" \"User Commands\"\n";
  out += ".SH NAME\n" + Roff(usage.Name) + " \\- " + Roff(usage.Summary) + "\n";
  out += ".SH SYNOPSIS\n";
  for (std::size_t i = 0; i < usage.Synopsis.size(); ++i)
    out += (i == 0 ? "" : ".br\n") + std::string(".B ") + Roff(usage.Name) + "\n" +
           Roff(usage.Synopsis[i]) + "\n";
  out += ".SH DESCRIPTION\n";
  for (std::size_t i = 0; i < usage.Description.size(); ++i)
    out += (i == 0 ? "" : ".PP\n") + Roff(usage.Description[i]) + "\n";
  ManList(out, "ARGUMENTS", usage.Arguments);
  ManList(out, "OPTIONS", usage.Options);
  ManList(out, "ENVIRONMENT", usage.Environment);
  ManList(out, "FILES", usage.Files);
  ManList(out, "EXIT STATUS", usage.ExitStatus);
  out += ".SH COPYRIGHT\n" +
         Roff("Copyright (C) " + ProjectReleaseDate().substr(0, 4) +
              " the VANTEL-9 Setup developers. License GPL-3.0-or-later: "
              "GNU GPL version 3 or later. This is free software: you are "
              "free to change and redistribute it. There is NO WARRANTY, "
              "to the extent permitted by law.") +
         "\n";
  if (!usage.SeeAlso.empty()) {
    out += ".SH SEE ALSO\n";
    for (std::size_t i = 0; i < usage.SeeAlso.size(); ++i) {
      const std::string& ref = usage.SeeAlso[i];
      const std::size_t paren = ref.find('(');
      const std::string tail = i + 1 < usage.SeeAlso.size() ? "," : "";
      if (paren != std::string::npos)
        out += ".BR " + Roff(ref.substr(0, paren)) + " " + ref.substr(paren) + tail + "\n";
      else
        out += Roff(ref) + tail + "\n";
    }
  }
  return out;
}

TInfoRequest FindInfoRequest(int argc, const char* const* argv) {
  for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
      return TInfoRequest::Help;
    if (std::strcmp(argv[i], "--version") == 0) return TInfoRequest::Version;
  }
  return TInfoRequest::None;
}

bool WriteText(const std::string& text, std::FILE* out) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

std::optional<int> AnswerInfoRequest(int argc, const char* const* argv, const TProgramUsage& usage,
                                     std::FILE* out) {
  switch (FindInfoRequest(argc, argv)) {
  case TInfoRequest::Help:
    return WriteText(HelpText(usage), out) ? 0 : 1;
  case TInfoRequest::Version:
    return WriteText(VersionText(usage), out) ? 0 : 1;
  case TInfoRequest::None:
    break;
  }
  return std::nullopt;
}

const std::vector<const TProgramUsage*>& InstalledPrograms() {
  static const std::vector<const TProgramUsage*> programs = {&VantelUsage(), &VantelSimUsage(),
                                                             &VantelCliUsage()};
  return programs;
}

const TProgramUsage* FindProgramUsage(std::string_view name) {
  for (const TProgramUsage* usage : InstalledPrograms())
    if (usage->Name == name) return usage;
  return nullptr;
}
