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

namespace hexmap::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void write_file(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The example's values as a loaded sheet and the setters would leave them; `side` x `side`
// cells beyond the example's two make a file of megabytes.
void make_map(HEXAGON_MAP& map, int32_t side = 0) {
  map.LOG_OFF();
  map.CREATE_MAP(side > 0 ? side : 2, side > 0 ? side : 1);
  map.TILE_FILENAME = "tiles.bmp";
  map.TILE_WIDTH = 64;
  map.TILE_HEIGHT = 48;
  map.TILE_COUNT = 20;
  map.BOX_WIDTH = 48;
  map.BOX_HEIGHT = 32;
  map.SOLID_PANEL = 19;
  map.FLOOD_PANEL = 18;
  map.WALL_PANEL = {10, 11, 12, 13, 14, 15};
  map.SET_ID_GROUND(0, 0, 1);
  map.SET_ID_OVERLAY(0, 0, 7);  // not part of the file
  map.SET_ID_GROUND(1, 0, 3);
  map.ASTAR_CELLSETSOLID(1, 0, -1);
  map.SET_ID_WALL(1, 0, 5);
  for (int32_t i = 0; i < side * side; ++i)
    map.SET_ID_GROUND(i % side, i / side, i);
  map.LOG_ON();
}

// A headless screen, a scratch folder and maps made from the example.
class MapFile : public ScreenMap {
 protected:
  // Names in the folder, to see that no temporary file is left behind.
  Lines names() const {
    Lines out;
    for (const auto& entry : fs::directory_iterator(dir_))
      out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  // The example, naming a 5 x 4 sheet of 64 x 48 tiles in the scratch folder.
  std::string example_file() {
    sheet(320, 192, "tiles.bmp");
    return replaced(std::string(kExample), "tiles.bmp", path("tiles.bmp"));
  }
};

TEST_F(MapFile, WritesTheExampleOrRefusesAndKeepsTheOldFile) {
  const std::string done = ": < saving map. done >";
  const std::string aborted = ": < saving map. aborted >";
  const Lines written = {":   saving header part",
                         ":   saving map cell part. (ground, solid flag, wall bit-field)"};
  fs::create_directory(dir_ / "folder");
  struct Case {
    std::string target;
    std::string tile_filename;
    Lines lines;  // between the first line and the last
    std::string last;
  };
  const std::vector<Case> cases = {
      {"map.txt", "tiles.bmp", written, done},
      {"map.txt", "", {":   incomplete map format found"}, aborted},
      {"map.txt",
       "a\"b",
       {":   tile file name can not be written: it holds a double quote"},
       aborted},
      {"folder", "tiles.bmp", written, aborted},
  };
  for (const Case& c : cases) {
    write_file(path("map.txt"), "an older map");
    HEXAGON_MAP map;
    make_map(map);
    map.TILE_FILENAME = c.tile_filename;
    LogCapture capture;
    map.SAVE_MAP(path(c.target));
    Lines expected = {": < saving map >"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    if (c.target == "folder")
      expected.push_back(":   can not replace '" + path("folder") + "': Is a directory");
    expected.push_back(c.last);
    EXPECT_EQ(capture.lines(), expected);
    EXPECT_EQ(read_file(path("map.txt")), c.last == done ? kExample : "an older map");
    EXPECT_EQ(names(), (Lines{"folder", "map.txt"}));
  }
}

TEST_F(MapFile, FullDiskLeavesTheOldFile) {
  HEXAGON_MAP map;
  make_map(map, 500);
  write_file(path("map.txt"), kExample);
  LogCapture capture;
  std::fflush(stdout);
  if (::fork() == 0) {
    // The file size limit stands in for a full disk: writes beyond it fail with EFBIG.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100'000, 100'000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    map.SAVE_MAP(path("map.txt"));
    ::_exit(0);
  }
  ::wait(nullptr);
  const Lines lines = capture.lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3].rfind(":   can not write '" + path("map.txt.tmp-"), 0), 0u);
  EXPECT_NE(lines[3].find("': File too large"), std::string::npos) << lines[3];
  EXPECT_EQ(lines[4], ": < saving map. aborted >");
  EXPECT_EQ(read_file(path("map.txt")), kExample);
  EXPECT_EQ(names(), Lines{"map.txt"});
}

TEST_F(MapFile, KilledSaveLeavesTheOldFileOrTheNewOneWhole) {
  HEXAGON_MAP map;
  make_map(map, 500);
  map.LOG_OFF();
  map.SAVE_MAP(path("new.txt"));
  const std::string new_bytes = read_file(path("new.txt"));
  ASSERT_GT(new_bytes.size(), 8'000'000u);
  for (const int delay_ms : {0, 1, 3, 10, 30}) {
    write_file(path("map.txt"), kExample);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
      map.SAVE_MAP(path("map.txt"));
      ::_exit(0);
    }
    // Waits for the save to begin writing, then gives it `delay_ms` more.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (names().size() < 3 && fs::file_size(dir_ / "map.txt") == kExample.size() &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string after = read_file(path("map.txt"));
    EXPECT_TRUE(after == kExample || after == new_bytes) << after.size() << " bytes";
    for (const std::string& name : names())
      if (name.starts_with("map.txt.tmp-")) fs::remove(dir_ / name);
  }
}

