// The writer's line format and the 2047-byte cut.

#include "log/log_line.h"

#include <gtest/gtest.h>

#include "log/log_assist.h"

namespace {

SYSTEMTIME SampleTime() {
  SYSTEMTIME t = {};
  t.wYear = 2024;
  t.wMonth = 5;
  t.wDay = 7;
  t.wHour = 9;
  t.wMinute = 3;
  t.wSecond = 15;
  t.wMilliseconds = 42;
  return t;
}

TEST(FormatLogLineTest, FlagsChooseThePrefixesAndSuffix) {
  using namespace applog;
  const struct {
    unsigned flags;
    const char* source;
    const char* expected;
  } cases[] = {
      {kDefaultLogFlags, "src\\Main", "2024.5.7 09:03:15:042 app started 1.0.0.1  Main[75]\n"},
      {kLogTime | kLogLevel, "src\\Main", "2024.5.7 09:03:15:042 3 app started 1.0.0.1\n"},
      {kLogSource, "src/net/url_fetcher", "app started 1.0.0.1  url_fetcher[75]\n"},
      {kLogSource, "Main", "app started 1.0.0.1  Main[75]\n"},
      {0, "src\\Main", "app started 1.0.0.1\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatLogLine(c.flags, SampleTime(), c.source, 75, 3, "app started 1.0.0.1"),
              c.expected)
        << c.flags;
  }
}

TEST(LogLineTest, LongTextIsCutAt2047BytesBeforeTheLineFeed) {
  std::string text(3000, 'x');
  std::string line = applog::FormatLogLine(applog::kLogSource, SampleTime(), "a\\b.cc", 1, 3, text);
  ASSERT_EQ(line.size(), 2048u);
  EXPECT_EQ(line.substr(0, 2047), std::string(2047, 'x'));
  EXPECT_EQ(line.back(), '\n');
}

TEST(LogLineTest, AppendsRespectTheirRoomLimits) {
  applog::LogLine line;
  line.AppendText(std::string(2036, 'a').c_str());
  line.AppendInt(123456);  // below 2037: fits
  EXPECT_EQ(line.length(), 2042u);
  line.AppendText(nullptr);  // "NULL" fits at 2042
  EXPECT_EQ(line.length(), 2046u);
  line.AppendInt(7);  // at or past 2037: dropped
  EXPECT_EQ(line.length(), 2046u);
  line.AppendChar('c');
  EXPECT_EQ(line.length(), 2047u);
  line.AppendChar('d');
  line.AppendText("more");
  EXPECT_EQ(line.length(), 2047u);
  line.Finish();
  EXPECT_EQ(line.str().back(), '\n');
  EXPECT_EQ(line.str().substr(2036, 11), "123456NULLc");
}

TEST(FormatLogTextTest, FormatsAndCutsAt2046Characters) {
  EXPECT_EQ(applog::FormatLogText("sys lang: %d", 2052), "sys lang: 2052");
  EXPECT_EQ(applog::FormatLogText("%s", std::string(5000, 'y').c_str()).size(), 2046u);
}

}  // namespace
