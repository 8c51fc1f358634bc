// Checks what scripts/demo-session.sh kept of a run of the demonstration program: its window
// dumps, its standard output and its exit status.
//
//   e2e_demo_check MODE OUT_DIR RUN_DIR
//     session        the scripted session (see the script for its steps)
//     arrived        during the session: the hero has walked to the clicked cell
//     close          the close button ended the program
//     missing-frame  no "demo_frame.bmp": the error report and status 2
//     missing-map    no "demo_map.txt": a message and a failure status before the first frame
//
// Screen pixels throughout; the view window's corners are inclusive. The screen and the view
// window come from demo/layout.hpp; the log line checked below pins their values.
#include <algorithm>
#include <array>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "demo/assets/assets.hpp"
#include "demo/layout.hpp"
#include "demo/sprite.hpp"
#include "raster/raster.hpp"
#include "tests/e2e/window_dump.hpp"

namespace {

using e2e::fail;
using e2e::Picture;
using e2e::read_file;
using Path = std::filesystem::path;

using demo::kScreenHeight, demo::kScreenWidth;
using demo::kViewLeft, demo::kViewTop, demo::kViewRight, demo::kViewBottom;
constexpr int kCentreX = kViewLeft + (kViewRight - kViewLeft) / 2;
constexpr int kCentreY = kViewTop + (kViewBottom - kViewTop) / 2;

bool in_view(int x, int y) {
  return x >= kViewLeft && x <= kViewRight && y >= kViewTop && y <= kViewBottom;
}

// Map pixels of a cell's centre in the demo's map.
struct Point {
  int x, y;
};
Point centre(int cx, int cy) {
  return {cx * assets::kBoxWidth + assets::kTileWidth / 2,
          cy * assets::kBoxHeight + assets::kBoxHeight / 2 + (cx & 1) * assets::kBoxHeight / 2};
}

// The run ended with `status` and its `stream` (out.txt or err.txt) holds every text.
void expect_run(const Path& out, int status, const char* stream, std::vector<std::string> texts) {
  const int got = std::stoi(read_file(out / "status"));
  if (got != status) fail("exit status " + std::to_string(got));
  const std::string output = read_file(out / stream);
  for (const std::string& text : texts) {
    if (output.find(text) == std::string::npos) fail(std::string(stream) + " lacks " + text);
  }
}

// What the screen shows outside the view window: the frame picture with the three help lines.
Picture expected_frame(const Path& run) {
  if (raster::bmp_load((run / "demo_frame.bmp").string(), nullptr) != 0) {
    fail("cannot load the frame picture");
  }
  raster::text_locate(1, 1);
  raster::print_text(" press [F1] key to toggle A* path", true);
  raster::print_text(" press [SPACE] to switch focus of camera", true);
  raster::text_locate(49, 1);
  raster::print_text(" Toggle wall with right mouse button", false);
  const raster::Color* px = raster::screen_ptr();
  return Picture(px, px + kScreenWidth * kScreenHeight);
}

struct Shot {
  Shot(const Path& out, int n) : name("shot " + std::to_string(n)) {
    dump = e2e::read_window_dump(out / ("shot-" + std::to_string(n) + ".xwd"));
    if (dump.width != kScreenWidth || dump.height != kScreenHeight)
      fail(name + ": the window has another size");
  }
  raster::Color at(int x, int y) const {
    return dump.pixels[static_cast<size_t>(y) * kScreenWidth + x];
  }
  // Pixels of the whole window (view window only: `in_view_only`) for which `match` holds.
  int count(const std::function<bool(int, int)>& match, bool in_view_only = true) const {
    int n = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x)
        n += (!in_view_only || in_view(x, y)) && match(x, y) ? 1 : 0;
    }
    return n;
  }
  std::string name;
  e2e::WindowDump dump;
};

void expect_frame_outside_view(const Shot& shot, const Picture& expected) {
  const int wrong = shot.count(
      [&](int x, int y) {
        return !in_view(x, y) && shot.at(x, y) != (expected[y * kScreenWidth + x] & 0xFFFFFF);
      },
      false);
  if (wrong != 0) fail(shot.name + ": " + std::to_string(wrong) + " pixels outside the view");
}

// The hero's sprite, facing down in either walk frame, anchored on the window's centre.
void expect_hero_in_centre(const Shot& shot, const Path& run) {
  raster::Image* sheet = raster::image_create(demo::kSheetWidth, demo::kSheetHeight);
  if (raster::bmp_load((run / "demo_6way.bmp").string(), sheet) != 0) fail("no sprite sheet");
  const auto pixels = raster::image_pixels(sheet);
  double best = 0;
  for (int row = 0; row < 2; ++row) {
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < demo::kSpriteHeight; ++y) {
      for (int x = 0; x < demo::kSpriteWidth; ++x) {
        const raster::Color s =
            pixels[static_cast<size_t>(demo::sprite_top(row) + y) * demo::kSheetWidth +
                   demo::sprite_left(3) + x] &
            0xFFFFFF;
        if (s == assets::kMagenta) continue;
        ++opaque;
        same += shot.at(kCentreX - demo::kAnchorX + x, kCentreY - demo::kAnchorY + y) == s;
      }
    }
    best = std::max(best, static_cast<double>(same) / opaque);
  }
  raster::image_destroy(sheet);
  if (best < 0.9) fail(shot.name + ": the hero is not on the window's centre");
}

