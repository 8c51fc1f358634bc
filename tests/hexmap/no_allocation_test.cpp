// The hot paths allocate nothing once their buffers and outputs have grown: counted by
// replacing the global allocation function for this test program (this thread's calls only).

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>

#include "hexmap/pathfinder.hpp"
#include "hexmap/sight.hpp"
#include "tests/reference/test_maps.hpp"

namespace {
thread_local long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// Every form that the replaced deletes below may free has to come from malloc too: a sanitizer
// build reports memory from its own allocator given to free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace hexmap {
namespace {

template <typename Query>
long allocations_of(Query&& query) {
  const long before = allocations;
  query();
  return allocations - before;
}

TEST(HotPaths, AllocateNothingOnceWarmed) {
  HEXAGON_MAP map;
  reference::make_maze_map(map, 48);
  for (int32_t i = 0; i < 48 * 48; i += 7) {
    map.CELLS[static_cast<size_t>(i)].ID_GROUND = 1 + i % 3;
    map.CELLS[static_cast<size_t>(i)].SOLID = i % 5 == 0 ? 1 : 0;
  }
  PathFinder finder(map);
  const TerrainCosts costs{{0, 1, 3, 7}};
  const auto step_cost = [](VECTOR2D, VECTOR2D to, int32_t direction) {
    return 1 + (to.X + direction) % 4;
  };
  const VECTOR2D sources[] = {VECTOR2D(0, 0), VECTOR2D(40, 20), VECTOR2D(12, 47)};
  Route route;
  std::vector<Reach> reach;
  std::vector<int64_t> field;
  std::vector<VECTOR2D> visible;

  const struct {
    const char* name;
    std::function<void()> query;
  } queries[] = {
      {"find_path", [&] { finder.find_path(VECTOR2D(0, 0), VECTOR2D(47, 47), costs, route); }},
      {"find_path by steps",
       [&] { finder.find_path(VECTOR2D(47, 0), VECTOR2D(0, 47), step_cost, route); }},
      {"reachable", [&] { finder.reachable(VECTOR2D(20, 20), 40, costs, reach); }},
      {"reachable by steps", [&] { finder.reachable(VECTOR2D(5, 30), 30, step_cost, reach); }},
      {"distance_field", [&] { finder.distance_field(sources, costs, field); }},
      {"distance_field by steps", [&] { finder.distance_field(sources, step_cost, field); }},
      {"field_of_view", [&] { field_of_view(map, VECTOR2D(24, 24), 12, visible); }},
      {"ASTAR_COMPUTE", [&] { map.ASTAR_COMPUTE(VECTOR2D(0, 0), VECTOR2D(47, 47), 65535); }},
      {"FLOODMAP_COMPUTE", [&] { map.FLOODMAP_COMPUTE(VECTOR2D(24, 24), 30); }},
  };
  for (const auto& q : queries)
    q.query();  // grows the buffers and the outputs
  for (const auto& q : queries)
    EXPECT_EQ(allocations_of(q.query), 0) << q.name;
}

}  // namespace
}  // namespace hexmap
