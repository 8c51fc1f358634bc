// The log: every map's lines go through one process-wide sink.
#include <atomic>
#include <cstdio>
#include <memory>
#include <utility>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

namespace {

// Held by shared pointer so that a line being written keeps its sink alive while another
// thread, or the sink itself, replaces it. Null means silence.
using SharedSink = std::shared_ptr<const LogSink>;

std::atomic<SharedSink>& current_sink() {
  static std::atomic<SharedSink> sink{std::make_shared<const LogSink>(stdout_log_sink)};
  return sink;
}

}  // namespace

void stdout_log_sink(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void set_log_sink(LogSink sink) {
  current_sink().store(sink ? std::make_shared<const LogSink>(std::move(sink)) : nullptr);
}

void HEXAGON_MAP::PRINT_(std::string_view text) const {
  if (LOG_ENABLED == 0) return;
  if (const SharedSink sink = current_sink().load()) (*sink)(text);
}

}  // namespace hexmap