// The map in `later` is the map in `earlier` moved by the camera's walk from cell (0, 1) to the
// clicked (5, 5) with the hero, who stands on the window's centre.
void expect_walked(const Shot& earlier, const Shot& later, const Path& run) {
  expect_hero_in_centre(later, run);
  const int dx = centre(5, 5).x - centre(0, 1).x;
  const int dy = centre(5, 5).y - centre(0, 1).y;
  int compared = 0;
  const int same = later.count([&](int x, int y) {
    if (!in_view(x + dx, y + dy)) return false;
    ++compared;
    return later.at(x, y) == earlier.at(x + dx, y + dy);
  });
  if (compared == 0 || same < compared * 7 / 10)
    fail(later.name + ": the map did not follow the walk from " + earlier.name);
}

// Pixels of the path markers: start and end circles and visit dots.
int marker_pixels(const Shot& shot) {
  return shot.count([&](int x, int y) {
    const raster::Color c = shot.at(x, y);
    return c == 0x007F00 || c == 0x7F0000 || c == 0xBF0000;
  });
}

// Pixels of a wall's inner edge in the rectangle (x1, y1)-(x2, y2), inclusive.
int wall_pixels(const Shot& shot, int x1, int y1, int x2, int y2) {
  return shot.count([&](int x, int y) {
    return x >= x1 && x <= x2 && y >= y1 && y <= y2 && shot.at(x, y) == 0x2A241E;
  });
}

// The session's last shot so far shows the hero arrived on (5, 5) after the click.
void check_arrived(const Path& out, const Path& run) {
  int last = 2;
  while (std::filesystem::exists(out / ("shot-" + std::to_string(last + 1) + ".xwd")))
    ++last;
  expect_walked(Shot(out, 2), Shot(out, last), run);
}

void check_session(const Path& out, const Path& run) {
  // Shut-down: the map releases every tile image.
  expect_run(
      out, 0, "out.txt",
      {": - SET CLIP area (32,48)-(351,351)", ": - CLEAN UP -\n:   map, unloaded from memory\n",
       ":   17 image buffer, unloaded from memory\n"});

  const Picture frame = expected_frame(run);
  std::vector<Shot> shots;
  for (int n = 1; n <= 6; ++n) {
    shots.emplace_back(out, n);
    expect_frame_outside_view(shots.back(), frame);
  }
  // SPACE: the camera follows the hero, standing on (0, 1).
  expect_hero_in_centre(shots[1], run);
  // A left click on (5, 5): the hero walked there and the camera with it.
  expect_walked(shots[1], shots[2], run);
  // F1 hides both paths (shots 4, 5); a second F1 shows them again.
  for (int n : {2, 3, 4, 5}) {
    if ((marker_pixels(shots[n]) == 0) != (n == 3 || n == 4))
      fail(shots[n].name + ": path markers");
  }
  // The right click on the top side of (4, 6): the wall's halves on (4, 6) and on (4, 5).
  const Point camera{centre(5, 5).x - kCentreX, centre(5, 5).y - kCentreY};
  const int left = 4 * assets::kBoxWidth - camera.x;
  const int top_of_4_6 = 6 * assets::kBoxHeight - camera.y;
  const auto halves = [&](const Shot& shot) {
    return std::array<int, 2>{wall_pixels(shot, left, top_of_4_6 - 6, left + 36, top_of_4_6 - 1),
                              wall_pixels(shot, left, top_of_4_6, left + 36, top_of_4_6 + 5)};
  };
  if (halves(shots[3]) != std::array<int, 2>{0, 0}) fail("shot 4: a wall before the click");
  const auto after = halves(shots[4]);
  if (after[0] < 5 || after[1] < 5) fail("shot 5: a wall half is missing");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    // Images are made and loaded through a headless screen.
    raster::select_backend(raster::Backend::headless);
    if (raster::screen_set_mode(kScreenWidth, kScreenHeight, 32) != 0) fail("no headless screen");
    if (args.size() != 3) {
      std::cerr << "usage: e2e_demo_check MODE OUT_DIR RUN_DIR\n";
      return 2;
    }
    const Path out = args[1];
    if (args[0] == "arrived") {
      check_arrived(out, args[2]);
    } else if (args[0] == "session") {
      check_session(out, args[2]);
    } else if (args[0] == "close") {
      expect_run(out, 0, "out.txt", {": - CLEAN UP -"});
    } else if (args[0] == "missing-frame") {
      expect_run(out, 2, "out.txt",
                 {"\r\nAborting due to runtime error 2 (file not found) at line ",
                  " of hexmap_demo::start_up()\r\n\r\n"});
    } else if (args[0] == "missing-map") {
      expect_run(out, 1, "err.txt", {"no cell with ground"});
    } else {
      std::cerr << "unknown mode " << args[0] << "\n";
      return 2;
    }
  } catch (const e2e::Failure& failure) {
    std::cerr << "FAIL: " << failure.what << "\n";
    return 1;
  }
  return 0;
}
