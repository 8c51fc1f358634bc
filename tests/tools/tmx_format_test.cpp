#include "tools/tmx_format.hpp"

#include <gtest/gtest.h>

#include <random>

#include "hexmap/directions.hpp"
#include "tests/tools/text_table.hpp"
#include "tools/picture.hpp"
#include "tools/tile_panels.hpp"

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
 <layer id="2" name="wall down" width="3" height="2"><data encoding="csv">0,0,0,0,4,0</data></layer>
 <layer id="3" name="solid" width="3" height="2"><data encoding="csv">0,0,8,0,0,0</data></layer>
 <layer id="4" name="prop" width="3" height="2"><data encoding="csv">0,3,0,0,0,0</data></layer>
</map>
)";

std::string replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string s(text);
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

// The map's own tileset, as an external file in /maps/sets/ that names its image from there.
std::string_view embedded_tileset() {
  return kMap.substr(kMap.find("<tileset"), kMap.find("<layer") - kMap.find("<tileset"));
}
std::optional<std::string> read_tsx(const std::filesystem::path& file) {
  if (file != "/maps/sets/sheet.tsx") return std::nullopt;
  return replaced(embedded_tileset(), "sheet.png", "../sheet.png");
}
TmxSources sheet_sources(ImageSize size = {128, 80}) {
  return {read_tsx, [size](const std::filesystem::path&) { return std::optional(size); }};
}

// The ground layer's gids 2,3,1,0,5,4 as Tiled writes them in its other encodings, spaces
// around base64 included: attributes of <data> | its content.
constexpr std::string_view kGroundEncodings = R"(
encoding="base64"|   AgAAAAMAAAABAAAAAAAAAAUAAAAEAAAA
encoding="base64" compression="zlib"|   eNpjYmBgYAZiRgYIYAViFiAGAADMABA=
encoding="base64" compression="gzip"|   H4sIAAAAAAACA2NiYGBgBmJGBghgBWIWIAYAR0O5vBgAAAA=
|<tile gid="2"/><tile gid="3"/><tile gid="1"/><tile/><tile gid="5"/><tile gid="4"/>
)";

// The same map with each layer encoding and with its tileset in a file of its own.
TEST(TmxRead, ReadsCellsPanelsAndGeometryInEveryForm) {
  // Cell ids are gids - 1; any tile on a wall or solid layer sets the wall bit or the flag.
  MapDocument want{3, 2, "", 32, 40, 8, 24, 32, 7, 6, 1, {}, {}};
  want.cells = {{1, 0, 0, 0, 0}, {2, 0, 0, 0, 2}, {0, -1, 0, 0, 0},
                {0, 0, 0, 0, 0}, {4, 0, 8, 0, 0}, {3, 0, 0, 0, 0}};
  const std::string tsx = R"(<tileset firstgid="1" source="sets/sheet.tsx"/>)";
  std::vector<std::string> maps = {std::string(kMap), replaced(kMap, embedded_tileset(), tsx)};
  for (const auto& row : text_table(kGroundEncodings))
    maps.push_back(replaced(kMap, "encoding=\"csv\">\n2,3,1,\n0,5,4\n", row[0] + ">" + row[1]));
  for (const std::string& text : maps) {
    auto r = read_tmx(text, "/maps", sheet_sources());
    ASSERT_TRUE(r) << r.failure().reason << "\n" << text;
    EXPECT_EQ(r->map, want) << text;
    EXPECT_EQ(r->sheet.lexically_normal(), std::filesystem::path("/maps/sheet.png"));
  }
}

