// Mouse, keys, timer, random numbers, sleep, and the runtime error report.
#include <unistd.h>

#include <tuple>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterInput = Screen;

TEST_F(RasterInput, MouseReadingsKeysDownAndTheKeyQueue) {
  int m[5] = {};  // x, y, wheel, buttons, clip
  EXPECT_NE(mouse_state(m[0], m[1], m[2], m[3], m[4]), 0);
  EXPECT_EQ(std::count(m, m + 5, -1), 5);
  headless::set_mouse(17, 23, 2);
  EXPECT_EQ(mouse_state(m[0], m[1], m[2], m[3], m[4]), 0);
  EXPECT_EQ(std::vector(m, m + 5), (std::vector{17, 23, 0, 2, 0}));
  for (int code : {1, 127, 128})  // 128 is no key and is ignored
    headless::set_key_down(code, true);
  headless::set_key_down(127, false);
  for (const auto& [code, down] : {std::pair{1, -1}, {127, 0}, {128, 0}, {-1, 0}, {257, 0}})
    EXPECT_EQ(key_down(code), down) << code;
  headless::push_key("\xFF;");
  headless::push_key(" ");
  EXPECT_EQ((std::vector<std::string>{key_read(), key_read(), key_read()}),  // in this order
            (std::vector<std::string>{"\xFF;", " ", ""}));
}

TEST(RasterTime, SleepBlocksAndASeedRepeatsItsSequence) {
  const double t0 = timer_seconds();
  EXPECT_EQ(sleep_ms(20), 0);
  EXPECT_GE(timer_seconds() - t0, 0.019);
  EXPECT_NE(sleep_ms(-1), 0);
  random_seed(1234.5);
  const double first = random_unit();
  random_seed(1234.5);
  EXPECT_EQ(random_unit(), first);
  EXPECT_NE(random_unit(), first);
}

TEST(RasterFatalError, ReportTextInEveryFormAndTheExitStatus) {
  const std::tuple<int, int, const char*, const char*, const char*> forms[] = {
      {6, 120, "demo", "put", " (out of bounds array access) at line 120 of demo::put()"},
      {2, 0, "demo", "main", " (file not found) in demo::main()"},
      {3, 7, "demo", "", " (file I/O error) at line 7 of demo()"},
      {1, 9, "", "main", " (illegal function call) at line 9"},
      {4, -1, "", "", " (out of memory)"},
      {5, 1, "m", "p", " (unknown error) at line 1 of m::p()"}};
  for (const auto& [error, line, module, procedure, tail] : forms) {
    EXPECT_EQ(fatal_error_text(error, line, module, procedure),
              "\r\nAborting due to runtime error " + std::to_string(error) + tail + "\r\n\r\n");
  }
  // The child sends its standard output to standard error, where the death test reads it.
  EXPECT_EXIT((dup2(STDERR_FILENO, STDOUT_FILENO), fatal_error(6, 42, "demo", "put")),
              ::testing::ExitedWithCode(6),
              "^\r\nAborting due to runtime error 6 \\(out of bounds array access\\) at line 42 "
              "of demo::put\\(\\)\r\n\r\n$");
}

}  // namespace
}  // namespace raster_test
