// Shared helpers of the real-window tests: failures as exceptions, and reading back an X window
// dump as written by xwd.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/raster.hpp"

namespace e2e {

struct Failure {
  std::string what;
};

[[noreturn]] inline void fail(const std::string& what) {
  throw Failure{what};
}

using Picture = std::vector<raster::Color>;

inline std::string read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) fail("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An X window dump (the xwd file format): a header of big-endian 32-bit fields, the window
// name, a colour table, then the pixels in the server's byte order.
struct WindowDump {
  int width = 0;
  int height = 0;
  Picture pixels;  // 0x00RRGGBB
};

inline int mask_shift(uint32_t mask) {
  int shift = 0;
  while (shift < 32 && ((mask >> shift) & 1) == 0)
    ++shift;
  return shift;
}

inline WindowDump read_window_dump(const std::filesystem::path& file) {
  const std::string data = read_file(file);
  if (data.size() < 100) fail("window dump too short");
  const auto field = [&](int index) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
      v = v << 8 | static_cast<unsigned char>(data[static_cast<size_t>(index) * 4 + i]);
    return v;
  };
  const uint32_t header_size = field(0);
  const uint32_t version = field(1);
  const uint32_t format = field(2);
  const uint32_t width = field(4);
  const uint32_t height = field(5);
  const uint32_t byte_order = field(7);
  const uint32_t bits_per_pixel = field(11);
  const uint32_t bytes_per_line = field(12);
  const uint32_t masks[3] = {field(14), field(15), field(16)};
  const uint32_t colors = field(19);
  const size_t start = static_cast<size_t>(header_size) + static_cast<size_t>(colors) * 12;
  bool masks_ok = true;
  for (uint32_t mask : masks)
    masks_ok = masks_ok && mask != 0 && (mask >> mask_shift(mask)) == 0xFF;
  // Only a 32-bit ZPixmap of 8-bit channels, whole and of a sane size, is read.
  if (version != 7 || format != 2 || bits_per_pixel != 32 || !masks_ok || width > 4096 ||
      height > 4096 || bytes_per_line < width * 4 || start > data.size() ||
      (data.size() - start) / bytes_per_line < height)
    fail("window dump: not a whole 32-bit ZPixmap of 8-bit channels");
  WindowDump dump{static_cast<int>(width), static_cast<int>(height), {}};
  dump.pixels.resize(static_cast<size_t>(width) * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = start + static_cast<size_t>(y) * bytes_per_line + x * 4;
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i) {
        const uint32_t byte = static_cast<unsigned char>(data[at + i]);
        v |= byte_order == 0 ? byte << (8 * i) : byte << (8 * (3 - i));
      }
      uint32_t rgb = 0;
      for (uint32_t mask : masks)
        rgb = rgb << 8 | (v & mask) >> mask_shift(mask);
      dump.pixels[static_cast<size_t>(y) * width + x] = rgb;
    }
  }
  return dump;
}

}  // namespace e2e
