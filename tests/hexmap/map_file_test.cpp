// SAVE_MAP and LOAD_MAP on files the tests write: exact bytes and log lines, refusals that
// leave file and map as they were, and saves cut short by a full disk or a kill.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"
#include "map_file_example.hpp"
#include "screen_map.hpp"

namespace hexmap {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::kExample;
using testing::LogCapture;

const Lines kSaveDone = {": < saving map >", ":   saving header part",
                         ":   saving map cell part. (ground, solid flag, wall bit-field)",
                         ": < saving map. done >"};

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The example's header values, set as a loaded sheet and the setters would leave them.
void set_example_header(HEXAGON_MAP& map) {
  map.TILE_FILENAME = "tiles.bmp";
  map.TILE_WIDTH = 64;
  map.TILE_HEIGHT = 48;
  map.TILE_COUNT = 20;
  map.BOX_WIDTH = 48;
  map.BOX_HEIGHT = 32;
  map.SOLID_PANEL = 19;
  map.FLOOD_PANEL = 18;
  map.WALL_PANEL = {10, 11, 12, 13, 14, 15};
}

void make_example(HEXAGON_MAP& map) {
  map.LOG_OFF();
  map.CREATE_MAP(2, 1);
  set_example_header(map);
  map.SET_ID_GROUND(0, 0, 1);
  map.SET_ID_OVERLAY(0, 0, 7);  // not part of the file
  map.SET_ID_GROUND(1, 0, 3);
  map.ASTAR_CELLSETSOLID(1, 0, -1);
  map.SET_ID_WALL(1, 0, 5);
  map.LOG_ON();
}

// A map whose file takes megabytes, so that a save takes a while.
void make_big(HEXAGON_MAP& map) {
  constexpr int32_t kSide = 500;
  map.LOG_OFF();
  map.CREATE_MAP(kSide, kSide);
  set_example_header(map);
  for (int32_t i = 0; i < map.CELL_COUNT; ++i)
    map.SET_ID_GROUND(i % kSide, i / kSide, i);
  map.LOG_ON();
}

class MapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("hexmap_map_file_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path path(const std::string& name) const { return dir_ / name; }
  // Names in the folder, to see that no temporary file is left behind.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir_))
      out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

  fs::path dir_;
};

TEST_F(MapFile, SaveWritesTheExampleByteForByte) {
  HEXAGON_MAP map;
  make_example(map);
  write_file(path("map.txt"), "an older map");
  LogCapture capture;
  map.SAVE_MAP(path("map.txt").string());
  EXPECT_EQ(capture.lines(), kSaveDone);
  EXPECT_EQ(read_file(path("map.txt")), kExample);
  EXPECT_EQ(names(), Lines{"map.txt"});
}

TEST_F(MapFile, RefusedSavesLeaveTheOldFile) {
  struct Case {
    const char* what;
    std::string target;
    std::string tile_filename;
    Lines reason;  // the log lines between the first and the last
  };
  fs::create_directory(path("folder"));
  const std::vector<Case> cases = {
      {"no tile sheet loaded", "map.txt", "", {":   incomplete map format found"}},
      {"a quote in the sheet name",
       "map.txt",
       "a\"b.bmp",
       {":   tile file name can not be written: it holds a double quote"}},
      {"a folder in the way",
       "folder",
       "tiles.bmp",
       {":   saving header part", ":   saving map cell part. (ground, solid flag, wall bit-field)",
        ":   can not replace '" + path("folder").string() + "': Is a directory"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(path("map.txt"), "an older map");
    HEXAGON_MAP map;
    make_example(map);
    map.TILE_FILENAME = c.tile_filename;
    LogCapture capture;
    map.SAVE_MAP(path(c.target).string());
    Lines expected = {": < saving map >"};
    expected.insert(expected.end(), c.reason.begin(), c.reason.end());
    expected.push_back(": < saving map. aborted >");
    EXPECT_EQ(capture.lines(), expected);
    EXPECT_EQ(read_file(path("map.txt")), "an older map");
    EXPECT_EQ(names(), (Lines{"folder", "map.txt"}));
  }

  HEXAGON_MAP map;
  make_example(map);
  LogCapture capture;
  map.SAVE_MAP(path("missing/map.txt").string());
  const Lines lines = capture.lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].rfind(":   can not create '" + path("missing/map.txt.tmp-").string(), 0), 0u)
      << lines[1];
  EXPECT_FALSE(fs::exists(path("missing")));
}

// Runs `save` in a child process; returns its wait status.
template <typename Save>
int in_child(Save save) {
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child == 0) {
    save();
    std::fflush(stdout);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST_F(MapFile, SaveOnAFullDiskLeavesTheOldFile) {
  HEXAGON_MAP map;
  make_big(map);
  write_file(path("map.txt"), kExample);
  LogCapture capture;
  // The file size limit stands in for a full disk: writes beyond it fail with EFBIG.
  const int status = in_child([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    constexpr rlim_t kLimit = 100'000;
    const rlimit limit{kLimit, kLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    map.SAVE_MAP(path("map.txt").string());
  });
  ASSERT_TRUE(WIFEXITED(status));
  const Lines lines = capture.lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3].rfind(":   can not write '" + path("map.txt.tmp-").string(), 0), 0u);
  EXPECT_NE(lines[3].find("': File too large"), std::string::npos) << lines[3];
  EXPECT_EQ(lines[4], ": < saving map. aborted >");
  EXPECT_EQ(read_file(path("map.txt")), kExample);
  EXPECT_EQ(names(), Lines{"map.txt"});
}

TEST_F(MapFile, KilledSaveLeavesTheOldFileOrTheNewOneWhole) {
  HEXAGON_MAP map;
  make_big(map);
  map.LOG_OFF();
  map.SAVE_MAP(path("expected.txt").string());
  const std::string new_bytes = read_file(path("expected.txt"));
  ASSERT_GT(new_bytes.size(), 8'000'000u);

  for (const int delay_ms : {0, 1, 3, 10, 30}) {
    SCOPED_TRACE(delay_ms);
    write_file(path("map.txt"), kExample);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
      map.SAVE_MAP(path("map.txt").string());
      ::_exit(0);
    }
    // Waits for the save to begin writing, then gives it `delay_ms` more.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto writing = [&] {
      for (const std::string& name : names())
        if (name.starts_with("map.txt.tmp-")) return true;
      return read_file(path("map.txt")) != kExample;
    };
    while (!writing() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    const std::string after = read_file(path("map.txt"));
    EXPECT_TRUE(after == kExample || after == new_bytes) << after.size() << " bytes";
    for (const std::string& name : names())
      if (name.starts_with("map.txt.tmp-")) fs::remove(path(name));
  }
}

