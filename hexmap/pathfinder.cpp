// Cost-aware searches for PathFinder (grid coordinates). One loop serves all three queries: it
// settles cells in order of their key (cost so far, plus for a route an estimate that never
// exceeds the cost still to come) and each query decides what a settled cell means to it.
// Nodes are stamped with the query they belong to, so a query resets nothing; a cell's entry
// sides and cost are read from the map when the query first meets it (or a cell near it).
#include "hexmap/pathfinder.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>
#include <new>
#include <utility>

#include "hexmap/cost_queue.hpp"
#include "hexmap/entry_rule.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/grid_size.hpp"

namespace hexmap {
namespace {

constexpr int64_t kUnreached = std::numeric_limits<int64_t>::max();
constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();
// Key span the buckets may cover; beyond it (steps dearer than 4095) the heap serves.
constexpr uint32_t kMaxBuckets = 1u << 13;
// A query's stamp sits above the 8 bits of entry sides, so 2^24 queries fit before the stamps
// are cleared and counted afresh.
constexpr int kStampShift = 8;
constexpr uint32_t kStampLimit = 1u << (32 - kStampShift);
// Cells whose entry sides and costs are read together (4.5 KB of the map).
constexpr int32_t kSegment = 64;
// Beside the entry sides: a source already queued (sources may be listed twice).
constexpr uint32_t kListedBit = 1u << 6;

struct Node {
  int64_t dist;  // cost so far from the nearest source; kUnreached until reached
  uint32_t tag;  // the query's stamp << kStampShift | the sides through which a step may enter
  int32_t cost;  // cost to enter, from the terrain table
};
// The node, the heap's key, cell and slot, and the buckets' share of entries; the chunk links
// and rounding stay below the last byte.
static_assert(sizeof(Node) + sizeof(int64_t) + 3 * sizeof(int32_t) + 1 ==
              PathFinder::kBytesPerCell);

// Costs from the ground table: a ground without an entry, or with a cost <= 0, is barred.
struct TableCosts {
  const std::vector<int32_t>& by_ground;
  int32_t enter(const MAP_CELL& c) const {
    const int32_t g = c.ID_GROUND;
    return g >= 0 && static_cast<size_t>(g) < by_ground.size() ? by_ground[g] : 0;
  }
  int32_t step(const Node& to, VECTOR2D /*from*/, VECTOR2D /*to*/, int32_t /*d*/) const {
    return to.cost;
  }
};

// Costs from the caller's callable; the ground table plays no part.
struct CallableCosts {
  StepCostRef call;
  static int32_t enter(const MAP_CELL& /*c*/) { return 1; }
  int32_t step(const Node& /*to*/, VECTOR2D from, VECTOR2D to, int32_t d) const {
    return call(from, to, d);
  }
};

// The cheapest and the dearest positive entry of a ground table; 0 and 0 when there is none.
std::pair<int32_t, int32_t> cost_range(const TerrainCosts& costs) {
  int32_t low = 0;
  int32_t high = 0;
  for (const int32_t c : costs.by_ground) {
    if (c <= 0) continue;
    low = low == 0 ? c : std::min(low, c);
    high = std::max(high, c);
  }
  return {low, high};
}

}  // namespace

struct PathFinder::Search {
  struct KeyOfCell {  // a cell's current key, for the buckets
    const Search* search;
    int64_t operator()(int32_t i) const { return search->key_of(i); }
  };
  using Buckets = detail::BucketQueue<KeyOfCell>;

  const HEXAGON_MAP& map;
  std::vector<Node> nodes;
  std::vector<int64_t> heap_keys;
  std::vector<int32_t> heap_cells;  // also the buckets' spill room
  std::vector<int32_t> heap_slots;
  std::vector<int32_t> chunk_entries;
  std::vector<int32_t> chunk_links;
  std::vector<Buckets::Bucket> bucket_heads = std::vector<Buckets::Bucket>(kMaxBuckets);
  uint32_t stamp = 0;  // of the running query
  int32_t width = 0;
  int32_t height = 0;
  uint64_t row_magic = 0;
  int row_shift = 0;
  uint32_t inner_width = 0;  // columns 1 to width - 2
  uint32_t inner_height = 0;
  std::array<std::array<int32_t, kDirectionCount>, 2> inner_offsets{};  // by parity
  // The estimate of a route's search: per step, times the grid distance to the goal.
  int64_t estimate_step = 0;
  VECTOR2D goal;

  explicit Search(const HEXAGON_MAP& m) : map(m) {}

