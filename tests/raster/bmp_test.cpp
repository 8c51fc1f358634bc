// bmp_load: the accepted variants pixel for pixel, and malformed files that must change nothing.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterBmp = Screen;

// The colour of picture pixel (x, y) in the test pictures (alpha 0xFF as loaded).
Color expected(int x, int y) {
  return 0xFF000000u | static_cast<Color>(x * 37 % 256) << 16 |
         static_cast<Color>(y * 53 % 256) << 8 | static_cast<Color>((x + y) * 11 % 256);
}

struct BmpLayout {
  int width = 5;
  int height = 3;
  int bits = 24;
  bool top_down = false;
  uint32_t header_size = 40;
  uint32_t compression = 0;
  uint32_t palette_entries = 0;  // 8 bits: 0 means a full palette of 256
};

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Builds a file of the given layout showing expected(x, y). An 8-bit file's palette entry i
// holds expected(i % width, i / width), and each pixel names its own entry.
std::vector<uint8_t> make_bmp(const BmpLayout& s) {
  const bool masks = s.compression == 3 && s.header_size == 40;
  const uint32_t entries = s.bits == 8 ? (s.palette_entries == 0 ? 256 : s.palette_entries) : 0;
  const uint32_t offset = 14 + s.header_size + (masks ? 12 : 0) + entries * 4;
  const uint32_t stride = (s.width * s.bits + 31) / 32 * 4;
  std::vector<uint8_t> b(offset + stride * s.height, 0xEE);  // padding bytes are not zero
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, offset);
  put32(b, 14, s.header_size);
  put32(b, 18, static_cast<uint32_t>(s.width));
  put32(b, 22, static_cast<uint32_t>(s.top_down ? -s.height : s.height));
  put16(b, 26, 1);
  put16(b, 28, static_cast<uint32_t>(s.bits));
  put32(b, 30, s.compression);
  put32(b, 34, stride * s.height);
  put32(b, 46, s.palette_entries);
  put32(b, 50, 0);
  if (s.compression == 3) {
    put32(b, 54, 0x00FF0000);
    put32(b, 58, 0x0000FF00);
    put32(b, 62, 0x000000FF);
  }
  const size_t table = 14 + s.header_size + (masks ? 12 : 0);
  for (uint32_t i = 0; i < entries; ++i) {
    const Color c = expected(static_cast<int>(i) % s.width, static_cast<int>(i) / s.width);
    put32(b, table + 4 * i, c & 0xFFFFFF);
  }
  for (int r = 0; r < s.height; ++r) {
    const int y = s.top_down ? r : s.height - 1 - r;
    uint8_t* row = b.data() + offset + static_cast<size_t>(r) * stride;
    for (int x = 0; x < s.width; ++x) {
      const Color c = expected(x, y);
      if (s.bits == 8) {
        row[x] = static_cast<uint8_t>(y * s.width + x);
      } else {
        uint8_t* p = row + x * (s.bits / 8);
        p[0] = static_cast<uint8_t>(c);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c >> 16);
        if (s.bits == 32) p[3] = 0x00;  // the fourth byte does not carry alpha here
      }
    }
  }
  return b;
}

