// Runs the `hexmap` program as a separate process on files written here.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "tools/file_io.hpp"
#include "tools/map_text.hpp"
#include "tools/picture.hpp"

namespace hexmap::tool {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("hexmap_cli_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // 8 tiles of 32 x 40 in 4 columns, magenta around the hexagon; red tells the tiles apart,
    // green and blue the position inside a tile, so that a misplaced tile shows.
    Picture sheet{128, 80, std::vector<uint32_t>(128 * 80)};
    for (uint32_t y = 0; y < 80; ++y)
      for (uint32_t x = 0; x < 128; ++x)
        sheet.pixels[y * 128 + x] = (x % 32 < 4 || y % 40 >= 32)
                                        ? 0xFFFF00FF
                                        : 0xFF000000 | (10 + 30 * (x / 32 + 4 * (y / 40))) << 16 |
                                              (x % 32 * 7) << 8 | (y % 40 * 6);
    ASSERT_EQ(write_file_atomically(dir_ / "sheet.bmp", encode_bmp_sheet(sheet, {})), "");
  }
  void TearDown() override { fs::remove_all(dir_); }

  ToolRun run(const std::string& args) {
    const std::string command =
        "cd '" + dir_.string() + "' && '" HEXMAP_TOOL_PATH "' " + args + " > .out 2> .err";
    ToolRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_file(dir_ / ".out").bytes.value_or("");
    r.err = read_file(dir_ / ".err").bytes.value_or("");
    return r;
  }

  // A 6 x 6 map with ground everywhere, a wall across the edge between (2, 1) and (2, 2) and
  // the cell (5, 5) solid.
  MapDocument six_by_six() const {
    MapDocument m{6, 6, "sheet.bmp", 32, 40, 8, 24, 32, 7, 6, 0, {}};
    m.cells.assign(36, CellDocument{1, 0, 0, 0, 0});
    m.cells[1 * 6 + 2].wall = 1 << 3;
    m.cells[2 * 6 + 2].wall = 1 << 0;
    m.cells[35].solid = -1;
    return m;
  }
  void write_map(const std::string& name, const MapDocument& m) {
    ASSERT_EQ(write_file_atomically(dir_ / name, *format_map_text(m)), "");
  }
  std::string bytes(const std::string& name) { return read_file(dir_ / name).bytes.value_or("?"); }

  fs::path dir_;
};

TEST_F(Cli, UsageErrorsGiveOneLineAndStatusTwo) {
  write_map("m.txt", six_by_six());
  for (const char* args :
       {"", "frobnicate", "check", "check m.txt --verbose", "path m.txt '1;2' 3,4",
        "path m.txt 1,2", "path m.txt 0,0 6,0", "render m.txt", "render m.txt -o x.png --size 0x5",
        "render m.txt -o x.png --flood 1,1", "render m.txt -o x.png --path 0,0:9,9",
        "convert m.txt n.txt", "convert m.txt n.doc"}) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("hexmap: ", 0), 0u) << args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "x.png"));
  for (const char* sub : {"", "check ", "render ", "path ", "convert "}) {
    const ToolRun r = run(std::string(sub) + "--help");
    EXPECT_EQ(r.status, 0) << sub;
    EXPECT_NE(r.out.find("Usage:"), std::string::npos) << sub << r.out;
  }
}