  // Ready for a query on the map as it is now: false when its grid is unusable or its buffers
  // cannot be had.
  bool begin_query() {
    if (!detail::size_fields_match(map)) return false;
    const auto count = static_cast<size_t>(map.CELL_COUNT);
    if (nodes.size() != count) {
      try {
        // Built aside and swapped in whole; after a failure the next query tries again.
        const size_t chunks = Buckets::chunks_needed(count, kMaxBuckets);
        std::vector<Node> fresh_nodes(count, Node{kUnreached, 0, 0});
        std::vector<int64_t> fresh_keys(count);
        std::vector<int32_t> fresh_cells(count);
        std::vector<int32_t> fresh_slots(count);
        std::vector<int32_t> fresh_entries(chunks * Buckets::kChunk);
        std::vector<int32_t> fresh_links(chunks);
        nodes.swap(fresh_nodes);
        heap_keys.swap(fresh_keys);
        heap_cells.swap(fresh_cells);
        heap_slots.swap(fresh_slots);
        chunk_entries.swap(fresh_entries);
        chunk_links.swap(fresh_links);
      } catch (const std::bad_alloc&) {
        nodes.clear();
        return false;
      }
      stamp = 0;
    }
    if (++stamp == kStampLimit) {
      for (Node& n : nodes)
        n.tag = 0;
      stamp = 1;
    }
    width = map.MAP_WIDTH;
    height = map.MAP_HEIGHT;
    // Exact for indices below 2^(row_shift - bit_width(width)), 2^32, beyond any grid.
    row_shift = 32 + std::bit_width(static_cast<uint32_t>(width));
    row_magic = (uint64_t{1} << row_shift) / static_cast<uint32_t>(width) + 1;
    inner_width = static_cast<uint32_t>(std::max(width - 2, 0));
    inner_height = static_cast<uint32_t>(std::max(height - 2, 0));
    for (int32_t parity = 0; parity < 2; ++parity)
      for (int32_t d = 0; d < kDirectionCount; ++d)
        inner_offsets[static_cast<size_t>(parity)][static_cast<size_t>(d)] =
            detail::index_step(d, width, width * parity);
    return true;
  }

  bool inside(VECTOR2D p) const {
    return static_cast<uint32_t>(p.X) < static_cast<uint32_t>(width) &&
           static_cast<uint32_t>(p.Y) < static_cast<uint32_t>(height);
  }
  int32_t index(VECTOR2D p) const { return p.Y * width + p.X; }
  // Without a division: (i * row_magic) >> row_shift is i / width for every index.
  VECTOR2D position(int32_t i) const {
    const auto y = static_cast<int32_t>((static_cast<uint64_t>(i) * row_magic) >> row_shift);
    return VECTOR2D(i - y * width, y);
  }
  bool current(const Node& n) const { return n.tag >> kStampShift == stamp; }

  // The node of cell i for this query. Entry sides and costs are read from the map on first
  // sight, for a run of kSegment cells at once: in index order the reads stream, while cell by
  // cell, as a search meets them, nearly each would wait on memory.
  template <typename Costs>
  Node& meet(int32_t i, const Costs& costs) {
    Node& n = nodes[static_cast<size_t>(i)];
    if (!current(n)) [[unlikely]]
      load_segment(i / kSegment * kSegment, costs);
    return n;
  }
  template <typename Costs>
  [[gnu::noinline]] void load_segment(int32_t first, const Costs& costs) {
    const int32_t last = std::min(first + kSegment, map.CELL_COUNT);
    for (int32_t i = first; i < last; ++i) {
      const MAP_CELL& c = map.CELLS[static_cast<size_t>(i)];
      const int32_t cost = costs.enter(c);
      const uint32_t sides = cost > 0 ? detail::entry_sides<detail::SolidStops::minus_one>(c) : 0u;
      nodes[static_cast<size_t>(i)] = Node{kUnreached, stamp << kStampShift | sides, cost};
    }
  }

  int64_t estimate(VECTOR2D p) const {
    return estimate_step * detail::distance(p.X, p.Y, goal.X, goal.Y);
  }
  int64_t key_of(int32_t i) const {
    const int64_t g = nodes[static_cast<size_t>(i)].dist;
    return estimate_step == 0 ? g : g + estimate(position(i));
  }

