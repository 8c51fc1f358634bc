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

namespace hexmap {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::kExample;
using testing::LogCapture;

const Lines kSaveDone = {": < saving map >", ":   saving header part",
                         ":   saving map cell part. (ground, solid flag, wall bit-field)",
                         ": < saving map. done >"};

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

}  // namespace
}  // namespace hexmap
