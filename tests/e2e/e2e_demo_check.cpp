// Checks what scripts/demo-session.sh (or the web page's test, tests/web) kept of a run of the
// demonstration program: its window dumps (xwd files), its standard output and error, and its
// exit status.
//
//   e2e_demo_check MODE OUT_DIR RUN_DIR
//     session        the scripted session (see the script for its steps)
//     arrived        during the session: the hero has walked to the clicked cell
//     close          the close button ended the program
//     missing-frame  no "demo_frame.bmp": the error report and status 2
//     missing-map    no "demo_map.txt": a message and a failure status before the first frame
//     no-display     no display and no driver chosen: a clear reason and a failure status
//
// Screen pixels throughout; rectangles have inclusive corners. The screen and the view window
// come from demo/layout.hpp; the log line checked below pins their values.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "demo/assets/assets.hpp"
#include "demo/layout.hpp"
#include "demo/sprite.hpp"
#include "demo/walker.hpp"
#include "raster/raster.hpp"

namespace {

using demo::kScreenWidth, demo::kScreenHeight;
using demo::kViewLeft, demo::kViewTop, demo::kViewRight, demo::kViewBottom;
using raster::Color;
using Path = std::filesystem::path;

constexpr int kCentreX = (kViewLeft + kViewRight) / 2;
constexpr int kCentreY = (kViewTop + kViewBottom) / 2;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what);
}

std::string read_file(const Path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) fail("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Map pixels of a cell's centre in the demo's map.
int centre_x(int cx) {
  return cx * assets::kBoxWidth + assets::kTileWidth / 2;
}
int centre_y(int cx, int cy) {
  return (2 * cy + 1 + (cx & 1)) * assets::kBoxHeight / 2;
}

// The window as shot n showed it, 0x00RRGGBB. An xwd file holds a header of big-endian 32-bit
// fields, the window name and a colour table, then the pixels in the server's byte order; only
// what the tests' 24-bit Xvfb screen gives is read.
struct Shot {
  Shot(const Path& out, int n) : name("shot " + std::to_string(n)) {
    const std::string data = read_file(out / ("shot-" + std::to_string(n) + ".xwd"));
    const auto word = [&](size_t at, bool big_endian) {
      uint32_t v = 0;
      for (size_t i = 0; i < 4; ++i)
        v |= uint32_t{static_cast<unsigned char>(data[at + i])} << 8 * (big_endian ? 3 - i : i);
      return v;
    };
    if (data.size() < 100) fail(name + ": too short");
    const auto field = [&](size_t index) { return word(index * 4, true); };
    const size_t line = field(12);
    const size_t start = size_t{field(0)} + size_t{field(19)} * 12;
    // Version 7, ZPixmap format, 32 bits per pixel, the masks of 0x00RRGGBB.
    if (field(1) != 7 || field(2) != 2 || field(11) != 32 || field(14) != 0xFF0000 ||
        field(15) != 0xFF00 || field(16) != 0xFF || field(4) != kScreenWidth ||
        field(5) != kScreenHeight || line < kScreenWidth * 4 || start > data.size() ||
        (data.size() - start) / line < kScreenHeight)
      fail(name + ": not a whole window of the screen's size in 32-bit 0x00RRGGBB pixels");
    for (size_t y = 0; y < kScreenHeight; ++y) {
      for (size_t x = 0; x < kScreenWidth; ++x)
        pixels.push_back(word(start + y * line + x * 4, field(7) != 0) & 0xFFFFFF);
    }
  }
  Color at(int x, int y) const { return pixels[static_cast<size_t>(y) * kScreenWidth + x]; }
  // Pixels of one of `colours` in (x1, y1)-(x2, y2), the view window unless given.
  int count(const std::vector<Color>& colours, int x1 = kViewLeft, int y1 = kViewTop,
            int x2 = kViewRight, int y2 = kViewBottom) const {
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
      for (int x = x1; x <= x2; ++x)
        n += std::find(colours.begin(), colours.end(), at(x, y)) != colours.end();
    }
    return n;
  }
  std::string name;
  std::vector<Color> pixels;
};

// The run ended with `status` and its `stream` (out.txt or err.txt) holds every text.
void expect_run(const Path& out, int status, const char* stream, std::vector<std::string> texts) {
  const int got = std::stoi(read_file(out / "status"));
  if (got != status) fail("exit status " + std::to_string(got));
  const std::string output = read_file(out / stream);
  for (const std::string& text : texts) {
    if (output.find(text) == std::string::npos) fail(std::string(stream) + " lacks " + text);
  }
}

// Outside the view window every shot shows the frame picture with the help lines on text rows
// 1, 2 and 49, exactly.
void expect_frame_outside_view(const std::vector<Shot>& shots, const Path& run) {
  if (raster::bmp_load((run / "demo_frame.bmp").string(), nullptr) != 0)
    fail("cannot load the frame picture");
  raster::text_locate(1, 1);
  raster::print_text(" press [F1] key to toggle A* path    [F2] hero's sight", true);
  raster::print_text(" press [SPACE] to switch focus of camera", true);
  raster::text_locate(49, 1);
  raster::print_text(" Toggle wall with right mouse button    [F3] hero's movement range", false);
  for (const Shot& shot : shots) {
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) {
        const bool in_view = x >= kViewLeft && x <= kViewRight && y >= kViewTop && y <= kViewBottom;
        if (!in_view && shot.at(x, y) != (raster::screen_ptr()[y * kScreenWidth + x] & 0xFFFFFF))
          fail(shot.name + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")");
      }
    }
  }
}

