#include <gtest/gtest.h>

#include "model/Contrast.h"

TEST(Contrast, TextOnEveryStateColourReadsAtLeastAsTheGuidelinesAsk) {
  // The state colours, the white of the print layout, and dark backgrounds.
  struct {
    TRgb Background;
    TRgb Text;
  } const table[] = {
      {{255, 0, 0}, BlackRgb},   {{255, 255, 0}, BlackRgb}, {{255, 0, 255}, BlackRgb},
      {{0, 255, 255}, BlackRgb}, {{0, 255, 0}, BlackRgb},   {{255, 255, 255}, BlackRgb},
      {{53, 53, 53}, WhiteRgb},  {{0, 0, 128}, WhiteRgb},   {{0, 0, 0}, WhiteRgb},
  };
  for (const auto& row : table) {
    const TRgb text = ReadableTextOn(row.Background);
    EXPECT_EQ(text, row.Text) << int(row.Background.R) << "," << int(row.Background.G) << ","
                              << int(row.Background.B);
    EXPECT_GE(ContrastRatio(text, row.Background), 4.5);
  }
}

TEST(Contrast, RatiosOfKnownPairs) {
  EXPECT_NEAR(ContrastRatio(BlackRgb, WhiteRgb), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(WhiteRgb, BlackRgb), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, {255, 0, 0}), 1.0, 1e-9);
  // The complaint: near-white theme text on yellow and on aqua.
  EXPECT_LT(ContrastRatio({255, 255, 0}, {238, 238, 236}), 1.2);
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, WhiteRgb), 4.0, 0.01);
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, BlackRgb), 5.25, 0.01);
}
