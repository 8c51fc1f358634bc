// The runtime error report, byte for byte, and the exit status.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "raster/raster.hpp"

namespace raster_test {
namespace {

using raster::fatal_error_text;

TEST(RasterFatalError, ReportTextInEveryForm) {
  EXPECT_EQ(fatal_error_text(6, 120, "demo", "put_sprite"),
            "\r\nAborting due to runtime error 6 (out of bounds array access) at line 120 of "
            "demo::put_sprite()\r\n\r\n");
  EXPECT_EQ(fatal_error_text(2, 0, "demo", "main"),
            "\r\nAborting due to runtime error 2 (file not found) in demo::main()\r\n\r\n");
  EXPECT_EQ(fatal_error_text(3, 7, "demo", ""),
            "\r\nAborting due to runtime error 3 (file I/O error) at line 7 of demo()\r\n\r\n");
  EXPECT_EQ(fatal_error_text(1, 9, "", "main"),
            "\r\nAborting due to runtime error 1 (illegal function call) at line 9\r\n\r\n");
  EXPECT_EQ(fatal_error_text(4, -1, "", ""),
            "\r\nAborting due to runtime error 4 (out of memory)\r\n\r\n");
}

TEST(RasterFatalError, PrintsTheReportAndExitsWithTheErrorNumber) {
  const auto path =
      std::filesystem::path(::testing::TempDir()) / ("raster_fatal_" + std::to_string(getpid()));
  const std::string file = path.string();
  EXPECT_EXIT(
      {
        if (std::freopen(file.c_str(), "wb", stdout) == nullptr) std::_Exit(99);
        raster::fatal_error(6, 42, "demo", "put_sprite");
      },
      ::testing::ExitedWithCode(6), "");
  std::ifstream in(path, std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), fatal_error_text(6, 42, "demo", "put_sprite"));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace raster_test
