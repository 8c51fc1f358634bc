// Where the demo puts things on its screen. Screen pixels unless said otherwise; rectangles
// have inclusive corners. The frame picture, the frame loop and the end-to-end checks all read
// these, so the map, the picture and the tests cannot drift apart.
#pragma once

namespace demo {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 400;

// The view window (32, 48)-(351, 351): the map, paths and walkers are drawn only here; the
// frame picture supplies everything around it.
inline constexpr int kViewLeft = 32;
inline constexpr int kViewTop = 48;
inline constexpr int kViewRight = 351;
inline constexpr int kViewBottom = 351;

// The help lines sit on text rows (1-based, in the graphics layer's 8 x 8 text cells): two
// lines from the top row, one on the bottom row. The frame picture keeps those rows plain.
inline constexpr int kTextCellSize = 8;
inline constexpr int kHelpTopRow = 1;
inline constexpr int kHelpBottomRow = 49;

}  // namespace demo
