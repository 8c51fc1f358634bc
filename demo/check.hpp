// The demo's fatal checks: a failing call ends the program with the runtime error report,
// naming the source line and the procedure.
#pragma once

#include <filesystem>
#include <string_view>

#include "raster/raster.hpp"

namespace demo {

inline constexpr std::string_view kModule = "hexmap_demo";

// The error number of a file that could not be loaded: a missing file is "file not found",
// one that is there but cannot be read an I/O error.
inline int load_error(const char* file_name) {
  std::error_code ec;
  return std::filesystem::exists(file_name, ec) ? raster::kFileIoError : raster::kFileNotFound;
}

}  // namespace demo

// Ends the program with `error` when `call` gives a non-zero result.
#define DEMO_CHECK(call, error)                                                       \
  do {                                                                                \
    if ((call) != 0) raster::fatal_error((error), __LINE__, demo::kModule, __func__); \
  } while (false)
