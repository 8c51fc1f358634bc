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
// Screen pixels throughout; the view window is (32, 48)-(351, 351), corners inclusive.
#include <algorithm>
#include <array>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "demo/assets/assets.hpp"
#include "demo/sprite.hpp"
#include "raster/raster.hpp"
#include "tests/e2e/window_dump.hpp"

namespace {

using e2e::fail;
using e2e::Picture;
using e2e::WindowDump;

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kViewLeft = 32;
constexpr int kViewTop = 48;
constexpr int kViewRight = 351;
constexpr int kViewBottom = 351;
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

std::string read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) fail("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void expect_status(const std::filesystem::path& out, int status) {
  const int got = std::stoi(read_file(out / "status"));
  if (got != status) {
    fail("exit status " + std::to_string(got) + ", expected " + std::to_string(status));
  }
}

void expect_output(const std::string& output, std::string_view text) {
  if (output.find(text) == std::string::npos) {
    fail("standard output lacks \"" + std::string(text) + "\"");
  }
}

// What the screen shows outside the view window: the frame picture with the three help lines.
Picture expected_frame(const std::filesystem::path& run) {
  if (raster::bmp_load((run / "demo_frame.bmp").string(), nullptr) != 0) {
    fail("cannot load the frame picture");
  }
  raster::text_locate(1, 1);
  raster::print_text(" press [F1] key to toggle A* path", true);
  raster::print_text(" press [SPACE] to switch focus of camera", true);
  raster::text_locate(49, 1);
  raster::print_text(" Toggle wall with right mouse button", false);
  const raster::Color* px = raster::screen_ptr();
  return Picture(px, px + kWidth * kHeight);
}

class Shot {
 public:
  Shot(const std::filesystem::path& out, int n) : name_("shot " + std::to_string(n)) {
    dump_ = e2e::read_window_dump(out / ("shot-" + std::to_string(n) + ".xwd"));
    if (dump_.width != kWidth || dump_.height != kHeight) fail(name_ + ": window not 640x400");
  }
  raster::Color at(int x, int y) const { return dump_.pixels[static_cast<size_t>(y) * kWidth + x]; }
  const std::string& name() const { return name_; }
  // Pixels of the view window for which `match` holds.
  int count_in_view(const std::function<bool(int, int)>& match) const {
    int n = 0;
    for (int y = kViewTop; y <= kViewBottom; ++y) {
      for (int x = kViewLeft; x <= kViewRight; ++x)
        n += match(x, y) ? 1 : 0;
    }
    return n;
  }

 private:
  std::string name_;
  WindowDump dump_;
};

void expect_frame_outside_view(const Shot& shot, const Picture& expected) {
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (in_view(x, y)) continue;
      wrong += shot.at(x, y) != (expected[static_cast<size_t>(y) * kWidth + x] & 0xFFFFFF);
    }
  }
  if (wrong != 0) fail(shot.name() + ": " + std::to_string(wrong) + " pixels outside the view");
}

// The hero's sprite, facing down in either walk frame, anchored on the window's centre.
void expect_hero_in_centre(const Shot& shot, const std::filesystem::path& run) {
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
  if (best < 0.9) fail(shot.name() + ": the hero is not on the window's centre");
}

// The map in `later` is the map in `earlier` moved by the camera's move (dx, dy), map pixels.
void expect_camera_moved(const Shot& earlier, const Shot& later, int dx, int dy) {
  int compared = 0;
  const int same = later.count_in_view([&](int x, int y) {
    if (!in_view(x + dx, y + dy)) return false;
    ++compared;
    return later.at(x, y) == earlier.at(x + dx, y + dy);
  });
  if (compared == 0 || same < compared * 7 / 10) {
    fail(later.name() + ": the map did not move by (" + std::to_string(dx) + "," +
         std::to_string(dy) + ") against " + earlier.name() + " (" + std::to_string(same) + " of " +
         std::to_string(compared) + " pixels agree)");
  }
}

// Pixels of the path markers: start and end circles and visit dots.
int marker_pixels(const Shot& shot) {
  return shot.count_in_view([&](int x, int y) {
    const raster::Color c = shot.at(x, y);
    return c == 0x007F00 || c == 0x7F0000 || c == 0xBF0000;
  });
}

// Pixels of a wall's inner edge in the rectangle (x1, y1)-(x2, y2), inclusive.
int wall_pixels(const Shot& shot, int x1, int y1, int x2, int y2) {
  return shot.count_in_view([&](int x, int y) {
    return x >= x1 && x <= x2 && y >= y1 && y <= y2 && shot.at(x, y) == 0x2A241E;
  });
}