TEST_F(MapFile, LoadThenSaveGivesTheSameBytes) {
  const std::string text = example_file();
  write_file(path("map.txt"), text);
  map_.LOAD_MAP(path("map.txt"));
  map_.SAVE_MAP(path("again.txt"));
  EXPECT_EQ(read_file(path("again.txt")), text);
}

// Everything a load may change, as bytes.
std::string state(const HEXAGON_MAP& m) {
  const int32_t fields[] = {m.MAP_WIDTH,   m.MAP_HEIGHT,    m.CELL_COUNT, m.TILE_COUNT,
                            m.TILE_WIDTH,  m.BOX_WIDTH,     m.BOX_HEIGHT, m.SOLID_PANEL,
                            m.FLOOD_PANEL, m.WALL_PANEL[0], m.LOG_ENABLED};
  return std::string(reinterpret_cast<const char*>(fields), sizeof fields) + m.TILE_FILENAME +
         std::string(reinterpret_cast<const char*>(m.CELLS.data()),
                     m.CELLS.size() * sizeof(MAP_CELL));
}

// The reader's own refusals are tested on texts; these are the file's and the sheet's.
TEST_F(MapFile, BadFilesChangeNeitherMapNorFile) {
  const std::string good = example_file();
  write_file(path("map.txt"), good);
  map_.LOAD_MAP(path("map.txt"));
  map_.SET_ID_OVERLAY(1, 0, 6);
  const std::string before = state(map_);
  write_file(path("empty.txt"), "");
  write_file(path("text.txt"), replaced(good, ",2", ",two"));
  write_file(path("nosheet.txt"), replaced(good, "tiles.bmp", "missing.bmp"));
  fs::create_directory(path("folder.txt"));
  const std::string found = ":   saved file found";
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"missing.txt", {":   saved file NOT found"}},
      {"empty.txt", {":   saved file NOT found"}},
      {"folder.txt", {":   saved file '" + path("folder.txt") + "' is not a regular file"}},
      {"text.txt", {found, ":   line 2: map width: 'two' is not a number"}},
      {"nosheet.txt",
       {found, ":   tile sheet '" + path("missing.bmp") + "' refused: file not found"}},
  };
  for (const auto& [file, reason] : cases) {
    LogCapture capture;
    map_.LOAD_MAP(path(file));
    Lines expected = {": < loading map >"};
    expected.insert(expected.end(), reason.begin(), reason.end());
    expected.push_back(": < loading map. aborted >");
    EXPECT_EQ(capture.lines(), expected);
    EXPECT_EQ(state(map_), before) << file;
  }
  EXPECT_FALSE(fs::exists(path("missing.txt")));
  EXPECT_EQ(fs::file_size(path("empty.txt")), 0u);
}

}  // namespace
}  // namespace hexmap::testing
