// The log: every map's lines go through one process-wide sink.
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

namespace {

// Held by shared pointer so that a line being written keeps its sink alive while another
// thread, or the sink itself, replaces it. Null means silence. A mutex guards the pointer, not
// the writing: the WebAssembly toolchain's library has no atomic shared pointer.
using SharedSink = std::shared_ptr<const LogSink>;

struct SinkSlot {
  std::mutex mutex;
  SharedSink sink = std::make_shared<const LogSink>(stdout_log_sink);
};

SinkSlot& sink_slot() {
  static SinkSlot slot;
  return slot;
}

SharedSink current_sink() {
  SinkSlot& slot = sink_slot();
  const std::lock_guard lock(slot.mutex);
  return slot.sink;
}

}  // namespace

void stdout_log_sink(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void set_log_sink(LogSink sink) {
  SharedSink replacement = sink ? std::make_shared<const LogSink>(std::move(sink)) : nullptr;
  SinkSlot& slot = sink_slot();
  const std::lock_guard lock(slot.mutex);
  // The old sink is released after the lock, in case its destructor logs.
  replacement.swap(slot.sink);
}

void HEXAGON_MAP::PRINT_(std::string_view text) const {
  if (LOG_ENABLED == 0) return;
  if (const SharedSink sink = current_sink()) (*sink)(text);
}

}  // namespace hexmap