  // Settles cells from the sources until the lowest open key exceeds `limit`, or the settle
  // callback lowers the limit. Within one query a settled cell's cost is final.
  template <bool kHeap, typename Costs, typename Queue, typename OnSettle>
  void settle(const Costs& costs, Queue& queue, int64_t limit, OnSettle on_settle) {
    int32_t i = 0;
    int64_t key = 0;
    while (queue.pop(limit, i, key)) {
      limit = std::min(limit, on_settle(i, key));
      const int64_t g = nodes[static_cast<size_t>(i)].dist;
      const VECTOR2D p = position(i);
      // An inner cell has all six neighbours on the map, at fixed index offsets.
      if (static_cast<uint32_t>(p.X - 1) < inner_width &&
          static_cast<uint32_t>(p.Y - 1) < inner_height) {
        const int32_t* offsets = inner_offsets[static_cast<size_t>(p.X & 1)].data();
#pragma GCC unroll 6
        for (int32_t d = 0; d < kDirectionCount; ++d)
          relax<kHeap>(costs, queue, g, p, i + offsets[d], d);
      } else {
        for (int32_t d = 0; d < kDirectionCount; ++d) {
          const VECTOR2D q(p.X + column_step(d), p.Y + row_step(p.X, d));
          if (inside(q)) relax<kHeap>(costs, queue, g, p, index(q), d);
        }
      }
    }
  }
  // The step from p (at cost g) in direction d into cell j.
  template <bool kHeap, typename Costs, typename Queue>
  [[gnu::always_inline]] void relax(const Costs& costs, Queue& queue, int64_t g, VECTOR2D p,
                                    int32_t j, int32_t d) {
    Node& n = meet(j, costs);
    if ((n.tag >> d & 1u) == 0) return;
    const VECTOR2D q(p.X + column_step(d), p.Y + row_step(p.X, d));
    const int32_t c = costs.step(n, p, q, d);
    if (c <= 0 || g + c >= n.dist) return;
    const bool open = n.dist != kUnreached;  // so in the queue: a settled cost is final
    n.dist = g + c;
    const int64_t k = estimate_step == 0 ? n.dist : n.dist + estimate(q);
    if constexpr (kHeap) {
      if (open) return queue.decrease(j, k);
    }
    queue.push(j, k);  // the buckets leave the old entry behind
  }

  // Runs `settle` on the buckets when every step costs at most `dearest` (0: unknown), else on
  // the heap. A route's search needs twice the span: its keys also carry the estimate.
  template <typename Costs, typename OnSettle>
  void run(const Costs& costs, std::span<const VECTOR2D> sources, int32_t dearest, int64_t limit,
           OnSettle on_settle) {
    int64_t first_key = kUnreached;
    for (const VECTOR2D s : sources) {
      if (!inside(s)) continue;
      first_key = std::min(first_key, estimate(s));
      meet(index(s), costs).dist = 0;
    }
    if (first_key == kUnreached) return;
    const uint64_t span =
        uint64_t{static_cast<uint32_t>(dearest)} * (estimate_step > 0 ? 2 : 1) + 1;
    if (dearest > 0 && span <= kMaxBuckets) {
      Buckets queue(chunk_entries.data(), chunk_links.data(),
                    static_cast<int32_t>(chunk_links.size()), bucket_heads.data(),
                    std::bit_ceil(static_cast<uint32_t>(span)), heap_cells.data(), KeyOfCell{this},
                    first_key);
      push_sources(sources, queue);
      settle<false>(costs, queue, limit, on_settle);
    } else {
      detail::HeapQueue queue(heap_keys.data(), heap_cells.data(), heap_slots.data());
      push_sources(sources, queue);
      settle<true>(costs, queue, limit, on_settle);
    }
  }
  template <typename Queue>
  void push_sources(std::span<const VECTOR2D> sources, Queue& queue) {
    for (const VECTOR2D s : sources) {
      if (!inside(s) || nodes[static_cast<size_t>(index(s))].tag & kListedBit) continue;
      nodes[static_cast<size_t>(index(s))].tag |= kListedBit;
      queue.push(index(s), estimate(s));
    }
  }

  // The cheapest route from `from` to `to`, `low` the cheapest step there may be (0: unknown).
  // Once the goal is settled at cost F, every cell whose key is F is settled as well, so that
  // every cell on a cheapest route has its final cost for the walk back.
  template <typename Costs>
  bool route(VECTOR2D from, VECTOR2D to, const Costs& costs, int32_t low, int32_t dearest,
             Route& out) {
    out.cost = 0;
    out.cells.clear();
    if (!begin_query() || !inside(from) || !inside(to)) return false;
    if (from == to) {
      out.cells.push_back(from);
      return true;
    }
    estimate_step = low;
    goal = to;
    const int32_t goal_index = index(to);
    run(costs, std::span<const VECTOR2D>(&from, 1), dearest, kNoLimit,
        [goal_index](int32_t i, int64_t key) { return i == goal_index ? key : kNoLimit; });
    estimate_step = 0;
    const Node& end = nodes[static_cast<size_t>(goal_index)];
    if (!current(end) || end.dist == kUnreached) return false;
    if (!walk_back(from, to, costs, out)) {
      out.cells.clear();
      return false;
    }
    out.cost = end.dist;
    return true;
  }

