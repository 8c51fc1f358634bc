// The process-wide log sink: the same lines as standard output would get, or silence.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap {
namespace {

using Lines = std::vector<std::string>;
using testing::LogCapture;

// Every test leaves the initial sink in place for the next one.
class LogSinkTest : public ::testing::Test {
 protected:
  void TearDown() override { set_log_sink(stdout_log_sink); }
};

// A map's whole life with lines of every kind: constructor, rename, a refusal, destructor.
void life_of_a_map() {
  HEXAGON_MAP map;
  map.SET_NAME("sinktest");
  map.CREATE_MAP(0, 5);
  map.CREATE_MAP(3, 2);
}

TEST_F(LogSinkTest, SinkGetsWhatStandardOutputGot) {
  LogCapture by_default;
  life_of_a_map();
  const Lines expected = by_default.lines();
  ASSERT_GE(expected.size(), 8u);

  Lines received;
  set_log_sink([&](std::string_view line) { received.emplace_back(line); });
  LogCapture while_sunk;
  life_of_a_map();
  EXPECT_EQ(while_sunk.lines(), Lines{});
  EXPECT_EQ(received, expected);
}

TEST_F(LogSinkTest, EmptySinkSilencesUntilStandardOutputIsBack) {
  set_log_sink(nullptr);
  {
    LogCapture capture;
    life_of_a_map();
    EXPECT_EQ(capture.lines(), Lines{});
  }
  set_log_sink(stdout_log_sink);
  LogCapture capture;
  HEXAGON_MAP map;
  EXPECT_EQ(capture.lines().front(), ": - HEXAGON MAP is created");
}

TEST_F(LogSinkTest, LogOffSilencesOnlyThatMap) {
  Lines received;
  set_log_sink([&](std::string_view line) { received.emplace_back(line); });
  HEXAGON_MAP quiet;
  HEXAGON_MAP loud;
  quiet.LOG_OFF();
  received.clear();
  quiet.SET_NAME("q");
  loud.SET_NAME("l");
  quiet.LOG_ON();
  quiet.PRINT_("q again");
  EXPECT_EQ(received, (Lines{": - RENAME '' to 'l' -", "q again"}));
}

TEST_F(LogSinkTest, SinkMayReplaceItselfMidLine) {
  Lines first;
  Lines second;
  const auto to_second = [&](std::string_view line) { second.emplace_back(line); };
  set_log_sink([&](std::string_view line) {
    first.emplace_back(line);
    set_log_sink(to_second);  // destroys this sink's own holder while it runs
  });
  HEXAGON_MAP map;
  EXPECT_EQ(first, Lines{": - HEXAGON MAP is created"});
  EXPECT_EQ(second.size(), 3u);
}

}  // namespace
}  // namespace hexmap
