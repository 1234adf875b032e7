#include "ui/Manual.h"
#include "ui/PrintFit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

TEST(FitToPage, FullHeightWhenNarrowerElseFullWidth) {
  const struct {
    int ImageW, ImageH, PageW, PageH;
    TPrintRect Out;
  } cases[] = {
      // The window on an A4 portrait page at 600 dpi: as wide as the page.
      {826, 712, 4760, 6779, {0, 0, 4760, 4103}},
      // Landscape page: as high as the page, width 826 * 4760 / 712 truncated.
      {826, 712, 6779, 4760, {0, 0, 5522, 4760}},
      // A tall picture: full height.
      {100, 400, 1000, 1000, {0, 0, 250, 1000}},
      // Width at full height equal to the page width takes the full-width branch.
      {200, 100, 400, 200, {0, 0, 400, 200}},
      // Truncation in the height: 3 * 1000 / 7 = 428.57.
      {7, 3, 1000, 1000, {0, 0, 1000, 428}},
      // Large products do not overflow.
      {30000, 20000, 90000, 70000, {0, 0, 90000, 60000}},
      // Empty or negative sizes give nothing to draw.
      {0, 712, 4760, 6779, {}},
      {826, 0, 4760, 6779, {}},
      {826, 712, 0, 6779, {}},
      {826, 712, 4760, 0, {}},
      {-826, 712, 4760, 6779, {}},
  };
  for (const auto& c : cases) {
    const TPrintRect r = FitToPage(c.ImageW, c.ImageH, c.PageW, c.PageH);
    EXPECT_EQ(r, c.Out) << c.ImageW << "x" << c.ImageH << " on " << c.PageW << "x" << c.PageH
                        << " gave " << r.Width << "x" << r.Height;
    EXPECT_LE(r.Width, std::max(c.PageW, 0));
    EXPECT_LE(r.Height, std::max(c.PageH, 0));
  }
}

TEST(FindManualFile, FirstDirectoryHoldingTheFileWins) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("vantel_manual_" + std::to_string(::getpid()));
  fs::create_directories(root / "a");
  fs::create_directories(root / "b");
  fs::create_directories(root / "c" / "manual_vantel_fr.pdf"); // a directory, not a manual
  std::ofstream(root / "b" / "manual_vantel_de.pdf") << "b";
  std::ofstream(root / "a" / "manual_vantel_en.pdf") << "a";
  std::ofstream(root / "b" / "manual_vantel_en.pdf") << "b";
  const std::vector<std::string> dirs = {"", (root / "a").string(), (root / "b").string(),
                                         (root / "c").string(), (root / "missing").string()};

  EXPECT_EQ(FindManualFile("manual_vantel_en.pdf", dirs),
            (root / "a/manual_vantel_en.pdf").string());
  EXPECT_EQ(FindManualFile("manual_vantel_de.pdf", dirs),
            (root / "b/manual_vantel_de.pdf").string());
  for (const char* name : {"manual_vantel_fr.pdf", "manual_vantel_cz.pdf", "", ".", "..",
                           "a/manual_vantel_en.pdf", "../b/manual_vantel_de.pdf"})
    EXPECT_EQ(FindManualFile(name, dirs), "") << name;
  EXPECT_EQ(FindManualFile("manual_vantel_en.pdf", {}), "");

  // The current directory comes first and the answer is an absolute path.
  const fs::path before = fs::current_path();
  fs::current_path(root / "b");
  EXPECT_EQ(ManualSearchDirs().front(), (root / "b").string());
  EXPECT_EQ(FindManualFile("manual_vantel_en.pdf"), (root / "b/manual_vantel_en.pdf").string());
  EXPECT_EQ(FindManualFile("manual_vantel_en.pdf", {"."}),
            (root / "b/manual_vantel_en.pdf").string());
  fs::current_path(before);
  fs::remove_all(root);
}
