#include "ui/Assets.h"
#include "ui/Jpeg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <unistd.h>

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ShippedLogo(const char* name) {
  unsetenv("VANTEL_ASSETS");
  return FindAssetFile(name);
}

} // namespace

TEST(Jpeg, ShippedLogosDecodeToTheirSizeWithRealPixels) {
  const struct {
    const char* Name;
    int Width, Height;
  } logos[] = {{"logo_main.jpg", 311, 50}, {"logo_about.jpg", 313, 49}};
  for (const auto& logo : logos) {
    SCOPED_TRACE(logo.Name);
    const std::string path = ShippedLogo(logo.Name);
    ASSERT_FALSE(path.empty());
    TRgbImage image;
    std::string error;
    ASSERT_TRUE(DecodeJpegFile(path, image, error)) << error;
    EXPECT_EQ(image.Width, logo.Width);
    EXPECT_EQ(image.Height, logo.Height);
    ASSERT_EQ(image.Rgb.size(), std::size_t(logo.Width) * logo.Height * 3);
    // Dark band with light lettering: both very dark and very bright pixels exist.
    int dark = 0, bright = 0;
    for (std::size_t i = 0; i < image.Rgb.size(); i += 3) {
      const int sum = image.Rgb[i] + image.Rgb[i + 1] + image.Rgb[i + 2];
      dark += sum < 90;
      bright += sum > 600;
    }
    EXPECT_GT(dark, 1000);
    EXPECT_GT(bright, 100);
  }
}

TEST(Jpeg, DamagedOrMissingPicturesFailQuietlyWithAReason) {
  const std::vector<std::uint8_t> good = ReadBytes(ShippedLogo("logo_about.jpg"));
  ASSERT_GT(good.size(), 1000u);

  std::vector<std::uint8_t> corrupt = good;
  std::mt19937 random(9);
  for (std::size_t i = good.size() / 2; i < good.size() / 2 + 64; ++i)
    corrupt[i] = static_cast<std::uint8_t>(random());

  // Width and height in the frame header claim 60000 x 60000.
  std::vector<std::uint8_t> huge = good;
  for (std::size_t i = 0; i + 9 < huge.size(); ++i)
    if (huge[i] == 0xFF && (huge[i + 1] == 0xC0 || huge[i + 1] == 0xC2)) {
      huge[i + 5] = huge[i + 7] = 0xEA;
      huge[i + 6] = huge[i + 8] = 0x60;
      break;
    }

  const std::string text = "This is not a picture at all.\n";
  const struct {
    const char* Case;
    std::vector<std::uint8_t> Bytes;
  } cases[] = {
      {"truncated", {good.begin(), good.begin() + good.size() / 2}},
      {"header only", {good.begin(), good.begin() + 20}},
      {"corrupt middle", corrupt},
      {"empty", {}},
      {"not a JPEG", {text.begin(), text.end()}},
      {"huge dimensions", huge},
  };

  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vantel_jpeg_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    const std::string path = (dir / "picture.jpg").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(c.Bytes.data()), std::streamsize(c.Bytes.size()));

    testing::internal::CaptureStderr();
    TRgbImage fromMemory, fromFile;
    std::string memoryError, fileError;
    const bool memoryOk = DecodeJpegMemory(c.Bytes.data(), c.Bytes.size(), fromMemory, memoryError);
    const bool fileOk = DecodeJpegFile(path, fromFile, fileError);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_FALSE(memoryOk);
    EXPECT_FALSE(fileOk);
    EXPECT_FALSE(memoryError.empty());
    EXPECT_NE(fileError.find(path), std::string::npos) << fileError;
    EXPECT_TRUE(fromMemory.Rgb.empty());
    EXPECT_TRUE(fromFile.Rgb.empty());
    EXPECT_EQ(fromFile.Width, 0);
  }

  TRgbImage image;
  std::string error;
  EXPECT_FALSE(DecodeJpegFile((dir / "missing.jpg").string(), image, error));
  EXPECT_NE(error.find("missing.jpg"), std::string::npos);
  EXPECT_FALSE(DecodeJpegFile(dir.string(), image, error)); // a directory
  std::filesystem::remove_all(dir);
}
