// Decoding of the JPEG logo pictures, on libjpeg and without the window toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel, no row padding.
struct TRgbImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Rgb; // Width * Height * 3
};

// Largest width or height accepted, so a damaged header cannot make us allocate gigabytes.
inline constexpr int MaxJpegSide = 8192;

// Both return false with a readable reason in `error` for a missing, empty, truncated or
// damaged picture (any libjpeg warning counts as damage); `out` is then empty. Nothing is
// printed and the program never stops. Grey pictures come out as RGB.
bool DecodeJpegMemory(const std::uint8_t* data, std::size_t size, TRgbImage& out,
                      std::string& error);
bool DecodeJpegFile(const std::string& path, TRgbImage& out, std::string& error);
