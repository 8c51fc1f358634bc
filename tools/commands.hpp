// The tool's subcommands. Each writes its result to standard output and its failure, one line,
// to standard error, and returns the process's exit status.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "hexmap/pathfinder.hpp"
#include "tools/arguments.hpp"

namespace hexmap::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a problem in a file, or a file not read or written
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// Prints a one-line summary of a map, or its first problem with the line it is on.
int run_check(const std::filesystem::path& map);

// Prints the search's result between two cells: the engine's A* search, or with ground costs
// the cheapest route.
int run_path(const std::filesystem::path& map, GridCell from, GridCell to, bool json,
             const std::optional<GroundCosts>& costs);

// Prints every cell within the budget of `origin`, by the ground costs, with its cost.
int run_range(const std::filesystem::path& map, GridCell origin, int64_t budget,
              const GroundCosts& costs, bool json);

// Loads a map into `map` for a search between `cells`, and with `overrides` its ground costs.
// Nothing on success, else the exit status, the failure reported.
std::optional<int> load_for_search(const std::filesystem::path& file,
                                   std::initializer_list<GridCell> cells,
                                   const GroundCosts* overrides, HEXAGON_MAP& map,
                                   TerrainCosts& costs);

// Prints the cells seen from a cell within `radius` steps.
int run_sight(const std::filesystem::path& map, GridCell viewer, int32_t radius, bool json);

// Map file to Tiled map or back, by the files' extensions. A tile sheet written beside OUT
// replaces an old one only when hexmap wrote that, or with `force`.
int run_convert(const std::filesystem::path& in, const std::filesystem::path& out, bool force);

struct RenderRequest {
  std::filesystem::path map;
  std::filesystem::path out;
  std::optional<PixelSize> size;   // default: the whole map
  std::optional<GridCell> center;  // default: cell (0, 0)'s box at the picture's top-left
  std::optional<PathRequest> path;
  std::optional<FloodRequest> flood;
  std::optional<FloodRequest> range;  // the cells within a budget, by the ground costs
  GroundCosts costs;                  // over the map's own
  std::optional<FloodRequest> sight;  // viewer and radius: the cells out of sight are darker
};
// Draws the map through the engine on the headless backend into a PNG or BMP file, by the
// output's extension, or PNG to standard output for "-".
int run_render(const RenderRequest& request);

// One line "hexmap: why" on standard error.
void report(std::string_view why);

}  // namespace hexmap::tool