// A tile's "solid" makes every cell showing it solid, on any layer; "cost" belongs to the tile's
// ground id whether or not the map uses it.
TEST(TmxRead, TilePropertiesBecomeSolidCellsAndGroundCosts) {
  const std::string props =
      R"(<tile id="1"><properties><property name="solid" type="bool" value="true"/></properties></tile>
  <tile id="4"><properties><property name="cost" type="int" value="3"/></properties></tile>
  <tile id="6"><properties><property name="cost" type="int" value="9"/><property name="solid" type="bool" value="false"/></properties></tile>
 </tileset>)";
  auto r = read_tmx(replaced(kMap, " </tileset>", props), "/maps", sheet_sources());
  ASSERT_TRUE(r) << r.failure().reason;
  EXPECT_EQ(r->map.ground_costs, (std::map<int32_t, int32_t>{{4, 3}, {6, 9}}));
  std::vector<int32_t> solid;
  for (const CellDocument& c : r->map.cells)
    solid.push_back(c.solid);
  EXPECT_EQ(solid, (std::vector<int32_t>{-1, 0, -1, 0, 0, 0}));
}

// What is replaced in the map | by what | the line the reason names | the reason. The
// compressed layers hold 7 gids, a zlib stream called gzip, trailing bytes, a cut stream.
constexpr std::string_view kRefusals = R"(
staggerindex="odd"|staggerindex="even"|2|orientation 'hexagonal', staggeraxis 'x', staggerindex 'even' is not supported: maps must be hexagonal with staggeraxis 'x' and staggerindex 'odd'
infinite="0"|infinite="1"|2|the infinite map has no chunks of tiles
2,3,1,|2,2147483651,1,|13|the tile at (1,0) of layer 'ground' is flipped or rotated; hexmap draws tiles only as they are
0,5,4|0,5,9|13|the tile at (2,1) of layer 'ground' (gid 9) is beyond every tileset
0,5,4|0,5|13|layer has 5 tiles, the map has 6 cells
encoding="csv">0,3|encoding="base64" compression="zstd">AAAA|20|compression 'zstd' cannot be read: this hexmap is built without zstd (save the map with zlib, gzip or CSV)
tilecount="8"|tilecount="8" spacing="1"|8|tilecount '8' does not fit the image, which holds 3 tiles
tilecount="8"|tilecount="9"|8|tilecount '9' does not fit the image, which holds 8 tiles
firstgid="1" name="sheet"|firstgid="1" source="none.tsx"|8|tileset file /maps/none.tsx cannot be read
sheet.png|sheet.gif|8|tileset image 'sheet.gif' is neither PNG nor BMP
</tileset>|</tileset><tileset firstgid="9" name="big" tilewidth="48" tileheight="41"><image source="b.png"/></tileset>|11|tilesets 'sheet' (32 x 40) and 'big' (48 x 41) have different tile sizes; hexmap draws every tile at one size
<image source="sheet.png" width="128" height="80"/>|<tile id="0"><image source="a.png" width="32" height="40"/></tile>|10|tile image a.png is 128 x 80; tileset 'sheet' has tiles of 32 x 40 and hexmap draws every tile at one size
<tileoffset x="0" y="8"/>|<tile id="1"><properties><property name="cost" type="int" value="0"/></properties></tile>|9|the tile property 'cost' must be an int from 1 to 1000000
tilewidth="32" tileheight="32"|tilewidth="32" tileheight="1"|2|tilewidth and tileheight must be 2 or more
<tileoffset x="0" y="8"/>|<tile id="1"><properties><property name="solid" value="yes"/></properties></tile>|9|the tile property 'solid' must be a bool
<tileoffset x="0" y="8"/>|<tile id="8"><properties><property name="cost" type="int" value="2"/></properties></tile>|8|tile 8 has properties, but tileset 'sheet' has 8 tiles
firstgid="1" name="sheet"|firstgid="70000" name="sheet"|2|the tilesets reach gid 70007; one sheet of them all would exceed 65536 tiles or 67108864 pixels
name="wall down" width="3"|name="wall down" width="4"|18|layer 'wall down' is not the size of the map
encoding="csv">0,3,0,0,0,0|encoding="base64">AAAA=AAA|20|layer data is not base64
encoding="csv">0,3,0,0,0,0|encoding="base64" compression="zlib">eNpjYGBgYGbADgAAZAAE|20|layer data does not inflate to 24 bytes with zlib
encoding="csv">0,3,0,0,0,0|encoding="base64" compression="gzip">eNpjYGBgYGbABAAAVAAE|20|layer data does not inflate to 24 bytes with gzip
encoding="csv">0,3,0,0,0,0|encoding="base64" compression="zlib">eNpjYGBgYGbABAAAVAAEAA==|20|layer data does not inflate to 24 bytes with zlib
encoding="csv">0,3,0,0,0,0|encoding="base64" compression="zlib">eNpjYGBgYGbABAAA|20|layer data does not inflate to 24 bytes with zlib
)";

