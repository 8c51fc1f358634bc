#include "demo/movement_range.hpp"

#include <gtest/gtest.h>

#include <string>

#include "demo/assets/assets.hpp"

namespace demo {
namespace {

// One row (grid): road on the left ten cells, dunes on the right ten, so a step costs 1 or 4.
TEST(MovementRange, MarksTheCellsWithinTheBudgetAndClearsThoseThatLeaveIt) {
  hexmap::HEXAGON_MAP map;
  map.LOG_OFF();
  map.CREATE_MAP(20, 1);
  for (int32_t x = 0; x < 20; ++x)
    map.SET_ID_GROUND(x, 0, x < 10 ? assets::kCobbles : assets::kDunes);
  const auto flooded = [&map] {
    std::string s;
    for (int32_t x = 0; x < 20; ++x)
      s += map.GET_ID(x, 0).FLOOD != 0 ? '1' : '0';
    return s;
  };
  MovementRange range(map);
  range.show(map, {0, 0});
  EXPECT_EQ(flooded(), "11111111110000000000");
  range.show(map, {12, 0});
  EXPECT_EQ(flooded(), "00000011111111110000");
  range.hide(map);
  EXPECT_EQ(flooded(), "00000000000000000000");
}

}  // namespace
}  // namespace demo
