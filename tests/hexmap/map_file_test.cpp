// The map text file: the example's exact bytes through a load and a save, and bad files and
// maps refused with their reasons, leaving map and file as they were.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "hexmap/atomic_file.hpp"
#include "log_capture.hpp"
#include "screen_map.hpp"

namespace hexmap::testing {
namespace {

// The documented 2 x 1 example map, CR LF after every line.
constexpr std::string_view kExample =
    "- map property -\r\n"
    "\"map width\",2\r\n"
    "\"map_height\",1\r\n"
    "- tile property -\r\n"
    "\"tile filename\",\"tiles.bmp\"\r\n"
    "\"tile width\",64\r\n"
    "\"tile height\",48\r\n"
    "\"number of tiles\",20\r\n"
    "- tile overlap property -\r\n"
    "\"box_width\",48\r\n"
    "\"box_height\",32\r\n"
    "- solid panel property -\r\n"
    "\"wall panel\",19\r\n"
    "- floodmap panel property -\r\n"
    "\"flood panel\",18\r\n"
    "- wall panels property -\r\n"
    "\"first (top) wall panel\",10\r\n"
    "- map cell property : 2 elements -\r\n"
    "ground, solid flag, wall bit-field\r\n"
    " 1             0             0\r\n"
    " 3            -1             5\r\n";

// text with the first occurrence of `from` replaced by `to`.
std::string replaced(std::string text, std::string_view from, std::string_view to) {
  return text.replace(text.find(from), from.size(), to);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void write_file(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The example naming a 5 x 4 sheet of 64 x 48 tiles in the scratch folder.
class MapFile : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    sheet(320, 192, "tiles.bmp");
    example_ = replaced(std::string(kExample), "tiles.bmp", path("tiles.bmp"));
  }
  // Loads `text` as map.txt; the log lines.
  Lines load(std::string_view text) {
    write_file(path("map.txt"), text);
    map_.LOG_ON();
    LogCapture capture;
    map_.LOAD_MAP(path("map.txt"));
    return capture.lines();
  }
  std::string example_;
};

// Without a writable tile file name nothing is saved. The example, and copies that the reading
// rules read the same (single commas, tabs, LF line ends, no last line end, reals rounded to the
// nearest, a wrong count on line 18), are written back as the example.
TEST_F(MapFile, LoadThenSaveGivesTheExampleByteForByte) {
  map_.LOG_ON();
  for (const auto& [tile_filename, reason] :
       {std::pair{"", "incomplete map format found"},
        {"a\"b", "tile file name can not be written: it holds a double quote"}}) {
    map_.TILE_FILENAME = tile_filename;
    LogCapture capture;
    map_.SAVE_MAP(path("again.txt"));
    EXPECT_EQ(capture.lines(), (Lines{": < saving map >", std::string(":   ") + reason,
                                      ": < saving map. aborted >"}));
  }
  EXPECT_FALSE(std::filesystem::exists(path("again.txt")));
  const std::string head = example_.substr(0, example_.find(" 1  "));
  std::string lf_head = head;
  std::erase(lf_head, '\r');
  for (const std::string& text : {example_, lf_head + "1,0,0\n\t3 , -1\t5",
                                  replaced(head, ": 2 elements", ": 9 elements") +
                                      "0.1e1 -0.5 0.4999\r\n2.5001,-1.4999,5.49\r\n"}) {
    const Lines loaded = load(text);
    ASSERT_GE(loaded.size(), 4u);
    EXPECT_EQ((Lines{loaded[0], loaded[1], loaded.end()[-2], loaded.back()}),
              (Lines{": < loading map >", ":   saved file found",
                     ":   loading map cell blocks'ground, solid flag, wall bit-field'",
                     ": < loading map. done >"}));
    LogCapture capture;
    map_.SAVE_MAP(path("again.txt"));
    EXPECT_EQ(capture.lines(),
              (Lines{": < saving map >", ":   saving header part",
                     ":   saving map cell part. (ground, solid flag, wall bit-field)",
                     ": < saving map. done >"}));
    EXPECT_EQ(read_file(path("again.txt")), example_) << text;
  }
}

// Edits of the example (the first `from` replaced by `to`, or the whole file when `from` is
// empty) and the first problem they make, with its line; the map stays as the example made it.
TEST_F(MapFile, BadFilesAreRefusedWithTheFirstProblemAndChangeNothing) {
  load(example_);
  const std::string cells = " more than " + std::to_string(kMaxCellCount) + " cells";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"", "", "saved file NOT found"},
      {"-1             5\r\n", "", "line 21: the file ends before solid flag of cell (1, 0)"},
      {",2", ",two", "line 2: map width: 'two' is not a number"},
      {"-1 ", "-1x", "line 21: solid flag of cell (1, 0): '-1x' is not a number"},
      {",32", ",,", "line 11: box height: the number is missing"},
      {",32", ",2147483648", "line 11: box height: '2147483648' is out of range"},
      {",2", ",0", "line 2: map size 0 x 0: the width is below 1"},
      {",2\r\n\"map_height\",1", ",65536\r\n\"map_height\",65536",
       "line 3: map size 65536 x 65536:" + cells},
      {".bmp\"", ".bmp", "line 5: tile file name: the closing double quote is missing"},
      {"s.bmp", std::string("s\0.bmp", 6), "line 5: tile file name: it holds a NUL byte"},
      {"tiles.bmp", "none.bmp", "tile sheet '" + path("none.bmp") + "' refused: file not found"},
  };
  for (const auto& [from, to, reason] : cases) {
    Lines expected{": < loading map >", ":   saved file found", ":   " + reason,
                   ": < loading map. aborted >"};
    if (from.empty()) expected.erase(expected.begin() + 1);
    EXPECT_EQ(load(from.empty() ? to : replaced(example_, from, to)), expected);
    map_.LOG_OFF();
    map_.SAVE_MAP(path("again.txt"));
    EXPECT_EQ(read_file(path("again.txt")), example_) << reason;
  }
}

