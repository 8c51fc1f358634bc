// Runs the `hexmap` program as a separate process on files written here; checks how the
// tool writes its files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <pugixml.hpp>

#include <fstream>
#include <map>

#include "tests/tools/text_table.hpp"
#include "tools/file_io.hpp"
#include "tools/map_text.hpp"
#include "tools/output_file.hpp"
#include "tools/picture.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

// A 6 x 6 map with ground tile 1 everywhere, a wall across the edge between (2, 1) and (2, 2)
// and the cell (5, 5) solid.
MapDocument six_by_six(std::string sheet = "sheet.bmp") {
  MapDocument m{6, 6, std::move(sheet), 32, 40, 8, 24, 32, 7, 6, 0, {}, {}};
  m.cells.assign(36, CellDocument{1, 0, 0, 0, 0});
  m.cells[1 * 6 + 2].wall = 1 << 3;
  m.cells[2 * 6 + 2].wall = 1 << 0;
  m.cells[35].solid = -1;
  return m;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("hexmap_cli_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // 8 tiles of 32 x 40 in 4 columns; red tells the tiles apart, green and blue the position
    // inside a tile, so that a misplaced tile shows.
    sheet_ = {128, 80, std::vector<uint32_t>(128 * 80)};
    for (uint32_t i = 0; i < sheet_.pixels.size(); ++i)
      sheet_.pixels[i] = tile_pixel(i % 128 / 32 + i / 128 / 40 * 4, i % 32, i / 128 % 40);
    write("sheet.bmp", encode_bmp_sheet(sheet_, {}));
    write("m.txt", *format_map_text(six_by_six()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs a shell command in the test's folder.
  ToolRun shell(const std::string& command) {
    const int raw =
        std::system(("cd '" + dir_.string() + "' && " + command + " > .out 2> .err").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, bytes(".out"), bytes(".err")};
  }
  ToolRun run(const std::string& args) { return shell("'" HEXMAP_TOOL_PATH "' " + args); }
  // Plainly: the tool's writer refuses the files this process has read.
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream out(dir_ / name, std::ios::binary);
    ASSERT_TRUE(out << bytes);
  }
  std::string bytes(const std::string& name) { return read_file(dir_ / name).bytes.value_or("?"); }
  Picture png(const std::string& name) {  // throws when the file is not a PNG picture
    const std::string b = bytes(name);
    return decode_png({reinterpret_cast<const uint8_t*>(b.data()), b.size()}).value();
  }
  // The sheet's colour at pixel (x, y) of tile `id`, in the tile's pixels.
  static uint32_t tile_pixel(uint32_t id, uint32_t x, uint32_t y) {
    return 0xFF000000 | (10 + 30 * id) << 16 | x * 7 << 8 | y * 6;
  }
  // Copies the demo's map and tile sheet here; false when the build has no demo.
  bool copy_demo() {
    const fs::path demo = HEXMAP_DEMO_RUN_DIR;
    for (const char* f : {"demo_map.txt", "demo_tiles.bmp"})
      if (demo.empty() || !fs::copy_file(demo / f, dir_ / f)) return false;
    return true;
  }

  void copy_corpus() {
    for (const fs::directory_entry& e : fs::directory_iterator(HEXMAP_CORPUS_DIR))
      fs::copy_file(e.path(), dir_ / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  // Both pictures start at cell (0, 0)'s box and show the same colour at the centre of every
  // cell that is not solid.
  static void expect_same_centres(const Picture& tiled, const Picture& engine, const MapDocument& m,
                                  const std::string& what) {
    for (int32_t y = 0; y < m.height; ++y)
      for (int32_t x = 0; x < m.width; ++x) {
        if (m.cells[static_cast<size_t>(y * m.width + x)].solid != 0) continue;
        // The cell's centre in map pixels.
        const int32_t cx = x * m.box_width + m.tile_width / 2;
        const int32_t cy = y * m.box_height + (x & 1) * (m.box_height / 2) + m.box_height / 2;
        ASSERT_TRUE(cx < std::min(engine.width, tiled.width) &&
                    cy < std::min(engine.height, tiled.height))
            << what;
        EXPECT_EQ(tiled.pixels[cy * tiled.width + cx] & 0xFFFFFF,
                  engine.pixels[cy * engine.width + cx] & 0xFFFFFF)
            << what << " cell (" << x << "," << y << ")";
      }
  }

  fs::path dir_;
  Picture sheet_;
};

// Arguments | exit status | first line printed: a result on standard output, or a failure as
// one line on standard error with nothing on standard output. The edge between (2, 1) and
// (2, 2) is walled on both cells: the way down goes around it.
constexpr std::string_view kCommands = R"(
check m.txt|0|m.txt: 6 x 6 cells, 8 tiles of 32 x 40 from sheet.bmp, 2 wall sides, 1 solid cells, every ground costs 1
check c.tmx|0|c.tmx: 6 x 6 cells, 8 tiles of 32 x 40 from sheet.bmp, 2 wall sides, 2 solid cells, ground costs 1:4 6:2
check bad.txt|1|hexmap: bad.txt:7: tile height: 'xx' is not a number
check nosheet.txt|1|hexmap: nosheet.txt:5: tile sheet cannot read ./none.bmp: No such file or directory
check none.txt|1|hexmap: cannot read none.txt: No such file or directory
path m.txt 2,0 2,2 --json|0|{"found": true, "length": 3, "first_direction": 3, "cells": [[2, 0], [2, 1], [1, 1], [2, 2]]}
path m.txt 0,0 5,5 --json|0|{"found": false, "length": 0, "first_direction": -1, "cells": []}
path m.txt 0,0 6,0|2|hexmap: (6,0) is outside the 6 x 6 map
path m.txt '1;2' 3,4|2|hexmap: FROM: '1;2' is not X,Y (see hexmap --help)
path m.txt 1,2 3,4,5|2|hexmap: TO: '3,4,5' is not X,Y (see hexmap --help)
path m.txt 1,2|2|hexmap: TO is required (see hexmap --help)
path m.txt 2,0 2,2 --costs=1=3 --json|0|{"found": true, "length": 3, "cost": 9, "cells": [[2, 0], [3, 0], [3, 1], [2, 2]]}
path c.tmx 0,0 3,0 --json --costs|0|{"found": true, "length": 3, "cost": 12, "cells": [[0, 0], [1, 0], [2, 1], [3, 0]]}
path m.txt 0,0 5,5 --costs|0|found: no
path m.txt 0,0 1,1 --costs=1=1000001|2|hexmap: --costs: '1=1000001' is not GROUND=COST,... (see hexmap --help)
range m.txt 2,2 1 --json|0|{"from": [2, 2], "budget": 1, "cells": [[1, 1, 1], [3, 1, 1], [1, 2, 1], [2, 2, 0], [3, 2, 1], [2, 3, 1]]}
range c.tmx 0,0 8|0|7 cells within 8 of (0,0), each with its cost:
range m.txt 2,2 -1|2|hexmap: BUDGET: '-1' is not a number, 0 or more (see hexmap --help)
range m.txt 9,9 3|2|hexmap: (9,9) is outside the 6 x 6 map
range g.txt 1,1 2|1|hexmap: g.txt: ground 70000 is beyond the cost table (grounds 1 to 65535)
render m.txt -o x.png --range 1,1|2|hexmap: --range: '1,1' is not X,Y,BUDGET (see hexmap --help)
sight m.txt 2,1 1 --json|0|{"viewer": [2, 1], "radius": 1, "cells": [[1, 0], [2, 0], [3, 0], [1, 1], [2, 1], [3, 1]]}
sight m.txt 2,1 9|0|seen: 24 cells
sight m.txt 6,0 1|2|hexmap: (6,0) is outside the 6 x 6 map
sight m.txt 1,1 -1|2|hexmap: RADIUS: '-1' is not a number, 0 or more (see hexmap --help)
frobnicate|2|hexmap: A subcommand is required (see hexmap --help)
check m.txt --verbose|2|hexmap: The following argument was not expected: --verbose (see hexmap --help)
render m.txt -o x.png --size 0x5|2|hexmap: --size: '0x5' is not WxH (see hexmap --help)
render m.txt -o x.png --flood 1,1,-1|2|hexmap: --flood: '1,1,-1' is not X,Y,STEPS (see hexmap --help)
render m.txt -o x.png --path 0,0:9,9|2|hexmap: (9,9) is outside the 6 x 6 map
render m.txt -o x.png --sight 1,1|2|hexmap: --sight: '1,1' is not X,Y,R (see hexmap --help)
render m.txt -o missing/x.png|1|hexmap: cannot write missing/x.png: No such file or directory
convert m.txt n.doc|2|hexmap: convert needs one map file (.txt) and one Tiled map (.tmx, .tmj or .json), got m.txt and n.doc
convert m.txt n.txt|2|hexmap: convert needs one map file (.txt) and one Tiled map (.tmx, .tmj or .json), got m.txt and n.txt
convert c.dat n.tmj|2|hexmap: convert needs one map file (.txt) and one Tiled map (.tmx, .tmj or .json), got c.dat and n.tmj
check c.dat|0|c.dat: 6 x 6 cells, 8 tiles of 32 x 40 from sheet.bmp, 2 wall sides, 2 solid cells, ground costs 1:4 6:2
check m.tmj|0|m.tmj: 6 x 6 cells, 8 tiles of 32 x 40 from sheet.bmp, 2 wall sides, 1 solid cells, every ground costs 1
check sheet.bmp|1|hexmap: sheet.bmp is a BMP picture, not a map
check /bin/ls|1|hexmap: /bin/ls is not a map file (binary data)
check notes.md|1|hexmap: notes.md is not a map: a map file starts with '- map property -', a Tiled map is XML or JSON
convert m.txt missing/m.tmx|1|hexmap: cannot write missing/m.tmx: No such file or directory
render --help|0|Draw a map into a PNG picture
)";

TEST_F(Cli, CommandsGiveTheirStatusAndFirstLine) {
  std::string damaged = bytes("m.txt");
  write("bad.txt", damaged.replace(damaged.find("\"tile height\",40"), 16, "\"tile height\",xx"));
  write("nosheet.txt", *format_map_text(six_by_six("none.bmp")));
  MapDocument huge_ground = six_by_six();
  huge_ground.cells[0].ground = 70000;
  write("g.txt", *format_map_text(huge_ground));
  ASSERT_EQ(run("convert m.txt c.tmx").status, 0);
  std::string costs = bytes("c.tmx");
  write(
      "c.tmx",
      costs.replace(
          costs.find(" </tileset>"), 0,
          R"(  <tile id="0"><properties><property name="solid" type="bool" value="true"/></properties></tile>
  <tile id="1"><properties><property name="cost" type="int" value="4"/></properties></tile>
  <tile id="6"><properties><property name="cost" type="int" value="2"/></properties></tile>
)"));
  write("c.dat", bytes("c.tmx"));  // a Tiled map by its content
  write("notes.md", "# Notes\n");
  ASSERT_EQ(run("convert m.txt m.tmj").status, 0);
  for (const auto& row : text_table(kCommands)) {
    const ToolRun r = run(row[0]);
    EXPECT_EQ(r.status, std::stoi(row[1])) << row[0];
    if (row[1] == "0")
      EXPECT_EQ(r.out.substr(0, r.out.find('\n')), row[2]) << row[0];
    else
      EXPECT_EQ(std::pair(r.out, r.err), std::pair(std::string(), row[2] + "\n")) << row[0];
  }
  // Failed commands leave nothing behind: the seven maps, the notes, the sheet and the output.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 11);
}

// A map file turned into a Tiled map (TMX or JSON) and back comes back byte for byte. Tiled users
// have PNG tilesets: the map file then gets a BMP copy of the sheet, named after it.
TEST_F(Cli, ConvertRoundTripsByteForByte) {
  std::vector<std::string> maps = {"m.txt"};
  if (copy_demo()) maps.push_back("demo_map.txt");
  for (const std::string& map : maps)
    for (const std::string tiled : {"rt.tmx", "rt.tmj"}) {
      ASSERT_EQ(run("convert " + map + " " + tiled).status, 0) << map;
      ASSERT_EQ(run("convert " + tiled + " rt.txt").status, 0) << map;
      EXPECT_EQ(bytes("rt.txt"), bytes(map)) << map << " through " << tiled;
    }
  write("sheet.png", *encode_png(sheet_));
  ASSERT_EQ(run("convert m.txt m.tmx").status, 0);
  std::string tmx = bytes("m.tmx");
  tmx.replace(tmx.find("sheet.bmp"), 9, "sheet.png");
  write("p.tmx", tmx.replace(tmx.find("ff00ff"), 6, "0a0000"));  // see-through: tile 0's (0, 0)
  ASSERT_EQ(run("convert p.tmx p.txt").status, 0);
  EXPECT_EQ(bytes("p.bmp"), encode_bmp_sheet(sheet_, 0x0A0000));
  std::string want = bytes("m.txt");
  EXPECT_EQ(bytes("p.txt"), want.replace(want.find("sheet.bmp"), 9, "p.bmp"));
}

// The whole map's picture size shows in the guide's pictures, its tiles' places in the
// comparison with Tiled below.
TEST_F(Cli, RenderCentresTheCellAndDrawsPathFloodAndSight) {
  const std::string part = "render m.txt --size 200x100 --center 1,1 -o ";
  ASSERT_EQ(run(part + "part.png").status, 0);
  const Picture plain = png("part.png");
  EXPECT_EQ(plain.pixels[50 * 200 + 100], tile_pixel(1, 17, 17));  // the middle: cell (1, 1)
  for (const char* shown : {" --path 2,2:2,0", " --flood 2,2,1", " --range 2,2,1"}) {
    ASSERT_EQ(run(part + "more.png" + shown).status, 0);
    EXPECT_NE(png("more.png").pixels, plain.pixels) << shown;
  }
  // A flood of zero steps shades its cell alone; one step reaches (1, 0) above it too.
  constexpr size_t kMiddle = 50 * 200 + 100, kAbove = 18 * 200 + 100;
  for (const int steps : {0, 1}) {
    ASSERT_EQ(run(part + "more.png --flood 1,1," + std::to_string(steps)).status, 0);
    const Picture flood = png("more.png");
    EXPECT_EQ(std::pair(flood.pixels[kMiddle] != plain.pixels[kMiddle],
                        flood.pixels[kAbove] != plain.pixels[kAbove]),
              std::pair(true, steps == 1))
        << steps << " steps";
  }
  // Cell (1, 1) is seen from its neighbour (2, 2), not from (5, 5): then it is a quarter as bright.
  for (const char* viewer : {"2,2", "5,5"}) {
    ASSERT_EQ(run(part + "sight.png --sight " + viewer + ",1").status, 0);
    const uint32_t middle = plain.pixels[kMiddle];
    EXPECT_EQ(png("sight.png").pixels[kMiddle],
              viewer[0] == '2' ? middle : (middle & 0xFF000000) | (middle >> 2 & 0x3F3F3F));
  }
}

// Several files are written all or none, whether a temporary file cannot be written (no
// folder) or cannot replace its target (a folder): m.txt keeps its bytes, n.txt never appears.
TEST_F(Cli, AtomicWritesLeaveNoPartialFile) {
  fs::create_directory(dir_ / "d");
  for (const char* last : {"missing/b", "d"}) {
    EXPECT_NE(
        write_files_atomically({{dir_ / "m.txt", "new"}, {dir_ / "n.txt", ""}, {dir_ / last, ""}}),
        "");
    EXPECT_EQ(bytes("m.txt"), *format_map_text(six_by_six())) << last;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3) << last;  // m.txt, sheet.bmp, d
  }
}

// Outputs go through symbolic links to the file they name; what must not be replaced is
// refused with the old file kept: a device, a pipe, a folder, an input of the command (also
// through a link), an extension the command cannot write, a sheet hexmap did not write.
constexpr std::string_view kOutputs = R"(
render m.txt -o link.png|0|
render m.txt -o loose.png|0|
render m.txt -o full.png|1|hexmap: cannot write full.png: it is a device, not a regular file
render m.txt -o pipe.png|1|hexmap: cannot write pipe.png: it is a pipe, not a regular file
render m.txt -o dir.png|1|hexmap: cannot write dir.png: it is a folder, not a regular file
render m.txt -o loop.png|1|hexmap: cannot write loop.png: Too many levels of symbolic links
render m.txt -o map.png|1|hexmap: cannot write map.png: it is an input of this command
render p.tmx -o sheet.png|1|hexmap: cannot write sheet.png: it is an input of this command
render m.txt -o m.txt|2|hexmap: cannot write m.txt: render writes .png or .bmp pictures, or PNG to standard output with -o -
render m.txt -o pic.jpg|2|hexmap: cannot write pic.jpg: render writes .png or .bmp pictures, or PNG to standard output with -o -
convert p.tmx art.txt|1|hexmap: cannot write art.bmp: it is a picture hexmap did not write (--force replaces it)
convert p.tmx art.txt --force|0|
)";

TEST_F(Cli, OutputsWriteThroughLinksAndRefuseWhatTheyMustNotReplace) {
  write("sheet.png", *encode_png(sheet_));
  ASSERT_EQ(run("convert m.txt m.tmx").status, 0);
  std::string tmx = bytes("m.tmx");
  write("p.tmx", tmx.replace(tmx.find("sheet.bmp"), 9, "sheet.png"));
  write("real.png", "old");
  write("art.bmp", "drawn by hand");
  // The device is made here where the test may (as root): a fault must not replace the system's.
  ASSERT_EQ(shell("ln -s real.png link.png && ln -s sub/new.png loose.png && mkdir sub dir.png &&"
                  " { mknod full.png c 1 7 || ln -s /dev/full full.png; } && mkfifo pipe.png && ln "
                  "-s loop.png loop.png &&"
                  " ln m.txt map.png")
                .status,
            0);
  const std::string map = bytes("m.txt");
  for (const auto& row : text_table(kOutputs)) {
    const ToolRun r = run(row[0]);
    EXPECT_EQ(r.status, std::stoi(row[1])) << row[0];
    EXPECT_EQ(r.err, row.size() > 2 ? row[2] + "\n" : "") << row[0];
    if (row[1] == "1" && row[0].starts_with("convert")) {
      EXPECT_EQ(bytes("art.bmp"), "drawn by hand");
    }
  }
  EXPECT_EQ(png("real.png").width, png("sub/new.png").width);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.png") && fs::is_character_file(dir_ / "full.png") &&
              fs::is_fifo(dir_ / "pipe.png"));
  EXPECT_EQ(bytes("m.txt"), map);
  // A sheet hexmap wrote is replaced without --force, though its tiles changed.
  sheet_.pixels[0] = 0xFF123456;
  write("sheet.png", *encode_png(sheet_));
  EXPECT_EQ(run("convert p.tmx art.txt").status, 0);
  EXPECT_TRUE(bytes("art.bmp") == encode_bmp_sheet(sheet_, {}));
  // The format follows the extension; "-" is PNG on standard output.
  ASSERT_EQ(run("render m.txt --size 40x30 -o pic.bmp").status, 0);
  const ToolRun piped = run("render m.txt --size 40x30 -o -");
  const Picture from_png =
      decode_png({reinterpret_cast<const uint8_t*>(piped.out.data()), piped.out.size()}).value();
  EXPECT_TRUE(encode_bmp(from_png) == bytes("pic.bmp"));
}

// Tiled's own renderer must put every cell's ground tile where `hexmap render` does: the
// pixel at each cell's centre is the same in both pictures. Walls and solid cells are left
// out, since Tiled paints layer after layer where the engine paints cell after cell.
TEST_F(Cli, TiledDrawsEveryCellWhereTheEngineDoes) {
  if (shell("command -v tmxrasterizer").status != 0)
    GTEST_SKIP() << "tmxrasterizer (Debian package tiled) is not installed: comparison skipped";
  if (!copy_demo()) GTEST_SKIP() << "the build has no demo map: comparison skipped";
  MapDocument m = *parse_map_text(bytes("demo_map.txt"));
  for (CellDocument& c : m.cells)
    c.wall = c.solid = 0;
  write("g.txt", *format_map_text(m));
  ASSERT_EQ(run("convert g.txt g.tmx").status, 0);
  ASSERT_EQ(run("render g.txt -o engine.png").status, 0);
  ASSERT_EQ(shell("QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing g.tmx t.png").status, 0);
  expect_same_centres(png("t.png"), png("engine.png"), m, "g.tmx");
}

// Tiled reads the JSON export as it reads the TMX export: its CSV export of every layer is the
// same from both, and the ground layer holds the map's ground ids (Tiled writes gid - 1).
TEST_F(Cli, TiledExportsTheSameLayersFromTheJsonAndTheTmxExport) {
  if (shell("command -v tiled").status != 0)
    GTEST_SKIP() << "tiled (Debian package tiled) is not installed: comparison skipped";
  MapDocument m = six_by_six();
  for (size_t i = 0; i < m.cells.size(); ++i)
    m.cells[i].ground = static_cast<int32_t>(i % 8);
  write("g.txt", *format_map_text(m));
  ASSERT_EQ(run("convert g.txt g.tmx").status, 0);
  ASSERT_EQ(run("convert g.txt g.tmj").status, 0);
  for (const char* form : {"tmx", "tmj"})
    ASSERT_EQ(shell(std::string("QT_QPA_PLATFORM=offscreen tiled --export-map csv g.") + form +
                    " " + form + ".csv")
                  .status,
              0);
  std::string ground;
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x)
      ground += std::to_string((y * 6 + x) % 8) + (x < 5 ? "," : "\n");
  EXPECT_EQ(bytes("tmx_ground.csv"), ground);
  for (const std::string layer : {"ground", "wall up", "wall down", "solid", "overlay", "prop"})
    EXPECT_EQ(bytes("tmj_" + layer + ".csv"), bytes("tmx_" + layer + ".csv")) << layer;
}