  // From the goal to the start, each time to the neighbour in the lowest direction that lies
  // on a cheapest route to the cell; then reversed. Each step back costs less, so the walk
  // ends; false when a callable priced a step otherwise than during the search, and no
  // neighbour fits.
  template <typename Costs>
  bool walk_back(VECTOR2D from, VECTOR2D to, const Costs& costs, Route& out) {
    out.cells.push_back(to);
    for (VECTOR2D v = to; v != from;) {
      const Node& here = nodes[static_cast<size_t>(index(v))];
      const VECTOR2D at = v;
      for (int32_t k = 0; k < kDirectionCount && v == at; ++k) {
        const VECTOR2D u(v.X + column_step(k), v.Y + row_step(v.X, k));
        if (!inside(u)) continue;
        const Node& there = nodes[static_cast<size_t>(index(u))];
        const int32_t d = opposite(k);  // the step from u into v
        if (!current(there) || there.dist == kUnreached || (here.tag >> d & 1u) == 0) continue;
        const int32_t c = costs.step(here, u, v, d);
        if (c > 0 && there.dist + c == here.dist) v = u;
      }
      if (v == at) return false;
      out.cells.push_back(v);
    }
    std::reverse(out.cells.begin(), out.cells.end());
    return true;
  }

  // Every cell within the budget, scanned row by row over the box of the settled cells.
  template <typename Costs>
  void within(VECTOR2D from, int64_t budget, const Costs& costs, int32_t dearest,
              std::vector<Reach>& out) {
    out.clear();
    if (budget < 0 || !begin_query() || !inside(from)) return;
    VECTOR2D low = from;
    VECTOR2D high = from;
    run(costs, std::span<const VECTOR2D>(&from, 1), dearest, budget,
        [this, &low, &high](int32_t i, int64_t /*key*/) {
          const VECTOR2D p = position(i);
          low = VECTOR2D(std::min(low.X, p.X), std::min(low.Y, p.Y));
          high = VECTOR2D(std::max(high.X, p.X), std::max(high.Y, p.Y));
          return kNoLimit;
        });
    for (int32_t y = low.Y; y <= high.Y; ++y) {
      for (int32_t x = low.X; x <= high.X; ++x) {
        const Node& n =
            nodes[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        if (current(n) && n.dist != kUnreached && n.dist <= budget)
          out.push_back({VECTOR2D(x, y), n.dist});
      }
    }
  }

  template <typename Costs>
  void field(std::span<const VECTOR2D> sources, const Costs& costs, int32_t dearest,
             std::vector<int64_t>& out) {
    if (!begin_query()) {
      out.clear();
      return;
    }
    out.assign(nodes.size(), -1);
    int64_t* const result = out.data();
    run(costs, sources, dearest, kNoLimit, [result](int32_t i, int64_t key) {
      result[i] = key;
      return kNoLimit;
    });
  }
};

PathFinder::PathFinder(const HEXAGON_MAP& map) : search_(std::make_unique<Search>(map)) {}
PathFinder::~PathFinder() = default;
PathFinder::PathFinder(PathFinder&&) noexcept = default;

bool PathFinder::find_path(VECTOR2D from, VECTOR2D to, const TerrainCosts& costs, Route& route) {
  const auto [low, high] = cost_range(costs);
  return search_->route(from, to, TableCosts{costs.by_ground}, low, high, route);
}

void PathFinder::reachable(VECTOR2D from, int64_t budget, const TerrainCosts& costs,
                           std::vector<Reach>& out) {
  search_->within(from, budget, TableCosts{costs.by_ground}, cost_range(costs).second, out);
}

void PathFinder::distance_field(std::span<const VECTOR2D> sources, const TerrainCosts& costs,
                                std::vector<int64_t>& out) {
  search_->field(sources, TableCosts{costs.by_ground}, cost_range(costs).second, out);
}

bool PathFinder::find_path_by_steps(VECTOR2D from, VECTOR2D to, StepCostRef step_cost,
                                    Route& route) {
  return search_->route(from, to, CallableCosts{step_cost}, 0, 0, route);
}

void PathFinder::reachable_by_steps(VECTOR2D from, int64_t budget, StepCostRef step_cost,
                                    std::vector<Reach>& out) {
  search_->within(from, budget, CallableCosts{step_cost}, 0, out);
}

void PathFinder::distance_field_by_steps(std::span<const VECTOR2D> sources, StepCostRef step_cost,
                                         std::vector<int64_t>& out) {
  search_->field(sources, CallableCosts{step_cost}, 0, out);
}

}  // namespace hexmap
