// Captures what the engine writes to standard output, split into lines.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace hexmap::testing {

using Lines = std::vector<std::string>;

class LogCapture {
 public:
  LogCapture() { ::testing::internal::CaptureStdout(); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  ~LogCapture() {
    if (!taken_) ::testing::internal::GetCapturedStdout();
  }

  // Ends the capture; every line without its "\n".
  Lines lines() {
    taken_ = true;
    std::istringstream in(::testing::internal::GetCapturedStdout());
    Lines out;
    for (std::string line; std::getline(in, line);)
      out.push_back(line);
    return out;
  }

 private:
  bool taken_ = false;
};

}  // namespace hexmap::testing
