// A GoogleTest fixture with its own settings home (TTempHome) for each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempHome.h"

struct TTempHomeTest : ::testing::Test {
  TTempHome Home;
  const std::filesystem::path dir{Home.Path()};
  static void Put(const std::string& path, const std::string& text) { TTempHome::Put(path, text); }
  static std::string Slurp(const std::string& path) { return TTempHome::Slurp(path); }
};