std::string write_file(const std::vector<uint8_t>& bytes) {
  static int counter = 0;
  const auto path =
      std::filesystem::path(::testing::TempDir()) /
      ("raster_bmp_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".bmp");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

int load(const std::vector<uint8_t>& bytes, Image* dest) {
  const std::string path = write_file(bytes);
  const int result = bmp_load(path, dest);
  std::remove(path.c_str());
  return result;
}

TEST_F(RasterBmp, LoadsEveryDepthRowOrderAndPaddingIntoAnImage) {
  for (int bits : {8, 24, 32}) {
    for (bool top_down : {false, true}) {
      for (int width : {1, 2, 3, 5, 7}) {  // rows of 8 and 24 bits need padding
        const int height = bits == 8 ? 3 : 4;
        SCOPED_TRACE(testing::Message() << bits << " bits, width " << width
                                        << (top_down ? " top-down" : " bottom-up"));
        auto img = make_image(width, height);
        ASSERT_EQ(load(make_bmp({width, height, bits, top_down}), img.get()), 0)
            << failure_reason();
        for (int y = 0; y < height; ++y) {
          for (int x = 0; x < width; ++x)
            ASSERT_EQ(pixel(img.get(), x, y), expected(x, y));
        }
      }
    }
  }
}

TEST_F(RasterBmp, LongerHeadersShortPalettesAndClippingToTheTarget) {
  for (uint32_t header : {52u, 124u}) {
    auto img = make_image(3, 2);
    ASSERT_EQ(load(make_bmp({3, 2, 32, false, header, 3}), img.get()), 0) << header;
    EXPECT_EQ(pixel(img.get(), 2, 1), expected(2, 1));
  }
  auto img = make_image(4, 2);
  ASSERT_EQ(load(make_bmp({4, 2, 8, false, 40, 0, 5}), img.get()), 0) << failure_reason();
  EXPECT_EQ(pixel(img.get(), 0, 1), expected(0, 1));  // entry 4
  EXPECT_EQ(pixel(img.get(), 1, 1), 0xFF000000u);     // entry 5: beyond the palette reads black
  // Screen pixels: the view (2, 1)-(3, 10), inclusive, takes 2 x 3 of the 6 x 4 picture.
  ASSERT_EQ(view_set(2, 1, 3, 10), 0);
  ASSERT_EQ(load(make_bmp({6, 4}), nullptr), 0);
  EXPECT_EQ(at(3, 3), expected(3, 3));
  EXPECT_EQ(count_not(0xFF000000), 2 * 3);
  auto big = make_image(8, 8);
  ASSERT_EQ(load(make_bmp({6, 4}), big.get()), 0);
  EXPECT_EQ(pixel(big.get(), 5, 3), expected(5, 3));
  EXPECT_EQ(pixel(big.get(), 6, 3), kTransparent);
}

// A malformed file: a valid one with one change.
struct Broken {
  const char* what;
  BmpLayout layout;
  void (*edit)(std::vector<uint8_t>&);
};

TEST_F(RasterBmp, MalformedFilesAreRefusedAndChangeNothing) {
  // Memory safety on random damage is the fuzzer's; these are the refusals of each kind.
  const Broken cases[] = {
      {"truncated pixels", {}, [](auto& b) { b.pop_back(); }},
      {"bad signature", {}, [](auto& b) { b[1] = 'X'; }},
      {"most negative height", {}, [](auto& b) { put32(b, 22, 0x80000000u); }},
      {"two planes", {}, [](auto& b) { put16(b, 26, 2); }},
      {"16 bits", {}, [](auto& b) { put16(b, 28, 16); }},
      {"run-length compression", {5, 3, 8}, [](auto& b) { put32(b, 30, 1); }},
      {"swapped bit fields", {5, 3, 32, false, 40, 3}, [](auto& b) { put32(b, 54, 0xFF); }},
      {"offset beyond the file", {}, [](auto& b) { put32(b, 10, 0xFFFFFFF0u); }},
      {"offset inside the header", {}, [](auto& b) { put32(b, 10, 20); }},
      {"palette of 257", {5, 3, 8, false, 40, 0, 257}, [](auto&) {}},
      {"palette past the pixels", {5, 3, 8, false, 40, 0, 4}, [](auto& b) { put32(b, 46, 200); }},
      {"palette count overflow", {5, 3, 8}, [](auto& b) { put32(b, 46, 0x40000001u); }},
  };
  auto img = make_filled(5, 3, 0xFF123456);
  for (const Broken& c : cases) {
    std::vector<uint8_t> bytes = make_bmp(c.layout);
    c.edit(bytes);
    EXPECT_NE(load(bytes, img.get()), 0) << c.what;
    EXPECT_NE(load(bytes, nullptr), 0) << c.what;
    EXPECT_NE(failure_reason().find("bmp_load"), std::string_view::npos) << c.what;
  }
  for (Color c : image_pixels(img.get()))
    ASSERT_EQ(c, 0xFF123456u);
  EXPECT_EQ(count_not(0xFF000000), 0);
  EXPECT_NE(bmp_load("/nonexistent/folder/none.bmp", img.get()), 0);
  EXPECT_EQ(failure_reason(), "bmp_load: file not found");
  EXPECT_NE(bmp_load(::testing::TempDir(), img.get()), 0);
  EXPECT_EQ(failure_reason(), "bmp_load: not a regular file");
}

TEST_F(RasterBmp, SizeReadsTheDimensionsAndRefusesABrokenFile) {
  std::vector<uint8_t> bytes = make_bmp({7, 3, 24, true});
  std::string path = write_file(bytes);
  int width = 0, height = 0;
  EXPECT_EQ(bmp_size(path, width, height), 0);
  EXPECT_EQ(std::pair(width, height), std::pair(7, 3));
  bytes.pop_back();
  path = write_file(bytes);
  EXPECT_NE(bmp_size(path, width, height), 0);
}

}  // namespace
}  // namespace raster_test