// Loads the example without a screen: the grid, the wall panels and the cells, in the
// documented order of log lines; tiles, overlap and the other panels are bypassed.
bool loads_without_screen() {
  const fs::path file =
      fs::temp_directory_path() / ("hexmap_map_no_screen_" + std::to_string(::getpid()) + ".txt");
  write_file(file, kExample);
  HEXAGON_MAP map;
  map.SET_ID_OVERLAY(0, 0, 4);
  LogCapture capture;
  map.LOAD_MAP(file.string());
  const Lines lines = capture.lines();
  fs::remove(file);
  const Lines expected = {": < loading map >",
                          ":   saved file found",
                          ": - CREATE MAP is called -",
                          ":   resize map (1 x 1) to (2 x 1)",
                          ": - LOAD TILES is called -",
                          ": - load tile graphic - BYPASSED -",
                          ": - set wall panel",
                          ":   set wall 0 with 10",
                          ":   set wall 1 with 11",
                          ":   set wall 2 with 12",
                          ":   set wall 3 with 13",
                          ":   set wall 4 with 14",
                          ":   set wall 5 with 15",
                          ":   loading map cell blocks'ground, solid flag, wall bit-field'",
                          ": < loading map. done >"};
  const MAP_CELL a = map.GET_ID(0, 0);
  const MAP_CELL b = map.GET_ID(1, 0);
  return lines == expected && map.CELL_COUNT == 2 && a.ID_GROUND == 1 && a.ID_OVERLAY == 0 &&
         b.ID_GROUND == 3 && b.SOLID == -1 && b.ID_WALL == 5 && b.POSITION == VECTOR2D(1, 0) &&
         map.TILE_COUNT == -1 && map.SOLID_PANEL == 0;
}

// Runs in a freshly started copy of the test program, so no screen is open yet.
TEST(MapFileWithoutScreen, LoadsTheGridTheWallPanelsAndTheCells) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(loads_without_screen() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

// Maps loaded with a screen, from the example with its sheet in the scratch folder.
class MapLoad : public testing::ScreenMap {
 protected:
  std::string example_file() {
    sheet(320, 192, "tiles.bmp");  // 5 x 4 tiles of 64 x 48
    return replaced(std::string(kExample), "tiles.bmp", path("tiles.bmp"));
  }
};

// The lines that open an operation, in the order the operations ran.
Lines openings(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines)
    if (line.starts_with(": - ") || line.starts_with(": <")) out.push_back(line);
  return out;
}

