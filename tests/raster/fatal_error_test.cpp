// The runtime error report, byte for byte, and the exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <tuple>

#include "raster/raster.hpp"

namespace raster_test {
namespace {

TEST(RasterFatalError, ReportTextInEveryForm) {
  const std::tuple<int, int, const char*, const char*, std::string> forms[] = {
      {6, 120, "demo", "put_sprite",
       " (out of bounds array access) at line 120 of demo::put_sprite()"},
      {2, 0, "demo", "main", " (file not found) in demo::main()"},
      {3, 7, "demo", "", " (file I/O error) at line 7 of demo()"},
      {1, 9, "", "main", " (illegal function call) at line 9"},
      {4, -1, "", "", " (out of memory)"},
      {5, 1, "m", "p", " (unknown error) at line 1 of m::p()"},
  };
  for (const auto& [error, line, module, procedure, tail] : forms) {
    EXPECT_EQ(raster::fatal_error_text(error, line, module, procedure),
              "\r\nAborting due to runtime error " + std::to_string(error) + tail + "\r\n\r\n");
  }
}

// The child sends its standard output to standard error, where the death test can see it.
TEST(RasterFatalError, PrintsTheReportAndExitsWithTheErrorNumber) {
  EXPECT_EXIT(
      {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        raster::fatal_error(6, 42, "demo", "put_sprite");
      },
      ::testing::ExitedWithCode(6),
      "^\r\nAborting due to runtime error 6 \\(out of bounds array access\\) at line 42 of "
      "demo::put_sprite\\(\\)\r\n\r\n$");
}

}  // namespace
}  // namespace raster_test