// Maps saved by Tiled 1.8 itself, each in TMX and JSON: map | the ground layer's name in
// Tiled | what `check` says after the map's name.
constexpr std::string_view kCorpus = R"(
odd_size|Tile Layer 1|5 x 4 cells, 13 tiles of 48 x 41 from 1 tileset image, 0 wall sides, 0 solid cells, every ground costs 1
layers|Ground|5 x 4 cells, 13 tiles of 48 x 41 from 1 tileset image, 2 wall sides, 2 solid cells, every ground costs 1
tilesets|ground|5 x 4 cells, 19 tiles of 48 x 41 from 4 tileset images, 0 wall sides, 2 solid cells, ground costs 6:2 9:3
tall|Tile Layer 1|5 x 4 cells, 12 tiles of 48 x 56 from 1 tileset image, 0 wall sides, 0 solid cells, every ground costs 1
infinite|Tile Layer 1|32 x 16 cells, 13 tiles of 48 x 41 from 1 tileset image, 0 wall sides, 0 solid cells, every ground costs 1
)";
// What each map loses, in order: map | line in the TMX | path in the JSON | the warning.
constexpr std::string_view kCorpusWarnings = R"(
layers|11|layers[0]|layer 'Backdrop' is skipped: hexmap draws one ground layer (its tiles marked solid still make cells solid)
layers|28|layers[1].layers[1]|layer 'Decor' is skipped: hexmap draws one ground layer (its tiles marked solid still make cells solid)
layers|37|layers[2]|layer 'Old Ground' is skipped: it is hidden
layers|45|layers[3]|layer 'Sky' is skipped: image layers hold no cells
layers|57|layers[5].layers[0]|layer 'ground' is skipped: it is hidden
layers|66|layers[6]|layer 'Spawns' is skipped: object layers hold no cells
tall|3|tilesets[0]|tileset 'trees' draws tiles 56 pixels high on hexagons 40 high: hexmap's picture shows them moved by (0,16) pixels against Tiled's
infinite|2|(root)|the infinite map is read over its chunks: 32 x 16 cells from Tiled's cell (-16,0), which becomes cell (0,0)
)";

