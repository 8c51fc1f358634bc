// bmp_load: the accepted variants pixel for pixel, and each refusal with its reason.
#include <tuple>

#include "raster/bmp.hpp"
#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;

// The colour of picture pixel (x, y) in the test pictures (alpha 0xFF as loaded).
Color expected(int x, int y) {
  return kBlack | static_cast<Color>(x * 37 % 256 << 16 | y * 53 % 256 << 8 | (x + y) * 11 % 256);
}

struct BmpLayout {
  int width = 5, height = 3, bits = 24;
  bool top_down = false;
  uint32_t header_size = 40, compression = 0;
  uint32_t palette_entries = 0;  // 8 bits: 0 means a full palette of 256
};

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i)
    b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A file of the given layout showing expected(x, y). An 8-bit file's palette entry i holds
// expected(i % width, i / width), and each pixel names its own entry.
std::vector<uint8_t> make_bmp(const BmpLayout& s) {
  const uint32_t entries = s.bits == 8 ? (s.palette_entries == 0 ? 256 : s.palette_entries) : 0;
  const uint32_t table = 14 + s.header_size + (s.compression == 3 && s.header_size == 40 ? 12 : 0);
  const uint32_t offset = table + entries * 4;
  const uint32_t stride = (s.width * s.bits + 31) / 32 * 4;
  std::vector<uint8_t> b(offset + stride * s.height, 0xEE);  // padding bytes are not zero
  const uint32_t width = s.width, height = s.top_down ? -s.height : s.height;
  // (file offset, value, bytes) of each header field.
  const std::tuple<size_t, uint32_t, int> fields[] = {
      {0, 'B' | 'M' << 8, 2},    {10, offset, 4}, {14, s.header_size, 4},    {18, width, 4},
      {22, height, 4},           {26, 1, 2},      {28, uint32_t(s.bits), 2}, {30, s.compression, 4},
      {46, s.palette_entries, 4}};
  for (const auto& [at, value, bytes] : fields)
    put32(b, at, value, bytes);
  for (int i = 0; i < 3 && s.compression == 3; ++i)
    put32(b, 54 + 4 * i, 0xFF0000u >> (8 * i));
  for (uint32_t i = 0; i < entries; ++i)
    put32(b, table + 4 * i, expected(i % s.width, i / s.width) & 0xFFFFFF);
  for (int i = 0; i < s.width * s.height; ++i) {  // 32 bits: the fourth byte does not carry alpha
    const int x = i % s.width, y = i / s.width, row = s.top_down ? y : s.height - 1 - y;
    const uint32_t v = s.bits == 8 ? i : expected(x, y) & 0xFFFFFF;
    put32(b, offset + row * stride + x * (s.bits / 8), v, s.bits / 8);
  }
  return b;
}

// Rows of 8 and 24 bits of these widths need padding; the two extra layouts hold the channel
// masks after a longer header, and pixels (indices 5 to 7) beyond a 5-entry palette, which read
// black.
TEST(RasterBmp, EveryDepthRowOrderAndPaddingDecodesPixelForPixel) {
  std::vector<BmpLayout> layouts = {{3, 2, 32, false, 124, 3}, {4, 2, 8, false, 40, 0, 5}};
  for (int bits : {8, 24, 32}) {
    for (int width : {1, 2, 3, 5})
      layouts.insert(layouts.end(), {{width, 3, bits, false}, {width, 3, bits, true}});
  }
  for (const BmpLayout& s : layouts) {
    detail::Picture picture;
    ASSERT_EQ(detail::bmp_decode(make_bmp(s), picture), 0) << failure_reason();
    std::vector<Color> want(s.width * s.height);
    for (int i = 0; i < s.width * s.height; ++i)
      want[i] = i >= 5 && s.palette_entries == 5 ? kBlack : expected(i % s.width, i / s.width);
    EXPECT_EQ(std::tuple(picture.width, picture.height, picture.pixels),
              std::tuple(s.width, s.height, want))
        << s.bits << " bits, width " << s.width << (s.top_down ? ", top-down" : "");
  }
}

// A malformed file is a valid one with one change. Memory safety on random damage is the
// fuzzer's; these are the refusals of each kind, with their reasons.
TEST(RasterBmp, MalformedFilesAreRefusedWithTheirReason) {
  const std::tuple<BmpLayout, void (*)(std::vector<uint8_t>&), const char*> cases[] = {
      {{}, [](auto& b) { b.resize(17); }, "file too short for a header"},
      {{}, [](auto& b) { b[1] = 'X'; }, "no BM signature"},
      {{}, [](auto& b) { put32(b, 14, 41); }, "unsupported info header size"},
      {{}, [](auto& b) { b.resize(50); }, "info header truncated"},
      {{}, [](auto& b) { put32(b, 18, 0); }, "width not positive"},
      {{}, [](auto& b) { put32(b, 22, 0x80000000u); }, "bad height"},
      {{}, [](auto& b) { put32(b, 26, 2, 2); }, "planes is not 1"},
      {{}, [](auto& b) { put32(b, 28, 16, 2); }, "unsupported bit depth"},
      {{}, [](auto& b) { put32(b, 18, 1 << 14), put32(b, 22, 1 << 13); }, "picture too large"},
      {{}, [](auto& b) { put32(b, 30, 3); }, "bit fields only with 32 bits"},
      {{5, 3, 32, false, 40, 3},
       [](auto& b) { put32(b, 54, 0xFF); },
       "channel masks differ from the plain layout"},
      {{5, 3, 8}, [](auto& b) { put32(b, 30, 1); }, "compressed files are not supported"},
      {{5, 3, 8}, [](auto& b) { put32(b, 46, 0x40000001u); }, "palette larger than 256"},
      {{5, 3, 8, false, 40, 0, 4},
       [](auto& b) { put32(b, 46, 200); },
       "palette runs into the pixels or past the file"},
      {{}, [](auto& b) { put32(b, 10, 20); }, "pixels overlap the headers"},
      {{}, [](auto& b) { put32(b, 10, 0xFFFFFFF0u); }, "pixel data past the end of the file"},
      {{}, [](auto& b) { b.pop_back(); }, "pixel data past the end of the file"},
  };
  for (const auto& [layout, edit, reason] : cases) {
    std::vector<uint8_t> bytes = make_bmp(layout);
    edit(bytes);
    detail::Picture picture;
    EXPECT_NE(detail::bmp_decode(bytes, picture), 0);
    EXPECT_EQ(failure_reason(), std::string("bmp_load: ") + reason);
  }
}

// Screen pixels: the view (2, 1)-(3, 10), inclusive, takes 2 x 3 of the 6 x 4 picture.
TEST_F(Screen, BmpPicturesLoadClippedToTheView) {
  ASSERT_EQ(view_set(2, 1, 3, 10), 0);
  ASSERT_EQ(detail::bmp_load_bytes(make_bmp({6, 4, 24, true}), nullptr), 0);
  EXPECT_EQ(std::pair(at(3, 3), count_not(kBlack)), std::pair(expected(3, 3), 2 * 3));
}

}  // namespace
}  // namespace raster_test
