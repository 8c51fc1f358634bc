#include "tools/tmx_format.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "tools/base64.hpp"
#include "tools/inflate.hpp"

namespace hexmap::tool {
namespace {

// A 3 x 2 map: hexagons 32 x 32 with sides of 16 (box 24 x 32), tiles 32 x 40 on a 128 x 80
// sheet (8 tiles), so the tiles reach 8 pixels below their box.
constexpr std::string_view kMap = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="hexagonal" renderorder="right-down" width="3" height="2" tilewidth="32" tileheight="32" infinite="0" hexsidelength="16" staggeraxis="x" staggerindex="odd">
 <properties>
  <property name="solid panel" type="int" value="7"/>
  <property name="flood panel" type="int" value="6"/>
  <property name="first wall panel" type="int" value="1"/>
 </properties>
 <tileset firstgid="1" name="sheet" tilewidth="32" tileheight="40" tilecount="8" columns="4">
  <tileoffset x="0" y="8"/>
  <image source="sheet.png" width="128" height="80"/>
 </tileset>
 <layer id="1" name="ground" width="3" height="2">
  <data encoding="csv">
2,3,1,
0,5,4
</data>
 </layer>
 <layer id="2" name="wall down" width="3" height="2">
  <data encoding="csv">0,0,0,0,4,0</data>
 </layer>
 <layer id="3" name="solid" width="3" height="2">
  <data encoding="csv">0,0,8,0,0,0</data>
 </layer>
 <layer id="4" name="prop" width="3" height="2">
  <data encoding="csv">0,3,0,0,0,0</data>
 </layer>
</map>
)";
constexpr std::string_view kGroundCsv = "\n2,3,1,\n0,5,4\n";
const std::vector<uint32_t> kGroundGids = {2, 3, 1, 0, 5, 4};

TmxSources sheet_sources(ImageSize size = {128, 80}, std::string tsx = {}) {
  return {[tsx](const std::filesystem::path&) -> std::optional<std::string> {
            if (tsx.empty()) return std::nullopt;
            return tsx;
          },
          [size](const std::filesystem::path&) -> std::optional<ImageSize> { return size; }};
}

std::string replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string s(text);
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

std::string base64(const std::vector<uint8_t>& bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = uint32_t{bytes[i]} << 16;
    if (i + 1 < bytes.size()) v |= uint32_t{bytes[i + 1]} << 8;
    if (i + 2 < bytes.size()) v |= bytes[i + 2];
    for (size_t k = 0; k < 4; ++k)
      out += i + k <= bytes.size() ? kAlphabet[v >> (18 - 6 * k) & 63] : '=';
  }
  return out;
}