// The session's last shot so far shows the hero arrived on (5, 5) after the click.
void check_arrived(const std::filesystem::path& out, const std::filesystem::path& run) {
  int last = 2;
  while (std::filesystem::exists(out / ("shot-" + std::to_string(last + 1) + ".xwd")))
    ++last;
  const Shot before(out, 2);
  const Shot now(out, last);
  expect_hero_in_centre(now, run);
  const Point from = centre(0, 1);
  const Point to = centre(5, 5);
  expect_camera_moved(before, now, to.x - from.x, to.y - from.y);
}

void check_session(const std::filesystem::path& out, const std::filesystem::path& run) {
  expect_status(out, 0);
  const std::string output = read_file(out / "out.txt");
  expect_output(output, ": - SET CLIP area (32,48)-(351,351)");
  // Shut-down: the map releases every tile image.
  expect_output(output, ": - CLEAN UP -\n:   map, unloaded from memory\n");
  expect_output(output, ":   17 image buffer, unloaded from memory\n");

  const Picture frame = expected_frame(run);
  std::vector<Shot> shots;
  for (int n = 1; n <= 6; ++n) {
    shots.emplace_back(out, n);
    expect_frame_outside_view(shots.back(), frame);
  }
  // SPACE: the camera follows the hero, standing on (0, 1).
  expect_hero_in_centre(shots[1], run);
  // A left click on (5, 5): the hero walked there and the camera with it.
  expect_hero_in_centre(shots[2], run);
  const Point from = centre(0, 1);
  const Point to = centre(5, 5);
  expect_camera_moved(shots[1], shots[2], to.x - from.x, to.y - from.y);
  // F1 hides both paths; a second F1 shows them again.
  if (marker_pixels(shots[2]) == 0) fail("shot 3: no path markers");
  if (marker_pixels(shots[3]) != 0) fail("shot 4: path markers although F1 hid them");
  if (marker_pixels(shots[4]) != 0) fail("shot 5: path markers although F1 hid them");
  if (marker_pixels(shots[5]) == 0) fail("shot 6: no path markers after the second F1");
  // The right click on the top side of (4, 6): the wall's halves on (4, 6) and on (4, 5).
  const Point camera{to.x - kCentreX, to.y - kCentreY};
  const int left = 4 * assets::kBoxWidth - camera.x;
  const int top_of_4_6 = 6 * assets::kBoxHeight - camera.y;
  const auto halves = [&](const Shot& shot) {
    return std::array<int, 2>{wall_pixels(shot, left, top_of_4_6 - 6, left + 36, top_of_4_6 - 1),
                              wall_pixels(shot, left, top_of_4_6, left + 36, top_of_4_6 + 5)};
  };
  if (halves(shots[3]) != std::array<int, 2>{0, 0}) fail("shot 4: a wall before the click");
  const auto after = halves(shots[4]);
  if (after[0] < 5 || after[1] < 5) {
    fail("shot 5: wall halves of " + std::to_string(after[0]) + " and " + std::to_string(after[1]) +
         " pixels");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    // Images are made and loaded through a headless screen.
    raster::select_backend(raster::Backend::headless);
    if (raster::screen_set_mode(kWidth, kHeight, 32) != 0) fail("no headless screen");
    if (args.size() != 3) {
      std::cerr << "usage: e2e_demo_check MODE OUT_DIR RUN_DIR\n";
      return 2;
    }
    if (args[0] == "arrived") {
      check_arrived(args[1], args[2]);
    } else if (args[0] == "session") {
      check_session(args[1], args[2]);
    } else if (args[0] == "close") {
      expect_status(args[1], 0);
      expect_output(read_file(std::filesystem::path(args[1]) / "out.txt"), ": - CLEAN UP -");
    } else if (args[0] == "missing-frame") {
      expect_status(args[1], 2);
      const std::string output = read_file(std::filesystem::path(args[1]) / "out.txt");
      expect_output(output, "\r\nAborting due to runtime error 2 (file not found) at line ");
      expect_output(output, " of hexmap_demo::start_up()\r\n\r\n");
    } else if (args[0] == "missing-map") {
      expect_status(args[1], 1);
      if (read_file(std::filesystem::path(args[1]) / "err.txt").find("no cell with ground") ==
          std::string::npos) {
        fail("no reason on standard error");
      }
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