// The hero's sprite, facing down in either walk frame, anchored on the window's centre: nine in
// ten of its opaque pixels show.
void expect_hero_in_centre(const Shot& shot, const Path& run) {
  raster::Image* sheet = raster::image_create(demo::kSheetWidth, demo::kSheetHeight);
  if (raster::bmp_load((run / "demo_6way.bmp").string(), sheet) != 0) fail("no sprite sheet");
  const auto sprites = raster::image_pixels(sheet);
  bool found = false;
  for (int row = 0; row < 2; ++row) {
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < demo::kSpriteHeight; ++y) {
      for (int x = 0; x < demo::kSpriteWidth; ++x) {
        const Color c = sprites[static_cast<size_t>(demo::sprite_top(row) + y) * demo::kSheetWidth +
                                demo::sprite_left(demo::kFacingDown) + x] &
                        0xFFFFFF;
        opaque += c != assets::kMagenta;
        same += c != assets::kMagenta &&
                shot.at(kCentreX - demo::kAnchorX + x, kCentreY - demo::kAnchorY + y) == c;
      }
    }
    found = found || same * 10 >= opaque * 9;
  }
  raster::image_destroy(sheet);
  if (!found) fail(shot.name + ": the hero is not on the window's centre");
}

// The map in `later` is the map in `earlier` moved by the camera's walk from cell (0, 1) to the
// clicked (5, 5) with the hero, who stands on the window's centre.
void expect_walked(const Shot& earlier, const Shot& later, const Path& run) {
  expect_hero_in_centre(later, run);
  const int dx = centre_x(5) - centre_x(0);
  const int dy = centre_y(5, 5) - centre_y(0, 1);
  int same = 0;
  for (int y = kViewTop; y + dy <= kViewBottom; ++y) {
    for (int x = kViewLeft; x + dx <= kViewRight; ++x)
      same += later.at(x, y) == earlier.at(x + dx, y + dy);
  }
  if (same < (kViewRight - kViewLeft + 1 - dx) * (kViewBottom - kViewTop + 1 - dy) * 7 / 10)
    fail(later.name + ": the map did not follow the walk");
}

void check_session(const Path& out, const Path& run) {
  // Shut-down: the map releases every tile image.
  expect_run(
      out, 0, "out.txt",
      {": - SET CLIP area (32,48)-(351,351)", ": - CLEAN UP -\n:   map, unloaded from memory\n",
       ":   17 image buffer, unloaded from memory\n"});
  std::vector<Shot> shots;
  for (int n = 1; n <= 6; ++n)
    shots.emplace_back(out, n);
  expect_frame_outside_view(shots, run);
  // After SPACE the camera follows the hero, standing on (0, 1); after a left click on (5, 5)
  // the hero walked there and the camera with it.
  expect_walked(shots[1], shots[2], run);
  // F1 hides both paths (shots 4, 5); a second F1 shows them again. Markers: start and end
  // circles, visit dots.
  for (int n : {2, 3, 4, 5}) {
    if ((shots[n].count({0x007F00, 0x7F0000, 0xBF0000}) == 0) != (n == 3 || n == 4))
      fail(shots[n].name + ": path markers");
  }
  // The right click on the top side of (4, 6): the wall's inner edge on both cells, on (4, 5)
  // above the side and on (4, 6) below it; none before.
  const int left = 4 * assets::kBoxWidth - (centre_x(5) - kCentreX);
  const int side = 6 * assets::kBoxHeight - (centre_y(5, 5) - kCentreY);
  const auto edge = [&](int n, int top) {
    return shots[n].count({0x2A241E}, left, top, left + 36, top + 5);
  };
  if (edge(3, side - 6) + edge(3, side) != 0 || edge(4, side - 6) < 5 || edge(4, side) < 5)
    fail("shots 4 and 5: the wall before and after the click");
  // The wizard, who roams near the hero, shows its hat (a colour of its own) in some shot.
  if (std::none_of(shots.begin(), shots.end(),
                   [](const Shot& s) { return s.count({0x6A3CA8}) >= 40; }))
    fail("no shot shows the wizard");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  const Path out = argc == 4 ? argv[2] : "";
  const Path run = argc == 4 ? argv[3] : "";
  try {
    // Images are made and loaded through a headless screen.
    raster::select_backend(raster::Backend::headless);
    if (raster::screen_set_mode(kScreenWidth, kScreenHeight, 32) != 0) fail("no headless screen");
    if (mode == "arrived") {
      // The shot after the click, retaken until the hero has arrived.
      expect_walked(Shot(out, 2), Shot(out, 3), run);
    } else if (mode == "session") {
      check_session(out, run);
    } else if (mode == "close") {
      expect_run(out, 0, "out.txt", {": - CLEAN UP -"});
    } else if (mode == "missing-frame") {
      expect_run(out, 2, "out.txt",
                 {"\r\nAborting due to runtime error 2 (file not found) at line ",
                  " of hexmap_demo::start_up()\r\n\r\n"});
    } else if (mode == "missing-map") {
      expect_run(out, 1, "err.txt", {"no cell with ground"});
    } else if (mode == "no-display") {
      expect_run(out, 1, "err.txt", {"raster: no display to open a window on"});
    } else {
      fail("usage: e2e_demo_check MODE OUT_DIR RUN_DIR");
    }
  } catch (const std::exception& failure) {
    std::cerr << "FAIL: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
