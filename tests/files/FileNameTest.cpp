#include <filesystem>

#include "files/FileName.h"
#include "support/TempHomeTest.h"

using TFileNameTest = TTempHomeTest;

TEST_F(TFileNameTest, DefaultExtensionOnlyForANewNameWithoutOne) {
  Put((dir / "tune").string(), "x");
  Put((dir / "bike.ign").string(), "x");
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_symlink(dir / "gone", dir / "dangling");
  const struct {
    const char* Name;
    bool Needs;
  } cases[] = {
      {"tune", false},   {"bike", true},      {"bike.ign", false}, {"new.txt", false},
      {"folder", false}, {"dangling", false}, {"a.b/new", true},   {".hidden", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NeedsDefaultExtension((dir / c.Name).string()), c.Needs) << c.Name;
}