// A save writes through symbolic links (relative ones from their own folder) and refuses, with
// the old file kept, what it must not replace: a device, a folder, a link loop, its own sheet.
TEST_F(MapFile, SaveWritesThroughLinksAndRefusesWhatItMustNotReplace) {
  load(example_);
  namespace fs = std::filesystem;
  fs::create_directory(path("real"));
  fs::create_symlink("real/map.txt", path("link.txt"));
  // A device of its own where the test may make one: a fault must not replace the system's.
  if (::mknod(path("null.txt").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
    fs::create_symlink("/dev/null", path("null.txt"));
  fs::create_symlink("loop.txt", path("loop.txt"));
  fs::create_symlink("tiles.bmp", path("sheet.txt"));
  const std::string sheet = read_file(path("tiles.bmp"));
  map_.SAVE_MAP(path("link.txt"));
  EXPECT_EQ(read_file(path("real/map.txt")), example_);
  EXPECT_TRUE(fs::is_symlink(path("link.txt")));
  for (const auto& [name, reason] : {std::pair{"null.txt", "it is a device, not a regular file"},
                                     {"real", "it is a folder, not a regular file"},
                                     {"loop.txt", "Too many levels of symbolic links"},
                                     {"sheet.txt", "it is the map's tile sheet"}}) {
    LogCapture capture;
    map_.SAVE_MAP(path(name));
    EXPECT_EQ(capture.lines(),
              (Lines{": < saving map >", ":   can not write '" + path(name) + "': " + reason,
                     ": < saving map. aborted >"}));
  }
  EXPECT_TRUE(fs::is_character_file(path("null.txt")));
  EXPECT_EQ(read_file(path("tiles.bmp")), sheet);
  EXPECT_EQ(std::distance(fs::directory_iterator(path("")), {}), 7);  // nothing left behind
}

// Files committed together are all or none: when a rename fails (the last file's temporary
// file is gone), the targets already replaced get their old bytes back.
TEST_F(MapFile, AFailedRenamePutsBackTheFilesAlreadyReplaced) {
  namespace fs = std::filesystem;
  write_file(path("a.txt"), "old a");
  {
    AtomicFile a(path("a.txt")), b(path("b.txt")), c(path("c.txt"));
    for (AtomicFile* f : {&a, &b, &c})
      ASSERT_TRUE(f->write("new"));
    for (const fs::directory_entry& e : fs::directory_iterator(path("")))
      if (e.path().filename().string().starts_with("c.txt.")) fs::remove(e.path());
    AtomicFile* const all[] = {&a, &b, &c};
    EXPECT_FALSE(commit_all(all));
    EXPECT_EQ(c.reason(), "No such file or directory");
  }
  EXPECT_EQ(read_file(path("a.txt")), "old a");
  EXPECT_FALSE(fs::exists(path("b.txt")));
  EXPECT_EQ(std::distance(fs::directory_iterator(path("")), {}), 2);  // a.txt and the sheet
}

// A save that runs out of room (a file size limit, in a child process) keeps the old file whole
// and leaves no temporary file beside it; a save killed at any moment leaves the old file or the
// new one whole.
TEST_F(MapFile, AFullDiskOrAKillLeavesAWholeFile) {
  load(example_);
  map_.LOG_OFF();
  map_.CREATE_MAP(300, 300);  // a file far beyond the limit
  std::fflush(stdout);
  if (::fork() == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100'000, 100'000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    map_.SAVE_MAP(path("map.txt"));
    ::_exit(0);
  }
  ::wait(nullptr);
  EXPECT_EQ(read_file(path("map.txt")), example_);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("")),
                          std::filesystem::directory_iterator()),
            2);  // the sheet and the map file
  map_.SAVE_MAP(path("new.txt"));
  const std::string saved = read_file(path("new.txt"));
  for (const int delay_us : {0, 2'000, 5'000, 10'000, 30'000, 100'000}) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (;;)
        map_.SAVE_MAP(path("map.txt"));
    }
    ::usleep(delay_us);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = read_file(path("map.txt"));
    EXPECT_TRUE(now == example_ || now == saved) << delay_us << " us: " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace hexmap::testing
