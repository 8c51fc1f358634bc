// Draws the demo's data files into a folder: make_demo_assets DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "demo/assets/assets.hpp"

namespace {

bool write_text(const std::filesystem::path& file, const std::string& text) {
  // Beside the target, then renamed over it: never half a file.
  const std::filesystem::path temporary = file.string() + ".tmp";
  {
    std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
    if (!f.write(text.data(), static_cast<std::streamsize>(text.size()))) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_assets DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const bool ok =
      assets::write_bmp(dir / std::string(assets::kTileSheetFile), assets::tile_sheet()) &&
      assets::write_bmp(dir / "demo_6way.bmp", assets::sprite_sheet()) &&
      assets::write_bmp(dir / "demo_frame.bmp", assets::frame_picture()) &&
      write_text(dir / "demo_map.txt", assets::map_text());
  if (!ok) {
    std::fprintf(stderr, "make_demo_assets: cannot write the data files into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