TEST_F(MapLoad, LoadThenSaveGivesTheSameBytes) {
  const std::string text = example_file();
  write_file(path("map.txt"), text);
  map_.LOG_ON();
  LogCapture capture;
  map_.LOAD_MAP(path("map.txt"));
  EXPECT_EQ(openings(capture.lines()),
            (Lines{": < loading map >", ": - CREATE MAP is called -", ": - LOAD TILES is called -",
                   ": - SET CLIP area (0,0)-(639,399)", ": - SET OVERLAP SIZE is called -",
                   ": - set solid panel to 19", ": - set floodmap panel to 18",
                   ": - set wall panel", ": < loading map. done >"}));
  map_.LOG_OFF();
  map_.SAVE_MAP(path("again.txt"));
  EXPECT_EQ(read_file(path("again.txt")), text);
  map_.LOAD_MAP(path("map.txt"));
  EXPECT_EQ(map_.LOG_ENABLED, -1);
}

// Everything a load may change, as text.
std::string state(const HEXAGON_MAP& m) {
  std::string out = std::to_string(m.MAP_WIDTH) + "x" + std::to_string(m.MAP_HEIGHT) + " " +
                    std::to_string(m.CELL_COUNT) + " " + m.TILE_FILENAME + " " +
                    std::to_string(m.TILE_COUNT) + " " + std::to_string(m.TILE_WIDTH) + " " +
                    std::to_string(m.BOX_WIDTH) + " " + std::to_string(m.BOX_HEIGHT) + " " +
                    std::to_string(m.SOLID_PANEL) + " " + std::to_string(m.FLOOD_PANEL) + " " +
                    std::to_string(m.WALL_PANEL[0]) + " " + std::to_string(m.LOG_ENABLED) + ":";
  for (const MAP_CELL& c : m.CELLS)
    out += " " + std::to_string(c.ID_GROUND) + "/" + std::to_string(c.SOLID) + "/" +
           std::to_string(c.ID_WALL) + "/" + std::to_string(c.ID_OVERLAY);
  return out;
}

TEST_F(MapLoad, BadFilesChangeNeitherMapNorFile) {
  const std::string good = example_file();
  write_file(path("map.txt"), good);
  map_.LOAD_MAP(path("map.txt"));
  map_.SET_ID_OVERLAY(1, 0, 6);
  const std::string before = state(map_);
  write_file(path("empty.txt"), "");
  fs::create_directory(path("folder.txt"));
  const std::string found = ":   saved file found";
  struct Case {
    std::string file;
    std::string text;  // written to `file` unless empty
    Lines reason;
  };
  const std::vector<Case> cases = {
      {"missing.txt", "", {":   saved file NOT found"}},
      {"empty.txt", "", {":   saved file NOT found"}},
      {"folder.txt", "", {":   saved file '" + path("folder.txt") + "' is not a regular file"}},
      {"short.txt",
       good.substr(0, good.rfind(" 3 ")),
       {found, ":   line 21: the file ends before ground of cell (1, 0)"}},
      {"text.txt",
       replaced(good, "\"map width\",2", "\"map width\",two"),
       {found, ":   line 2: map width: 'two' is not a number"}},
      {"narrow.txt",
       replaced(good, "\"map width\",2", "\"map width\",0"),
       {found, ":   line 2: map size 0 x 0: the width is below 1"}},
      {"huge.txt",
       replaced(good, "\"map_height\",1", "\"map_height\",1073741824"),
       {found, ":   line 3: map size 2 x 1073741824: more than " + std::to_string(kMaxCellCount) +
                   " cells"}},
      {"nosheet.txt",
       replaced(good, "tiles.bmp", "missing.bmp"),
       {found, ":   tile sheet '" + path("missing.bmp") + "' refused: file not found"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!c.text.empty()) write_file(path(c.file), c.text);
    map_.LOG_ON();
    LogCapture capture;
    map_.LOAD_MAP(path(c.file));
    Lines expected = {": < loading map >"};
    expected.insert(expected.end(), c.reason.begin(), c.reason.end());
    expected.push_back(": < loading map. aborted >");
    EXPECT_EQ(capture.lines(), expected);
    EXPECT_EQ(state(map_), before);
    if (!c.text.empty()) {
      EXPECT_EQ(read_file(path(c.file)), c.text);
    }
  }
  EXPECT_FALSE(fs::exists(path("missing.txt")));
  EXPECT_TRUE(fs::exists(path("empty.txt")));
  EXPECT_EQ(fs::file_size(path("empty.txt")), 0u);
}

}  // namespace
}  // namespace hexmap
