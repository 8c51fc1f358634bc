#include "tools/base64.hpp"

#include <array>

namespace hexmap::tool {
namespace {

constexpr int kInvalid = -1;
constexpr int kSpace = -2;

constexpr std::array<int8_t, 256> make_table() {
  std::array<int8_t, 256> t{};
  t.fill(kInvalid);
  constexpr std::string_view alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (size_t i = 0; i < alphabet.size(); ++i)
    t[static_cast<uint8_t>(alphabet[i])] = static_cast<int8_t>(i);
  for (char c : std::string_view(" \t\r\n\f\v"))
    t[static_cast<uint8_t>(c)] = kSpace;
  return t;
}
constexpr auto kTable = make_table();

}  // namespace

std::optional<std::vector<uint8_t>> base64_decode(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t bits = 0;
  int held = 0;  // 6-bit groups in `bits`
  size_t padding = 0;
  for (char c : text) {
    const int v = kTable[static_cast<uint8_t>(c)];
    if (v == kSpace) continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    if (v == kInvalid || padding > 0) return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++held == 4) {
      out.push_back(static_cast<uint8_t>(bits >> 16));
      out.push_back(static_cast<uint8_t>(bits >> 8));
      out.push_back(static_cast<uint8_t>(bits));
      bits = 0;
      held = 0;
    }
  }
  // A lone trailing group carries fewer than 8 bits; padding never exceeds two.
  if (held == 1 || padding > 2 || (padding > 0 && held + padding != 4)) return std::nullopt;
  if (held == 2) out.push_back(static_cast<uint8_t>(bits >> 4));
  if (held == 3) {
    out.push_back(static_cast<uint8_t>(bits >> 10));
    out.push_back(static_cast<uint8_t>(bits >> 2));
  }
  return out;
}

}  // namespace hexmap::tool
