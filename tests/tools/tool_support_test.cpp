#include <gtest/gtest.h>

#include <fstream>

#include "tools/arguments.hpp"
#include "tools/file_io.hpp"
#include "tools/picture.hpp"

namespace hexmap::tool {
namespace {

std::span<const uint8_t> bytes_of(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(Arguments, AcceptExactlyTheirForms) {
  ASSERT_TRUE(parse_cell("3,-1"));
  EXPECT_EQ(parse_cell("3,-1")->y, -1);
  ASSERT_TRUE(parse_size("640x400"));
  EXPECT_EQ(parse_size("640x400")->height, 400);
  ASSERT_TRUE(parse_path("1,2:30,4"));
  EXPECT_EQ(parse_path("1,2:30,4")->to.x, 30);
  ASSERT_TRUE(parse_flood("5,6,0"));
  EXPECT_EQ(parse_flood("5,6,7")->steps, 7);
  EXPECT_EQ(parse_flood("5,6,7")->origin.y, 6);
  for (std::string_view bad :
       {"", "3", "3,", ",3", "3;4", "3,4,5", " 3,4", "3,4 ", "1e2,3", "99999999999,1"})
    EXPECT_FALSE(parse_cell(bad)) << bad;
  for (std::string_view bad : {"0x10", "10x0", "10x-5", "10X10", "10x", "x10"})
    EXPECT_FALSE(parse_size(bad)) << bad;
  for (std::string_view bad : {"1,2", "1,2:3", "1,2:3,4:5,6"})
    EXPECT_FALSE(parse_path(bad)) << bad;
  for (std::string_view bad : {"1,2", "1,2,-1", "1,2,x"})
    EXPECT_FALSE(parse_flood(bad)) << bad;
}

TEST(Pictures, PngRoundTripAndBmpSheet) {
  const Picture p{3, 2, {0xFF102030, 0x00405060, 0x80FF00FF, 0xFFABCDEF, 0xFF000000, 0x7F112233}};
  auto png = encode_png(p);
  ASSERT_TRUE(png);
  EXPECT_EQ(image_file_size(bytes_of(*png))->width, 3);
  auto back = decode_png(bytes_of(*png));
  ASSERT_TRUE(back);
  for (size_t i = 0; i < p.pixels.size(); ++i)  // written opaque, colours kept
    EXPECT_EQ(back->pixels[i], p.pixels[i] | 0xFF000000) << i;
  EXPECT_FALSE(decode_png(bytes_of(png->substr(0, png->size() / 2))));

  const std::string bmp = encode_bmp_sheet(p, 0xABCDEF);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // two rows of 9 bytes padded to 12
  EXPECT_EQ(bmp_size(bytes_of(bmp))->height, 2);
  const auto pixel = [&bmp](int x, int bottom_row) {
    const size_t at = 54 + 12 * static_cast<size_t>(bottom_row) + 3 * static_cast<size_t>(x);
    return uint32_t{uint8_t(bmp[at])} | uint32_t{uint8_t(bmp[at + 1])} << 8 |
           uint32_t{uint8_t(bmp[at + 2])} << 16;
  };
  EXPECT_EQ(pixel(0, 1), 0x102030u);  // top row is stored last
  EXPECT_EQ(pixel(1, 1), 0xFF00FFu);  // see-through: alpha below half
  EXPECT_EQ(pixel(2, 1), 0xFF00FFu);  // half opaque magenta stays magenta
  EXPECT_EQ(pixel(0, 0), 0xFF00FFu);  // the tileset's see-through colour
  EXPECT_EQ(pixel(2, 0), 0xFF00FFu);
  EXPECT_FALSE(bmp_size(bytes_of(std::string("BM") + std::string(30, '\0'))));  // 0 x 0
}

TEST(Files, AtomicWritesLeaveNoPartialFile) {
  const auto dir = std::filesystem::temp_directory_path() / ("tool_io_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto a = dir / "a.txt";
  ASSERT_EQ(write_file_atomically(a, "old"), "");
  ASSERT_EQ(write_file_atomically(a, "new"), "");
  EXPECT_EQ(*read_file(a).bytes, "new");
  // The second file cannot be written: the first keeps its old bytes and nothing else appears.
  const std::string why = write_files_atomically({{a, "newer"}, {dir / "missing" / "b", "x"}});
  EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
  EXPECT_EQ(*read_file(a).bytes, "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_FALSE(read_file(dir / "none").bytes);
  EXPECT_FALSE(read_file(dir).bytes);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace hexmap::tool