TEST_F(Cli, CorpusMapsOpenWithOneWarningPerThingLeftOut) {
  copy_corpus();
  for (const auto& map : text_table(kCorpus))
    for (const std::string ext : {".tmx", ".tmj"}) {
      const std::string file = map[0] + ext;
      std::string warnings;
      for (const auto& w : text_table(kCorpusWarnings))
        if (w[0] == map[0])
          warnings += "hexmap: warning: " + file + (ext == ".tmx" ? ":" + w[1] : ": " + w[2]) +
                      ": " + w[3] + "\n";
      const ToolRun r = run("check " + file);
      EXPECT_EQ(r.status, 0) << file;
      EXPECT_EQ(r.out, file + ": " + map[2] + "\n");
      EXPECT_EQ(r.err, warnings);
    }
}

// Tiled's picture of each corpus map's ground layer alone and hexmap's picture of the map show
// the same tile at the centre of every cell that is not solid (hexmap marks those).
TEST_F(Cli, TiledDrawsEveryCorpusMapsGroundWhereTheEngineDoes) {
  if (shell("command -v tmxrasterizer").status != 0)
    GTEST_SKIP() << "tmxrasterizer (Debian package tiled) is not installed: comparison skipped";
  copy_corpus();
  const TmxSources sources{
      [](const fs::path& p) { return read_file(p).bytes; },
      [](const fs::path& p) -> std::optional<ImageSize> {
        const std::string b = read_file(p).bytes.value_or("");
        return image_file_size({reinterpret_cast<const uint8_t*>(b.data()), b.size()});
      }};
  for (const auto& map : text_table(kCorpus))
    for (const std::string ext : {".tmx", ".tmj"}) {
      const std::string file = map[0] + ext;
      auto read = ext == ".tmx" ? read_tmx(bytes(file), dir_, sources)
                                : read_tiled_json(bytes(file), dir_, sources);
      ASSERT_TRUE(read) << file << ": " << read.failure().reason;
      ASSERT_EQ(run("render " + file + " -o engine.png").status, 0) << file;
      ASSERT_EQ(shell("QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing --show-layer '" +
                      map[1] + "' " + file + " t.png")
                    .status,
                0);
      expect_same_centres(png("t.png"), png("engine.png"), read->map, file);
    }
}

