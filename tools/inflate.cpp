#include "tools/inflate.hpp"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace hexmap::tool {
namespace {

constexpr int kMaxWindowBits = 15;
constexpr int kGzipWindowFlag = 16;  // zlib's way of asking for the gzip wrapper
constexpr size_t kChunk = 1 << 16;

struct Stream {
  z_stream z{};
  bool open = false;
  ~Stream() {
    if (open) inflateEnd(&z);
  }
};

}  // namespace

std::optional<std::vector<uint8_t>> inflate_all(std::span<const uint8_t> packed, Wrapper wrapper,
                                                size_t limit) {
  if (packed.size() > UINT_MAX) return std::nullopt;
  Stream s;
  const int bits = kMaxWindowBits + (wrapper == Wrapper::gzip ? kGzipWindowFlag : 0);
  if (inflateInit2(&s.z, bits) != Z_OK) return std::nullopt;
  s.open = true;
  s.z.next_in = const_cast<Bytef*>(packed.data());
  s.z.avail_in = static_cast<uInt>(packed.size());

  std::vector<uint8_t> out;
  for (;;) {
    // One byte beyond the limit tells an overlong stream from one that fits exactly.
    const size_t room = std::min(kChunk, limit + 1 - out.size());
    const size_t old = out.size();
    out.resize(old + room);
    s.z.next_out = out.data() + old;
    s.z.avail_out = static_cast<uInt>(room);
    const int rc = inflate(&s.z, Z_NO_FLUSH);
    out.resize(old + room - s.z.avail_out);
    if (out.size() > limit) return std::nullopt;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) return std::nullopt;  // damaged, or Z_BUF_ERROR: the input ran out
  }
  if (s.z.avail_in != 0) return std::nullopt;
  return out;
}

}  // namespace hexmap::tool
