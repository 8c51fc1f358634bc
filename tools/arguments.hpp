// The tool's argument forms: cells "X,Y", sizes "WxH", paths "X1,Y1:X2,Y2", floods and ranges
// "X,Y,STEPS", costs "GROUND=COST,...". Each parser gives nothing for anything but exactly its
// form.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "tools/map_document.hpp"

namespace hexmap::tool {

struct GridCell {
  int32_t x = 0;  // grid column
  int32_t y = 0;  // grid row
};
struct PixelSize {
  int32_t width = 0;  // pixels, at least 1
  int32_t height = 0;
};
struct PathRequest {
  GridCell from, to;
};
struct FloodRequest {
  GridCell origin;
  int32_t steps = 0;  // at least 0
};

// Ground id -> cost of entering it; grounds 1 to kMaxCostedGround, costs 0 (barred) to
// kMaxStepCost.
using GroundCosts = std::map<int32_t, int32_t>;
inline constexpr int32_t kMaxCostedGround = 65535;

std::optional<GridCell> parse_cell(std::string_view text);
std::optional<PixelSize> parse_size(std::string_view text);
std::optional<PathRequest> parse_path(std::string_view text);
// "X,Y,STEPS": also the viewer and radius of a field of view.
std::optional<FloodRequest> parse_flood(std::string_view text);
std::optional<int32_t> parse_budget(std::string_view text);  // a whole number, 0 or more
std::optional<GroundCosts> parse_costs(std::string_view text);

}  // namespace hexmap::tool