// An exported map as Tiled shows it, layer by layer: each wall side's layer paints that side's
// panel on the one cell walled on that side and nothing elsewhere, the solid layer paints the
// solid panel, and the map's properties show the panels. Layer names are Tiled users'.
TEST_F(Cli, TiledShowsEachWallSideSolidAndPanelsOnTheirOwnLayers) {
  if (shell("command -v tmxrasterizer").status != 0)
    GTEST_SKIP() << "tmxrasterizer (Debian package tiled) is not installed: comparison skipped";
  MapDocument m = six_by_six();
  m.first_wall_panel = 1;  // panels 1 to 6 for the sides, 7 solid, 6 flood
  for (CellDocument& c : m.cells)
    c.wall = 0;
  for (int side = 0; side < 6; ++side)
    m.cells[3 * 6 + side].wall = 1 << side;  // row 3, column `side`
  write("w.txt", *format_map_text(m));
  ASSERT_EQ(run("convert w.txt w.tmx").status, 0);
  // The tile Tiled shows at a cell's centre: its id from the sheet's red, -1 for none.
  const auto tile_at = [&m](const Picture& p, int32_t x, int32_t y) {
    const int32_t cx = x * m.box_width + m.tile_width / 2;
    const int32_t cy = y * m.box_height + (x & 1) * (m.box_height / 2) + m.box_height / 2;
    const uint32_t px = p.pixels[static_cast<size_t>(cy) * p.width + cx];
    return (px >> 24) == 0 ? -1 : static_cast<int>((px >> 16 & 0xFF) - 10) / 30;
  };
  const std::string layers[] = {"wall up",   "wall up-right",  "wall down-right",
                                "wall down", "wall down-left", "wall up-left",
                                "solid"};
  for (int i = 0; i < 7; ++i) {
    const std::string draw = "QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing";
    ASSERT_EQ(shell(draw + " --show-layer '" + layers[i] + "' w.tmx layer.png").status, 0);
    const Picture shown = png("layer.png");
    // Layer i shows tile i + 1 on its own cell alone: column i of row 3, or (5, 5) if solid.
    std::vector<int> got, want(6, -1);
    want[std::min(i, 5)] = i + 1;
    for (int32_t x = 0; x < 6; ++x)
      got.push_back(tile_at(shown, x, i < 6 ? 3 : 5));
    EXPECT_EQ(got, want) << layers[i];
  }
  pugi::xml_document tmx;
  ASSERT_TRUE(tmx.load_string(bytes("w.tmx").c_str()));
  std::map<std::string, int> properties;
  for (const pugi::xml_node p : tmx.child("map").child("properties").children("property"))
    properties[p.attribute("name").value()] = p.attribute("value").as_int();
  EXPECT_EQ(properties, (std::map<std::string, int>{
                            {"first wall panel", 1}, {"flood panel", 6}, {"solid panel", 7}}));
}

}  // namespace
}  // namespace hexmap::tool
