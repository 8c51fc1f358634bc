// The tool's subcommands. Each writes its result to standard output and its failure, one line,
// to standard error, and returns the process's exit status.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/arguments.hpp"

namespace hexmap::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a problem in a file, or a file not read or written
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// Prints a one-line summary of a map, or its first problem with the line it is on.
int run_check(const std::filesystem::path& map);

// Prints the search's result between two cells.
int run_path(const std::filesystem::path& map, GridCell from, GridCell to, bool json);

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
};
// Draws the map through the engine on the headless backend into a PNG or BMP file, by the
// output's extension, or PNG to standard output for "-".
int run_render(const RenderRequest& request);

// One line "hexmap: why" on standard error.
void report(std::string_view why);

}  // namespace hexmap::tool
