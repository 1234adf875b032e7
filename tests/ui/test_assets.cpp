#include "ui/Assets.h"
#include "ui/BuildStamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

TEST(BuildStamp, DateTextHasSingleBlanks) {
  const struct {
    const char* In;
    const char* Out;
  } cases[] = {
      {"Jun 14 2007", "Jun 14 2007"},
      {"Jun  4 2007", "Jun 4 2007"},
      {"Jan  1 2024", "Jan 1 2024"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildDateText(c.In), c.Out) << '"' << c.In << '"';
  EXPECT_EQ(BuildDateText(nullptr), "");
  EXPECT_EQ(BuildDateText(__DATE__).size(), std::string(__DATE__).size() - (__DATE__[4] == ' '));
}

TEST(Assets, EnvironmentDirectoryComesFirstThenTheShippedOnes) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vantel_assets_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "logo_about.jpg") << "x";

  unsetenv("VANTEL_ASSETS");
  const std::string shipped = FindAssetFile("logo_about.jpg");
  ASSERT_FALSE(shipped.empty());
  EXPECT_NE(shipped, (dir / "logo_about.jpg").string());
  const std::string shippedMain = FindAssetFile("logo_main.jpg");

  setenv("VANTEL_ASSETS", dir.c_str(), 1);
  EXPECT_EQ(AssetSearchDirs().front(), dir.string());
  EXPECT_EQ(FindAssetFile("logo_about.jpg"), (dir / "logo_about.jpg").string());
  // A file missing from the override is still found where the program ships it.
  EXPECT_EQ(FindAssetFile("logo_main.jpg"), shippedMain);
  EXPECT_EQ(FindAssetFile("no_such_picture.jpg"), "");
  EXPECT_EQ(FindAssetFile(""), "");

  setenv("VANTEL_ASSETS", "", 1); // empty counts as not set
  EXPECT_EQ(FindAssetFile("logo_about.jpg"), shipped);

  unsetenv("VANTEL_ASSETS");
  const std::vector<std::string> dirs = AssetSearchDirs();
  ASSERT_GE(dirs.size(), 2u);
  const std::string exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EXPECT_EQ(dirs[0], exeDir + "/assets");
  EXPECT_EQ(dirs[1], exeDir + "/../share/vantel/assets");
  std::filesystem::remove_all(dir);
}