TEST(TmxRead, RefusesWhatTheEngineCannotShowWithTheLine) {
  for (const auto& row : text_table(kRefusals)) {
    ASSERT_EQ(row.size(), 4u) << row[0];
    auto r = read_tmx(replaced(kMap, row[0], row[1]), "/maps", sheet_sources());
    ASSERT_FALSE(r) << row[1];
    EXPECT_EQ(r.failure().reason, row[3]);
    EXPECT_EQ(r.failure().line, std::stoi(row[2])) << row[3];
  }
}

// Every value a map can hold travels through a Tiled map and back, on sheets of random sizes.
TEST(TmxWrite, RandomMapsReadBackAsWritten) {
  std::mt19937 rng(7);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 200; ++i) {
    // The reader leaves the tile file name to its caller.
    MapDocument m{pick(1, 9),
                  pick(1, 9),
                  "",
                  pick(1, 64),
                  pick(1, 64),
                  pick(1, 12),
                  pick(1, 64),
                  2 * pick(1, 32),
                  pick(-20, 20),
                  pick(-20, 20),
                  pick(-20, 20),
                  {},
                  {}};
    m.cells.resize(static_cast<size_t>(m.width * m.height));
    for (CellDocument& c : m.cells)
      c = {pick(0, m.tile_count - 1), -pick(0, 1), pick(0, 63), pick(0, m.tile_count - 1),
           pick(0, m.tile_count - 1)};
    // A sheet of 4 columns holding the map's tiles, sometimes more; every fourth map counts
    // its tiles as 0 ("all of the sheet"), which travels as a property.
    const ImageSize sheet{4 * m.tile_width, ((m.tile_count + 3) / 4 + i % 2) * m.tile_height};
    m.ground_costs[pick(0, m.tile_count - 1)] = pick(1, kMaxStepCost);
    if (i % 4 == 0) m.tile_count = 0;
    // Both of Tiled's forms, read back by the reader of each.
    for (const auto& [write, read] :
         {std::pair{&write_tmx, &read_tmx}, std::pair{&write_tiled_json, &read_tiled_json}}) {
      auto text = write(m, {"t.bmp", sheet});
      ASSERT_TRUE(text) << text.failure().reason;
      auto back = read(*text, "/m", sheet_sources(sheet));
      ASSERT_TRUE(back) << back.failure().reason << "\n" << *text;
      EXPECT_EQ(back->map, m) << *text;
    }
  }
}

// A map drawn in Tiled and saved as JSON, 3 x 2 cells of 32 x 32 hexagons with tiles of
// 32 x 40, no panel properties: gid g is ground g.
constexpr std::string_view kJsonMap = R"({ "height":2, "hexsidelength":16, "infinite":false,
 "layers":[{"data":[2, 3, 1, 0, 5, 4], "height":2, "id":1, "name":"Tile Layer 1", "type":"tilelayer", "visible":true, "width":3, "x":0, "y":0}],
 "orientation":"hexagonal", "staggeraxis":"x", "staggerindex":"odd", "tileheight":32,
 "tilesets":[{"columns":4, "firstgid":1, "image":"sheet.png", "imageheight":80, "imagewidth":128, "margin":0, "name":"sheet", "spacing":0, "tilecount":8, "tileheight":40, "tilewidth":32}],
 "tilewidth":32, "type":"map", "version":"1.8", "width":3 })";