std::vector<uint8_t> little_endian(const std::vector<uint32_t>& gids) {
  std::vector<uint8_t> b;
  for (uint32_t g : gids)
    for (int k = 0; k < 4; ++k)
      b.push_back(static_cast<uint8_t>(g >> (8 * k)));
  return b;
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& raw, bool gzip) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + (gzip ? 16 : 0), 8, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> out(deflateBound(&z, raw.size()) + 32);
  z.next_in = const_cast<Bytef*>(raw.data());
  z.avail_in = static_cast<uInt>(raw.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(TmxRead, ReadsCellsPanelsAndGeometry) {
  auto r = read_tmx(kMap, "/maps", sheet_sources());
  ASSERT_TRUE(r) << r.failure().reason;
  const MapDocument& m = r->map;
  EXPECT_EQ(m.width, 3);
  EXPECT_EQ(m.height, 2);
  EXPECT_EQ(m.box_width, 24);
  EXPECT_EQ(m.box_height, 32);
  EXPECT_EQ(m.tile_width, 32);
  EXPECT_EQ(m.tile_height, 40);
  EXPECT_EQ(m.tile_count, 8);
  EXPECT_EQ(m.solid_panel, 7);
  EXPECT_EQ(m.flood_panel, 6);
  EXPECT_EQ(m.first_wall_panel, 1);
  EXPECT_EQ(r->sheet, std::filesystem::path("/maps/sheet.png"));
  const std::vector<CellDocument> want = {{1, 0, 0, 0, 0}, {2, 0, 0, 0, 2}, {0, -1, 0, 0, 0},
                                          {0, 0, 0, 0, 0}, {4, 0, 8, 0, 0}, {3, 0, 0, 0, 0}};
  EXPECT_EQ(m.cells, want);
}

TEST(TmxRead, EveryLayerEncodingGivesTheSameCells) {
  const auto raw = little_endian(kGroundGids);
  std::string tiles;
  for (uint32_t g : kGroundGids)
    tiles += "<tile gid=\"" + std::to_string(g) + "\"/>";
  const std::vector<std::pair<std::string, std::string>> encodings = {
      {"encoding=\"base64\"", base64(raw)},
      {"encoding=\"base64\" compression=\"zlib\"", base64(deflated(raw, false))},
      {"encoding=\"base64\" compression=\"gzip\"", "\n   " + base64(deflated(raw, true)) + "\n"},
      {"", tiles}};
  const auto want = read_tmx(kMap, "/maps", sheet_sources());
  ASSERT_TRUE(want);
  for (const auto& [attributes, data] : encodings) {
    const std::string text =
        replaced(kMap, std::string("<data encoding=\"csv\">") + std::string(kGroundCsv),
                 "<data " + attributes + ">" + data);
    auto r = read_tmx(text, "/maps", sheet_sources());
    ASSERT_TRUE(r) << attributes << ": " << r.failure().reason;
    EXPECT_EQ(r->map, want->map) << attributes;
  }
}

TEST(TmxRead, ExternalTilesetResolvesAgainstItsOwnFolder) {
  const std::string tsx = R"(<?xml version="1.0"?>
<tileset version="1.8" name="sheet" tilewidth="32" tileheight="40" tilecount="8" columns="4">
 <tileoffset x="0" y="8"/>
 <image source="../art/sheet.png" width="128" height="80"/>
</tileset>)";
  const std::string text = replaced(
      kMap, kMap.substr(kMap.find("<tileset"), kMap.find("<layer") - kMap.find("<tileset")),
      "<tileset firstgid=\"1\" source=\"sets/sheet.tsx\"/>\n ");
  auto r = read_tmx(text, "/maps", sheet_sources({128, 80}, tsx));
  ASSERT_TRUE(r) << r.failure().reason;
  EXPECT_EQ(r->sheet.lexically_normal(), std::filesystem::path("/maps/art/sheet.png"));
  EXPECT_EQ(r->map.tile_height, 40);
  EXPECT_FALSE(read_tmx(text, "/maps", sheet_sources()));  // the .tsx cannot be read
}

TEST(TmxRead, RefusesWhatTheEngineCannotShowWithTheLine) {
  struct Case {
    std::string_view from, to, reason;
    int line;
  };
  const Case cases[] = {
      {"staggerindex=\"odd\"", "staggerindex=\"even\"", "staggerindex 'odd'", 2},
      {"orientation=\"hexagonal\"", "orientation=\"orthogonal\"", "must be hexagonal", 2},
      {"infinite=\"0\"", "infinite=\"1\"", "infinite maps", 2},
      {"tilewidth=\"32\" tileheight=\"32\"", "tilewidth=\"33\" tileheight=\"32\"", "even", 2},
      {"2,3,1,", "2,2147483651,1,", "(1,0) of layer 'ground' is flipped or rotated", 13},
      {"0,5,4", "0,5,9", "(2,1) of layer 'ground' (gid 9) is not in the tileset", 13},
      {"0,5,4", "0,5", "layer has 5 tiles, the map has 6 cells", 13},
      {"0,5,4", "0,5,x", "CSV value 'x'", 13},
      {"name=\"wall down\"", "name=\"Tile Layer 1\"", "layer 'Tile Layer 1' has no meaning", 18},
      {"name=\"prop\"", "name=\"solid\"", "layer 'solid' appears twice", 24},
      {"encoding=\"csv\">0,3", "encoding=\"base64\" compression=\"zstd\">AAAA",
       "'zstd' is not supported", 25},
      {"<tileoffset x=\"0\" y=\"8\"/>", "", "drawing offset must be 0,8", 8},
      {"<property name=\"flood panel\" type=\"int\" value=\"6\"/>", "",
       "'flood panel' (int) is missing", 2},
      {"tilecount=\"8\"", "tilecount=\"8\" spacing=\"1\"", "spacing must be 0", 8},
      {"tilecount=\"8\"", "tilecount=\"9\"", "holds 8 tiles", 8},
      {"sheet.png", "sheet.gif", "neither PNG nor BMP", 10},
      {" </tileset>", " </tileset>\n <tileset firstgid=\"9\" source=\"b.tsx\"/>", "2 tilesets", 2},
      {"</map>", " <objectgroup id=\"5\"/>\n</map>", "<objectgroup> is not supported", 27},
      {"</map>", "</mapx>", "not XML", 27},
  };
  for (const Case& c : cases) {
    auto r = read_tmx(replaced(kMap, c.from, c.to), "/maps", sheet_sources());
    ASSERT_FALSE(r) << c.to;
    EXPECT_NE(r.failure().reason.find(c.reason), std::string::npos) << r.failure().reason;
    EXPECT_EQ(r.failure().line, c.line) << r.failure().reason;
  }
}

