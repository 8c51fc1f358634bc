// Fuzzes LOAD_MAP with the input as the map file. The reader's verdict is the oracle: a file it
// refuses must leave the map as it was, a file it accepts must become the map, and its values
// written out and read again must come back the same, byte for byte on the second writing.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/map_file_format.hpp"

namespace {

using hexmap::map_file::MapFileContent;

std::string g_file;  // the scratch file each input is written to

[[noreturn]] void finding(const char* what) {
  std::fprintf(stderr, "map_load: %s\n", what);
  __builtin_trap();
}

void check_round_trip(const MapFileContent& content) {
  const std::string written = hexmap::map_file::format_map_file(content);
  const auto again = hexmap::map_file::parse_map_file(written);
  const auto* read = std::get_if<MapFileContent>(&again);
  if (read == nullptr) finding("a written file does not read back");
  if (!(read->header == content.header) || read->cells != content.cells)
    finding("a written file reads back different values");
  if (hexmap::map_file::format_map_file(*read) != written) finding("writing is not stable");
}

// A scratch folder, on a memory file system where there is one: rewriting a file on a disk
// waits for the disk.
std::string make_folder() {
  for (const char* base : {"/dev/shm", "/tmp"}) {
    std::string name = std::string(base) + "/hexmap_fuzz_map_load_XXXXXX";
    if (::mkdtemp(name.data()) != nullptr) return name;
  }
  return {};
}

bool write_input(const uint8_t* data, size_t size) {
  std::FILE* out = std::fopen(g_file.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, out) == size;
  return std::fclose(out) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Each map logs its construction before it can be silenced; keep the fuzzer's output readable.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  const std::string folder = make_folder();
  if (folder.empty()) return 1;
  g_file = folder + "/map.txt";
  static const std::string remove_folder = folder;
  std::atexit([] {
    std::remove(g_file.c_str());
    ::rmdir(remove_folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = hexmap::map_file::parse_map_file(text);
  const auto* content = std::get_if<MapFileContent>(&parsed);
  // A sheet name that cannot be written (a quote in an unquoted name) is refused by the save.
  if (content != nullptr &&
      hexmap::map_file::tile_filename_refusal(content->header.tile_filename).empty())
    check_round_trip(*content);

  if (!write_input(data, size)) finding("the scratch file can not be written");
  hexmap::HEXAGON_MAP map;
  map.CREATE_MAP(3, 2);
  map.SET_ID_GROUND(2, 1, 9);
  map.LOG_OFF();
  map.LOAD_MAP(g_file);
  if (content == nullptr || size == 0) {
    if (map.MAP_WIDTH != 3 || map.MAP_HEIGHT != 2 || map.GET_ID_GROUND(2, 1) != 9 ||
        map.LOG_ENABLED != 0)
      finding("a refused file changed the map");
    return 0;
  }
  if (map.MAP_WIDTH != content->header.map_width || map.MAP_HEIGHT != content->header.map_height ||
      map.CELLS.size() != content->cells.size() || map.LOG_ENABLED != -1)
    finding("an accepted file did not become the map");
  for (std::size_t i = 0; i < content->cells.size(); ++i) {
    const hexmap::MAP_CELL& cell = map.CELLS[i];
    const hexmap::map_file::StoredCell stored{cell.ID_GROUND, cell.SOLID, cell.ID_WALL};
    if (!(stored == content->cells[i])) finding("a loaded cell differs from the file");
  }
  return 0;
}