// What is replaced in the JSON map | by what | the reason, which names the JSON path.
constexpr std::string_view kJsonRefusals = R"(
"staggerindex":"odd"|"staggerindex":"even"|(root): orientation 'hexagonal', staggeraxis 'x', staggerindex 'even' is not supported: maps must be hexagonal with staggeraxis 'x' and staggerindex 'odd'
[2, 3, 1|[2, 2147483651, 1|layers[0].data: the tile at (1,0) of layer 'Tile Layer 1' is flipped or rotated; hexmap draws tiles only as they are
5, 4]|5, 9]|layers[0].data: the tile at (2,1) of layer 'Tile Layer 1' (gid 9) is beyond every tileset
"data":[2, 3, 1, 0, 5, 4]|"compression":"zstd", "encoding":"base64", "data":"AAAA"|layers[0].data: compression 'zstd' cannot be read: this hexmap is built without zstd (save the map with zlib, gzip or CSV)
"tilewidth":32}]|"tilewidth":32}, {"firstgid":9, "image":"b.png", "name":"big", "tileheight":41, "tilewidth":48}]|tilesets[1]: tilesets 'sheet' (32 x 40) and 'big' (48 x 41) have different tile sizes; hexmap draws every tile at one size
"width":3 }|"width":-3 }|width: must be a whole number from 1 to 1073741823
"height":2, "hexsidelength"|"height":2 "hexsidelength"|byte 28: not JSON
"data":[2, 3, 1, 0, 5, 4]|"data":"AgAAAA=="|layers[0].encoding: string data needs the encoding 'base64'
"type":"tilelayer"|"type":"layer"|layers[0].type: is not a layer type
)";

TEST(TiledJson, ReadsTiledsMapsAndRefusesWithThePath) {
  auto r = read_tiled_json(kJsonMap, "/maps", sheet_sources());
  ASSERT_TRUE(r) << r.failure().reason;
  std::vector<int32_t> ground;
  for (const CellDocument& c : r->map.cells)
    ground.push_back(c.ground);
  EXPECT_EQ(ground, (std::vector<int32_t>{2, 3, 1, 0, 5, 4}));
  EXPECT_EQ(r->packed->tiles[0], std::nullopt);  // empty cells show a see-through tile
  EXPECT_EQ(r->packed->tiles[2]->x, 32);         // gid 2: the sheet's second tile
  for (const auto& row : text_table(kJsonRefusals)) {
    auto bad = read_tiled_json(replaced(kJsonMap, row[0], row[1]), "/maps", sheet_sources());
    ASSERT_FALSE(bad) << row[1];
    EXPECT_EQ(bad.failure().reason, row[2]);
  }
}

TEST(TmxWrite, RefusesValuesWithoutATiledForm) {
  MapDocument m{2, 1, "t.bmp", 32, 32, 4, 24, 32, 0, 0, 0, {{}, {}}, {}};
  const TmxSheet sheet{"t.bmp", {64, 64}};
  const std::pair<CellDocument, std::string_view> cells[] = {
      {{4, 0, 0, 0, 0}, "cell (1,0): ground tile 4 is not one of the sheet's 4 tiles"},
      {{0, 0, 0, -1, 0}, "cell (1,0): overlay tile -1 is not one of the sheet's 4 tiles"},
      {{0, 1, 0, 0, 0}, "cell (1,0): solid flag 1 has no form in a Tiled map (only 0 and -1)"},
      {{0, 0, 64, 0, 0}, "cell (1,0): wall bit-field 64 has bits beyond the six sides"}};
  for (const auto& [cell, reason] : cells) {
    MapDocument bad = m;
    bad.cells[1] = cell;
    EXPECT_EQ(write_tmx(bad, sheet).failure().reason, reason);
  }
  m.box_height = 31;
  EXPECT_EQ(
      write_tmx(m, sheet).failure().reason,
      "box 24 x 31: Tiled needs an even box height of at least 2 and a box width of 1 or more");
}