MapDocument random_map(std::mt19937& rng) {
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  MapDocument m;
  m.width = pick(1, 9);
  m.height = pick(1, 9);
  m.tile_width = pick(1, 64);
  m.tile_height = pick(1, 64);
  m.box_width = pick(1, 64);
  m.box_height = 2 * pick(1, 32);
  m.tile_count = pick(1, 12);
  m.tile_filename = "t.bmp";
  m.solid_panel = pick(-20, 20);
  m.flood_panel = pick(-20, 20);
  m.first_wall_panel = pick(-20, 20);
  m.cells.resize(static_cast<size_t>(m.width * m.height));
  for (CellDocument& c : m.cells)
    c = {pick(0, m.tile_count - 1), -pick(0, 1), pick(0, 63), pick(0, m.tile_count - 1),
         pick(0, m.tile_count - 1)};
  return m;
}

TEST(TmxWrite, RandomMapsReadBackAsWritten) {
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    MapDocument m = random_map(rng);
    // A sheet of 4 columns holding the map's tiles, sometimes more; every fourth map counts
    // its tiles as 0 ("all of the sheet"), which travels as a property.
    const ImageSize sheet{4 * m.tile_width, ((m.tile_count + 3) / 4 + i % 2) * m.tile_height};
    if (i % 4 == 0) m.tile_count = 0;
    auto text = write_tmx(m, {"t.bmp", sheet});
    ASSERT_TRUE(text) << text.failure().reason;
    auto back = read_tmx(*text, "/m", sheet_sources(sheet));
    ASSERT_TRUE(back) << back.failure().reason << "\n" << *text;
    back->map.tile_filename = m.tile_filename;
    EXPECT_EQ(back->map, m) << *text;
  }
}

TEST(TmxWrite, RefusesValuesWithoutATiledForm) {
  MapDocument m;
  m.width = 2;
  m.height = 1;
  m.tile_width = m.tile_height = 32;
  m.box_width = 24;
  m.box_height = 32;
  m.tile_count = 4;
  m.cells.resize(2);
  const TmxSheet sheet{"t.bmp", {64, 64}};
  ASSERT_TRUE(write_tmx(m, sheet));
  const std::vector<std::pair<CellDocument, std::string>> cases = {
      {{4, 0, 0, 0, 0}, "cell (1,0): ground tile 4"},
      {{0, 1, 0, 0, 0}, "solid flag 1"},
      {{0, 0, 64, 0, 0}, "wall bit-field 64"},
      {{0, 0, 0, -1, 0}, "overlay tile -1"}};
  for (const auto& [cell, reason] : cases) {
    MapDocument bad = m;
    bad.cells[1] = cell;
    auto r = write_tmx(bad, sheet);
    ASSERT_FALSE(r) << reason;
    EXPECT_NE(r.failure().reason.find(reason), std::string::npos) << r.failure().reason;
  }
  m.box_height = 31;
  EXPECT_FALSE(write_tmx(m, sheet));
}

TEST(LayerData, Base64AndInflateRefuseDamage) {
  EXPECT_EQ(base64_decode("TWFu"), (std::vector<uint8_t>{'M', 'a', 'n'}));
  EXPECT_EQ(base64_decode(" TW\nE= "), (std::vector<uint8_t>{'M', 'a'}));
  EXPECT_EQ(base64_decode("TQ"), (std::vector<uint8_t>{'M'}));
  for (std::string_view bad : {"T", "TQ=a", "TQ===", "T!Q=", "TWFuT"})
    EXPECT_FALSE(base64_decode(bad)) << bad;

  const std::vector<uint8_t> raw(1000, 7);
  const auto packed = deflated(raw, false);
  EXPECT_EQ(inflate_all(packed, Wrapper::zlib, raw.size()), raw);
  EXPECT_FALSE(inflate_all(packed, Wrapper::zlib, raw.size() - 1));  // over the limit
  EXPECT_FALSE(inflate_all(packed, Wrapper::gzip, raw.size()));      // wrong wrapper
  auto trailing = packed;
  trailing.push_back(0);
  EXPECT_FALSE(inflate_all(trailing, Wrapper::zlib, raw.size()));
  EXPECT_FALSE(inflate_all(std::span(packed).first(packed.size() - 3), Wrapper::zlib, raw.size()));
}

}  // namespace
}  // namespace hexmap::tool