TEST_F(Cli, CheckSummarisesOrNamesTheFirstProblem) {
  write_map("m.txt", six_by_six());
  ToolRun r = run("check m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "m.txt: 6 x 6 cells, 8 tiles of 32 x 40 from sheet.bmp, 2 wall sides, 1 solid cells\n");
  std::string damaged = bytes("m.txt");
  damaged.replace(damaged.find("\"tile height\",40"), 16, "\"tile height\",xx");
  ASSERT_EQ(write_file_atomically(dir_ / "bad.txt", damaged), "");
  r = run("check bad.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("hexmap: bad.txt:7: ", 0), 0u) << r.err;
  fs::remove(dir_ / "sheet.bmp");
  EXPECT_EQ(run("check m.txt").err.rfind("hexmap: m.txt:5: tile sheet", 0), 0u);
  EXPECT_EQ(run("check none.txt").status, 1);
}

TEST_F(Cli, PathPrintsTheSearchResult) {
  write_map("m.txt", six_by_six());
  ToolRun r = run("path m.txt 2,2 2,0");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "found: yes\nlength: 3\nfirst direction: 5\ncells: (2,2) (1,1) (1,0) (2,0)\n");
  // The edge between (2, 1) and (2, 2) is walled on both cells: the way down goes around.
  r = run("path m.txt 2,0 2,2 --json");
  EXPECT_EQ(r.out,
            "{\"found\": true, \"length\": 3, \"first_direction\": 3, \"cells\": "
            "[[2, 0], [2, 1], [1, 1], [2, 2]]}\n");
  r = run("path m.txt 0,0 5,5 --json");  // the end is solid
  EXPECT_EQ(r.out, "{\"found\": false, \"length\": 0, \"first_direction\": -1, \"cells\": []}\n");
}

TEST_F(Cli, ConvertRoundTripsRandomMapsByteForByte) {
  std::mt19937 rng(11);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 12; ++i) {
    MapDocument m{pick(1, 30), pick(1, 30),     "sheet.bmp", 32,          40,          pick(1, 8),
                  pick(8, 40), 2 * pick(4, 20), pick(-9, 9), pick(-9, 9), pick(-9, 9), {}};
    m.cells.resize(static_cast<size_t>(m.width * m.height));
    for (CellDocument& c : m.cells)
      c = {pick(0, m.tile_count - 1), -pick(0, 1), pick(0, 63), 0, 0};
    write_map("a.txt", m);
    ASSERT_EQ(run("convert a.txt a.tmx").status, 0) << run("convert a.txt a.tmx").err;
    const ToolRun r = run("convert a.tmx b.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytes("b.txt"), bytes("a.txt")) << i;
  }
}

TEST_F(Cli, ConvertNeverLeavesAPartialFile) {
  write_map("m.txt", six_by_six());
  EXPECT_EQ(run("convert m.txt missing/m.tmx").status, 1);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  fs::remove(dir_ / "sheet.bmp");  // the export needs the sheet's size
  EXPECT_EQ(run("convert m.txt m.tmx").status, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3);  // m.txt, .out, .err
}

TEST_F(Cli, TiledMapWithAPngSheetGetsABmpCopy) {
  write_map("m.txt", six_by_six());
  ASSERT_EQ(run("convert m.txt m.tmx").status, 0);
  // The same sheet as PNG, as Tiled users have it.
  const std::string bmp = bytes("sheet.bmp");
  Picture png{128, 80, {}};
  for (int y = 79; y >= 0; --y)
    for (int x = 0; x < 128; ++x) {
      const size_t at = 54 + static_cast<size_t>(y) * 384 + 3 * static_cast<size_t>(x);
      png.pixels.push_back(0xFF000000 | uint32_t{uint8_t(bmp[at])} |
                           uint32_t{uint8_t(bmp[at + 1])} << 8 |
                           uint32_t{uint8_t(bmp[at + 2])} << 16);
    }
  ASSERT_EQ(write_file_atomically(dir_ / "sheet.png", *encode_png(png)), "");
  std::string tmx = bytes("m.tmx");
  tmx.replace(tmx.find("sheet.bmp"), 9, "sheet.png");
  ASSERT_EQ(write_file_atomically(dir_ / "p.tmx", tmx), "");
  const ToolRun r = run("convert p.tmx p.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(bytes("p.bmp"), bmp);
  std::string want = bytes("m.txt");
  want.replace(want.find("sheet.bmp"), 9, "p.bmp");
  EXPECT_EQ(bytes("p.txt"), want);
}

TEST_F(Cli, RenderDrawsTheMapPathAndFlood) {
  write_map("m.txt", six_by_six());
  ToolRun r = run("render m.txt -o plain.png");
  ASSERT_EQ(r.status, 0) << r.err;
  auto plain = decode_png(std::span(reinterpret_cast<const uint8_t*>(bytes("plain.png").data()),
                                    bytes("plain.png").size()));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->width, 5 * 24 + 32);        // five column steps and one tile
  EXPECT_EQ(plain->height, 5 * 32 + 40 + 16);  // five rows, one tile, the odd columns' shift
  // The centre of cell (1, 0), in map pixels: one column step, half a box down for the odd
  // column, plus the centre inside the tile; it shows ground tile 1's colour.
  EXPECT_EQ(plain->pixels[static_cast<size_t>((16 + 16) * plain->width + 24 + 16)], 0xFF287060u);
  ASSERT_EQ(
      run("render m.txt -o marked.png --size 200x100 --center 2,2 --path 2,2:2,0 --flood 1,1,1")
          .status,
      0);
  EXPECT_NE(bytes("marked.png"), bytes("plain.png"));
  EXPECT_EQ(run("render m.txt -o missing/x.png").status, 1);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// Tiled's own renderer must put every cell's ground tile where `hexmap render` does: the
// pixel at each cell's centre is the same in both pictures. Walls and solid cells are left
// out, since Tiled paints layer after layer where the engine paints cell after cell.
TEST_F(Cli, TiledDrawsEveryCellWhereTheEngineDoes) {
  if (std::system("command -v tmxrasterizer > /dev/null") != 0)
    GTEST_SKIP() << "tmxrasterizer (Debian package tiled) is not installed: comparison skipped";
#ifdef HEXMAP_DEMO_RUN_DIR
  for (const char* f : {"demo_map.txt", "demo_tiles.bmp"})
    fs::copy_file(fs::path(HEXMAP_DEMO_RUN_DIR) / f, dir_ / f,
                  fs::copy_options::overwrite_existing);
  MapDocument m = *parse_map_text(bytes("demo_map.txt"));
#else
  MapDocument m = six_by_six();
  for (size_t i = 0; i < m.cells.size(); ++i)
    m.cells[i].ground = static_cast<int32_t>(i % 8);
#endif
  for (CellDocument& c : m.cells)
    c.wall = c.solid = 0;
  write_map("g.txt", m);
  ASSERT_EQ(run("convert g.txt g.tmx").status, 0);
  ASSERT_EQ(run("render g.txt -o engine.png").status, 0);
  ASSERT_EQ(std::system(("cd '" + dir_.string() +
                         "' && QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing g.tmx "
                         "tiled.png > /dev/null 2>&1")
                            .c_str()),
            0);
  const auto load = [this](const char* name) {
    const std::string b = bytes(name);
    return *decode_png({reinterpret_cast<const uint8_t*>(b.data()), b.size()});
  };
  const Picture engine = load("engine.png");
  const Picture tiled = load("tiled.png");
  int compared = 0;
  for (int32_t y = 0; y < m.height; ++y)
    for (int32_t x = 0; x < m.width; ++x) {
      // The cell's centre in map pixels; both pictures start at cell (0, 0)'s box.
      const int32_t cx = x * m.box_width + m.tile_width / 2;
      const int32_t cy = y * m.box_height + (x & 1) * (m.box_height / 2) + m.box_height / 2;
      if (cx >= std::min(engine.width, tiled.width) || cy >= std::min(engine.height, tiled.height))
        continue;
      const auto at = [cx, cy](const Picture& p) {
        return p.pixels[static_cast<size_t>(cy * p.width + cx)] & 0xFFFFFF;
      };
      EXPECT_EQ(at(tiled), at(engine)) << "cell (" << x << "," << y << ")";
      ++compared;
    }
  EXPECT_EQ(compared, m.width * m.height);
}

}  // namespace
}  // namespace hexmap::tool
