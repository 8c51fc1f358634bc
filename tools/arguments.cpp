#include "tools/arguments.hpp"

#include <charconv>

namespace hexmap::tool {
namespace {

// A whole int32 in decimal, optionally negative; nothing else.
std::optional<int32_t> whole(std::string_view s) {
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// Splits at the first `sep`; nothing when it is missing.
std::optional<std::pair<std::string_view, std::string_view>> split(std::string_view s, char sep) {
  const size_t at = s.find(sep);
  if (at == std::string_view::npos) return std::nullopt;
  return std::pair{s.substr(0, at), s.substr(at + 1)};
}

}  // namespace

std::optional<GridCell> parse_cell(std::string_view text) {
  const auto parts = split(text, ',');
  if (!parts) return std::nullopt;
  const auto x = whole(parts->first);
  const auto y = whole(parts->second);
  if (!x || !y) return std::nullopt;
  return GridCell{*x, *y};
}

std::optional<PixelSize> parse_size(std::string_view text) {
  const auto parts = split(text, 'x');
  if (!parts) return std::nullopt;
  const auto w = whole(parts->first);
  const auto h = whole(parts->second);
  if (!w || !h || *w < 1 || *h < 1) return std::nullopt;
  return PixelSize{*w, *h};
}

std::optional<PathRequest> parse_path(std::string_view text) {
  const auto parts = split(text, ':');
  if (!parts) return std::nullopt;
  const auto from = parse_cell(parts->first);
  const auto to = parse_cell(parts->second);
  if (!from || !to) return std::nullopt;
  return PathRequest{*from, *to};
}

std::optional<FloodRequest> parse_flood(std::string_view text) {
  const size_t last = text.rfind(',');
  if (last == std::string_view::npos) return std::nullopt;
  const auto origin = parse_cell(text.substr(0, last));
  const auto steps = whole(text.substr(last + 1));
  if (!origin || !steps || *steps < 0) return std::nullopt;
  return FloodRequest{*origin, *steps};
}

std::optional<int32_t> parse_budget(std::string_view text) {
  const auto budget = whole(text);
  if (!budget || *budget < 0) return std::nullopt;
  return budget;
}

std::optional<GroundCosts> parse_costs(std::string_view text) {
  GroundCosts costs;
  for (;;) {
    const size_t comma = text.find(',');
    const auto pair = split(text.substr(0, comma), '=');
    if (!pair) return std::nullopt;
    const auto ground = whole(pair->first);
    const auto cost = whole(pair->second);
    if (!ground || !cost || *ground < 1 || *ground > kMaxCostedGround || *cost < 0 ||
        *cost > kMaxStepCost)
      return std::nullopt;
    costs[*ground] = *cost;
    if (comma == std::string_view::npos) return costs;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace hexmap::tool
