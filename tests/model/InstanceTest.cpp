#include <gtest/gtest.h>

#include <set>

#include "model/Instance.h"

TEST(Instance, NameFollowsTheSettingsFolder) {
  const std::string a = InstanceName("/home/ann/.config/vantel");
  EXPECT_EQ(a, InstanceName("/home/ann/.config/vantel"));
  EXPECT_EQ(a.rfind("vantel-", 0), 0u);
  EXPECT_EQ(a.size(), 7u + 16u);
  std::set<std::string> names{a, InstanceName("/home/bob/.config/vantel"),
                              InstanceName("/home/ann/.config/vantel2"), InstanceName("")};
  EXPECT_EQ(names.size(), 4u);
}

TEST(Instance, RequestsRoundTripAndStrangersAreRefused) {
  for (const std::string path : {"", "/tmp/a.ign", "/tmp/two\nlines.ign", "/tmp/ümlaut tune.ign"}) {
    const auto decoded = DecodeInstanceRequest(EncodeInstanceRequest(path));
    ASSERT_TRUE(decoded.has_value()) << path;
    EXPECT_EQ(*decoded, path);
  }
  const std::string good = EncodeInstanceRequest("/tmp/a.ign");
  const std::string refused[] = {
      "",
      "/tmp/a.ign",
      good.substr(0, good.size() - 1),                              // not finished
      "VANTEL-OPEN/2\n/tmp/a.ign" + std::string(1, '\0'),           // another version
      EncodeInstanceRequest("/tmp/a") + "b" + std::string(1, '\0'), // a NUL inside
      EncodeInstanceRequest(std::string(MaxInstanceRequest, 'x')),  // too long
  };
  for (const std::string& request : refused) EXPECT_FALSE(DecodeInstanceRequest(request));
  // The longest accepted request is just within the limit.
  const std::string longest = EncodeInstanceRequest(
      std::string(MaxInstanceRequest - EncodeInstanceRequest("").size(), 'x'));
  EXPECT_EQ(longest.size(), MaxInstanceRequest);
  EXPECT_TRUE(DecodeInstanceRequest(longest));
}

TEST(Instance, WhichArgumentIsTheFile) {
  const auto exists = [](const std::string& a) { return a == "tune" || a == "ENGLISH"; };
  struct {
    std::vector<std::string> Arguments;
    std::optional<std::string> File;
  } const table[] = {
      {{}, std::nullopt},
      {{"DEUTSCH"}, std::nullopt},
      {{"DEUTSCH", "a.ign"}, "a.ign"},
      {{"a.IGN"}, "a.IGN"},              // missing, but a tune by its name: reported
      {{"deutsch"}, std::nullopt},       // a stray word is not a file
      {{"tune"}, "tune"},                // an existing file of any name
      {{"ENGLISH"}, std::nullopt},       // the language word, even if a file is so called
      {{"CESKY", "ENGLISH"}, "ENGLISH"}, // further words are no language
      {{"--x.ign", "b.ign"}, "b.ign"},
      {{"a.ign", "b.ign"}, "a.ign"},
      {{".ign"}, ".ign"},
  };
  for (const auto& row : table) EXPECT_EQ(FileArgument(row.Arguments, exists), row.File);
}