// A sheet assembled from tiles of an image with a margin of 1 and spacing of 2, after the
// see-through tile 0, and the panels drawn on hexagons 8 x 8 with sides of 4 (tiles 8 x 8).
TEST(SheetAssembly, CutsTheTilesAndDrawsEachPanelWhereItBelongs) {
  constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kKey = 0xFF123456;
  Picture source{20, 10, std::vector<uint32_t>(200, 0xFFFFFFFF)};  // white margins and gaps
  for (int y = 1; y < 9; ++y)
    for (int x = 1; x < 9; ++x) {
      source.pixels[y * 20 + x] = kRed;
      source.pixels[y * 20 + x + 10] = kGreen;
    }
  source.pixels[2 * 20 + 12] = kKey;  // the tileset's see-through colour, in the green tile
  SheetPlan plan{8, 8, {}, 3, 4, 5, {8, 8, 4}};
  plan.tiles = {std::nullopt, SheetPiece{"s.png", 0x123456, 11, 1},
                SheetPiece{"s.png", 0x123456, 1, 1}};
  plan.tiles.resize(11);
  auto sheet = assemble_sheet(
      plan, [&source](const std::filesystem::path&) { return Outcome<const Picture*>(&source); });
  ASSERT_TRUE(sheet) << sheet.failure().reason;
  const int columns = sheet_columns(plan);
  const auto at = [&](int tile, double x, double y) {
    return sheet
        ->pixels[static_cast<size_t>((tile / columns * 8 + static_cast<int>(y)) * sheet->width +
                                     tile % columns * 8 + static_cast<int>(x))];
  };
  EXPECT_EQ(std::vector<uint32_t>({at(0, 4, 4), at(1, 0, 0), at(1, 1, 1), at(2, 7, 7)}),
            std::vector<uint32_t>({0, kGreen, 0, kRed}));
  EXPECT_EQ(std::count(sheet->pixels.begin(), sheet->pixels.end(), 0xFFFFFFFF), 0);
  EXPECT_NE(at(3, 4, 4), 0u);  // the solid marker's middle
  EXPECT_NE(at(4, 4, 4), 0u);  // the flood tint, inside the hexagon only
  EXPECT_EQ(at(4, 0, 0), 0u);
  // Wall d paints near the middle of side d, and nothing near the opposite side.
  const double corner[6][2] = {{2, 0}, {6, 0}, {8, 4}, {6, 8}, {2, 8}, {0, 4}};
  for (int d = 0; d < 6; ++d) {
    const auto near_side = [&](int side) {
      const double mx = (corner[side][0] + corner[(side + 1) % 6][0]) / 2;
      const double my = (corner[side][1] + corner[(side + 1) % 6][1]) / 2;
      return std::pair{mx + (4 - mx) / 4, my + (4 - my) / 4};
    };
    const auto [x, y] = near_side(d);
    const auto [ox, oy] = near_side(opposite(d));
    EXPECT_NE(at(5 + d, x, y), 0u) << d;
    EXPECT_EQ(at(5 + d, ox, oy), 0u) << d;
  }
}

// The engine's copy of a tileset image and its stated size: bottom row first, rows of 9 bytes
// padded to 12, BGR; pixels less than half opaque and those of the see-through colour become
// magenta.
TEST(Pictures, BmpSheet) {
  const Picture p{3, 2, {0xFF102030, 0x00405060, 0x80FF00FF, 0xFFABCDEF, 0xFF000000, 0x7F112233}};
  const std::string bmp = encode_bmp_sheet(p, 0xABCDEF);
  EXPECT_EQ(bmp.substr(54), std::string("\xFF\x00\xFF\x00\x00\x00\xFF\x00\xFF\0\0\0"
                                        "\x30\x20\x10\xFF\x00\xFF\xFF\x00\xFF\0\0\0",
                                        24));
  EXPECT_EQ(bmp_size({reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size()})->width, 3);
}

}  // namespace
}  // namespace hexmap::tool
