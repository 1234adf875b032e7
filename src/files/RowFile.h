// A file that grows row by row while something is recorded into it: started like every file
// the program writes (a failed start leaves an old file as it was), then each row goes to the
// system as it comes, and a row that cannot be written whole is taken back again, so the file
// always ends with a whole row and stays readable after any failure.
#pragma once

#include <string>
#include <string_view>

#include "i18n/Failure.h"

class TRowFile {
public:
  TRowFile() = default;
  TRowFile(const TRowFile&) = delete;
  TRowFile& operator=(const TRowFile&) = delete;
  ~TRowFile() { Close(); }

  // Creates or replaces the file with head as its whole content and keeps it open for rows.
  bool Start(const std::string& path, std::string_view head, TFailureReport& failure);
  // Appends one row. On failure the file is closed, ending with the last whole row.
  bool Append(std::string_view row, TFailureReport& failure);
  void Close();
  bool IsOpen() const { return Fd >= 0; }
  const std::string& Path() const { return FilePath; }

private:
  int Fd = -1;
  std::string FilePath;
  long long Length = 0; // bytes of whole rows in the file
};
