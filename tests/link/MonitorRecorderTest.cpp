// A recording of monitor frames: the header, then one row per recorded frame, in the order
// the frames came.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/LinkTestSupport.h"
#include "link/MonitorRecorder.h"

TEST(MonitorRecorder, HeaderThenOneRowPerFrame) {
  TTempHome home;
  const std::string path = home.Path + "/live.csv";
  TMonitorRecorder recorder;
  TFailureReport failure;
  EXPECT_FALSE(recorder.IsRecording());
  ASSERT_TRUE(recorder.Start(path, failure)) << DescribeFailure(failure, LangEnglish);
  EXPECT_TRUE(recorder.IsRecording());
  EXPECT_EQ(recorder.Path(), path);

  std::string expected = MonitorCsvHeader();
  std::array<std::uint8_t, 51> frame{};
  frame[0] = 0xB0, frame[42] = 1, frame[50] = 67;
  for (int i = 0; i < 5; ++i) {
    frame[1] = static_cast<std::uint8_t>(i * 40);
    const std::int64_t ms = 1796836051042 + 330 * i;
    ASSERT_TRUE(recorder.Record(frame.data(), ms, failure));
    char row[MonitorCsvRowSize];
    expected.append(row, FormatMonitorCsvRow(frame.data(), ms, row));
  }
  EXPECT_EQ(recorder.Rows(), 5);
  recorder.Stop();
  EXPECT_FALSE(recorder.IsRecording());
  EXPECT_FALSE(recorder.Record(frame.data(), 0, failure)) << "nothing after the stop";
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);

  // A new recording starts from no rows.
  ASSERT_TRUE(recorder.Start(path, failure));
  EXPECT_EQ(recorder.Rows(), 0);
}
