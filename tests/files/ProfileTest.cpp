#include <unistd.h>

#include "files/Profile.h"
#include "files/SafeRead.h"
#include "support/TempHomeTest.h"

namespace fs = std::filesystem;

using TProfileTest = TTempHomeTest;

TEST(ProfileInteger, DecimalAndHexadecimal) {
  const std::optional<int> bad;
  const std::pair<const char*, std::optional<int>> table[] = {
      {"0x3", 3},          {"0X1f", 31},       {"$1F", 31},
      {"-12", -12},        {"  7 ", 7},        {"-2147483648", -2147483647 - 1},
      {"2147483648", bad}, {"0xFFFFFFFF", -1}, {"0x100000000", bad},
      {"three", bad},      {"", bad},          {"-", bad},
      {"$", bad},          {"12abc", bad},     {"99999999999999999999", bad},
  };
  for (const auto& [text, value] : table) EXPECT_EQ(ParseProfileInteger(text), value) << text;
}

TEST_F(TProfileTest, ReadsEitherLineEndAnyCase) {
  for (const std::string e : {"\n", "\r\n"}) {
    const std::string path = (dir / "vantel.ini").string();
    Put(path, "[Other]" + e + "Language=3" + e + "[form_hlav]" + e + "LANGUAGE=2" + e +
                  "ComPort = 0x3 " + e + "Left=three" + e + "CheckBoxIgnAll->Checked=1" + e +
                  "File=  /a b/x.ign  ");
    const TProfileFile ini(path);
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "Language", 0), 2);
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "comport", 1), 3);
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "Left", 40), 40);
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "CheckBoxIgnAll->Checked", 0), 1);
    EXPECT_EQ(ini.ReadInteger("NOWHERE", "Language", 9), 9);
    EXPECT_EQ(ini.ReadString("FORM_HLAV", "File", ""), "/a b/x.ign");
    EXPECT_EQ(ini.ReadString("FORM_HLAV", "IniDir", "none"), "none");
  }
}

// However many byte-order marks an editor left before the first header, the header is
// found, and the file written back reads the same again.
TEST_F(TProfileTest, ByteOrderMarksBeforeTheFirstHeader) {
  const std::string bom = "\xEF\xBB\xBF";
  for (const std::string& marks : {bom, bom + bom, bom + bom + bom}) {
    const std::string path = (dir / "vantel.ini").string();
    Put(path, marks + "[FORM_HLAV]\r\nLanguage=2\r\n");
    TProfileFile ini(path);
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "Language", 0), 2);
    TFailureReport error;
    ASSERT_TRUE(ini.Flush(error)) << DescribeFailure(error, LangEnglish);
    EXPECT_EQ(Slurp(path), "[FORM_HLAV]\r\nLanguage=2\r\n");
  }
}

TEST_F(TProfileTest, WritingKeepsTheRestOfTheFile) {
  const std::string path = (dir / "vantel.ini").string();
  Put(path, "; kept\n[FORM_HLAV]\nLeft=1\nUnknown=x\n\n[Other]\nKey=v\n");
  TProfileFile ini(path);
  ini.WriteInteger("form_hlav", "LEFT", 120);
  ini.WriteInteger("FORM_HLAV", "CheckBoxIgnAll->Checked", 0);
  ini.WriteString("FORM_HLAV", "File", "/tmp/a.ign\nInjected=1");
  ini.WriteString("New", "A", "b");
  TFailureReport error;
  ASSERT_TRUE(ini.Flush(error)) << DescribeFailure(error, LangEnglish);
  EXPECT_EQ(Slurp(path), "; kept\r\n[FORM_HLAV]\r\nLEFT=120\r\nUnknown=x\r\n"
                         "CheckBoxIgnAll->Checked=0\r\nFile=/tmp/a.ign\r\n\r\n"
                         "[Other]\r\nKey=v\r\n[New]\r\nA=b\r\n");

  TProfileFile fresh((dir / "a" / "b" / "vantel.ini").string()); // directories created
  fresh.WriteInteger("FORM_HLAV", "ComPort", 2);
  ASSERT_TRUE(fresh.Flush(error)) << DescribeFailure(error, LangEnglish);
  EXPECT_EQ(Slurp(fresh.Path()), "[FORM_HLAV]\r\nComPort=2\r\n");
}

TEST_F(TProfileTest, FailedFlushNamesTheFileAndKeepsTheOldOne) {
  // A parent that is a regular file stops the write even for root.
  const std::string blocker = (dir / "vantel.ini").string();
  Put(blocker, "[FORM_HLAV]\nLeft=1\n");
  TProfileFile nested(blocker + "/vantel.ini");
  TFailureReport error;
  EXPECT_FALSE(nested.Flush(error));
  EXPECT_EQ(error.What, TFailure::FolderNotCreated);
  EXPECT_EQ(error.Path, nested.Path());
  EXPECT_EQ(Slurp(blocker), "[FORM_HLAV]\nLeft=1\n");
}

TEST_F(TProfileTest, FlushIntoReadOnlyDirectoryFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  const fs::path ro = dir / "ro";
  fs::create_directory(ro);
  const std::string path = (ro / "vantel.ini").string();
  Put(path, "[FORM_HLAV]\nLeft=1\n");
  TProfileFile ini(path);
  fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
  ini.WriteInteger("FORM_HLAV", "Left", 2);
  TFailureReport error;
  EXPECT_FALSE(ini.Flush(error));
  EXPECT_EQ(error.What, TFailure::TempNotCreated);
  EXPECT_EQ(error.Path, ini.Path());
  fs::permissions(ro, fs::perms::owner_all);
  EXPECT_EQ(Slurp(ini.Path()), "[FORM_HLAV]\nLeft=1\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(ro), fs::directory_iterator{}), 1);
}

// A file near the read limit in LF grows past it in CR LF: it is not written, so the next
// start still reads it; a file that could not be read is never replaced by what little
// the program holds, and a missing file is created as before.
TEST_F(TProfileTest, NeverWritesAFileTheNextLoadWouldRefuseNorReplacesAnUnreadOne) {
  const std::string path = (dir / "vantel.ini").string();
  std::string big = "[FORM_HLAV]\nLanguage=2\n[Other]\n";
  while (big.size() < ReadLimitBytes - 100) big += "Key=some value kept by another tool\n";
  Put(path, big);
  {
    TProfileFile ini(path);
    ASSERT_FALSE(ini.LoadFailure());
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "Language", 0), 2);
    ini.WriteInteger("FORM_HLAV", "Language", 3);
    TFailureReport error;
    EXPECT_FALSE(ini.Flush(error));
    EXPECT_EQ(error.What, TFailure::TooLarge);
    EXPECT_EQ(Slurp(path), big);
  }
  big += std::string(200, '#') + "\n"; // now past the limit: refused at load
  Put(path, big);
  for (const bool twice : {false, true}) {
    SCOPED_TRACE(twice ? "second start" : "first start");
    TProfileFile ini(path);
    ASSERT_TRUE(ini.LoadFailure());
    EXPECT_EQ(ini.LoadFailure()->What, TFailure::TooLarge);
    ini.WriteInteger("FORM_HLAV", "Language", 1);
    TFailureReport error;
    EXPECT_FALSE(ini.Flush(error));
    EXPECT_EQ(error.What, TFailure::TooLarge);
    EXPECT_EQ(Slurp(path), big);
  }
  TProfileFile missing((dir / "new.ini").string());
  EXPECT_FALSE(missing.LoadFailure());
  missing.WriteInteger("FORM_HLAV", "Language", 1);
  TFailureReport error;
  EXPECT_TRUE(missing.Flush(error));
}
