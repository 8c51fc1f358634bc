// Which layer gives what: the ground, the engine's named layers, solid tiles anywhere, and a
// warning for every layer left out.
#include <algorithm>

#include "tools/layer_data.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

enum class Role { ground, wall, solid, overlay, prop, other };

struct LayerRole {
  Role role = Role::other;
  int side = 0;  // for walls
};

std::string lowercase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// The engine's layer names, in any case.
LayerRole named_role(std::string_view name) {
  const std::string n = lowercase(name);
  if (n == kGroundLayer) return {Role::ground};
  if (n == kSolidLayer) return {Role::solid};
  if (n == kOverlayLayer) return {Role::overlay};
  if (n == kPropLayer) return {Role::prop};
  for (int side = 0; side < 6; ++side)
    if (n == kWallLayers[side]) return {Role::wall, side};
  return {Role::other};
}

bool drawn_tile_layer(const TiledLayer& l) {
  return l.kind == TiledLayerKind::tile && l.visible;
}

// The ground layer: the visible one named "ground", else the bottom-most visible tile layer
// without an engine name.
const TiledLayer* ground_layer(const std::vector<TiledLayer>& layers) {
  for (const TiledLayer& l : layers)
    if (drawn_tile_layer(l) && named_role(l.name).role == Role::ground) return &l;
  for (const TiledLayer& l : layers)
    if (drawn_tile_layer(l) && named_role(l.name).role == Role::other) return &l;
  return nullptr;
}

// Why a layer is left out, or empty when it is read.
std::string skip_reason(const TiledLayer& l, const TiledLayer* ground, LayerRole role) {
  if (l.kind == TiledLayerKind::object) return "object layers hold no cells";
  if (l.kind == TiledLayerKind::image) return "image layers hold no cells";
  if (!l.visible) return "it is hidden";
  if (&l == ground) return {};
  if (role.role == Role::ground) return "the ground comes from the first layer named 'ground'";
  if (role.role == Role::other)
    return "hexmap draws one ground layer (its tiles marked solid still make cells solid)";
  return {};
}

void apply(CellDocument& cell, LayerRole role, const GidTable::Tile& tile) {
  if (tile.solid) cell.solid = -1;
  switch (role.role) {
    case Role::ground:
      cell.ground = tile.id;
      break;
    case Role::wall:
      cell.wall |= 1 << role.side;
      break;
    case Role::solid:
      cell.solid = -1;
      break;
    case Role::overlay:
      cell.overlay = tile.id;
      break;
    case Role::prop:
      cell.prop = tile.id;
      break;
    case Role::other:
      break;
  }
}

std::optional<Failure> place_chunk(const TiledChunk& chunk, const std::string& layer,
                                   LayerRole role, const GridWindow& window, const GidTable& gids,
                                   std::vector<CellDocument>& cells) {
  // The engine draws ground, overlay and prop tiles as they are; walls and solid marks only
  // need a tile to be there.
  const bool drawn =
      role.role == Role::ground || role.role == Role::overlay || role.role == Role::prop;
  for (size_t i = 0; i < chunk.gids.size(); ++i) {
    const int32_t x = chunk.x + static_cast<int32_t>(i % static_cast<size_t>(chunk.width));
    const int32_t y = chunk.y + static_cast<int32_t>(i / static_cast<size_t>(chunk.width));
    // Tiled's cell, for reasons only: most maps never need one.
    const auto at = [x, y] { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; };
    uint32_t gid = chunk.gids[i];
    if (gid & kGidFlagMask) {
      if (drawn)
        return failure_at(chunk.where, "the tile at " + at() + " of layer " + in_quotes(layer) +
                                           " is flipped or rotated; hexmap draws tiles only as "
                                           "they are");
      gid &= ~kGidFlagMask;
    }
    if (gid == 0) continue;
    const std::optional<GidTable::Tile> tile = gids.find(gid);
    if (!tile)
      return failure_at(chunk.where, "the tile at " + at() + " of layer " + in_quotes(layer) +
                                         " (gid " + std::to_string(gid) +
                                         ") is beyond every tileset");
    const size_t index = static_cast<size_t>(y - window.y) * static_cast<size_t>(window.width) +
                         static_cast<size_t>(x - window.x);
    apply(cells[index], role, *tile);
  }
  return std::nullopt;
}

}  // namespace

std::optional<GidTable::Tile> GidTable::find(uint32_t gid) const {
  const auto after = std::upper_bound(
      tilesets.begin(), tilesets.end(), gid,
      [](uint32_t g, const TiledTileset& t) { return g < static_cast<uint32_t>(t.first_gid); });
  if (after == tilesets.begin()) return std::nullopt;
  const TiledTileset& t = *std::prev(after);
  const int64_t local = int64_t{gid} - t.first_gid;
  if (local >= t.tile_count) return std::nullopt;
  return Tile{static_cast<int32_t>(int64_t{gid} - shift),
              t.solid_tiles.contains(static_cast<int32_t>(local))};
}

Outcome<std::vector<CellDocument>> place_layers(const TiledMap& map, const GridWindow& window,
                                                const GidTable& gids,
                                                std::vector<Failure>& warnings) {
  std::vector<CellDocument> cells(static_cast<size_t>(window.width) *
                                  static_cast<size_t>(window.height));
  const TiledLayer* ground = ground_layer(map.layers);
  if (!ground)
    warnings.push_back(
        failure_at(map.where, "no tile layer gives ground: every cell has ground 0"));
  for (const TiledLayer& l : map.layers) {
    LayerRole role = &l == ground ? LayerRole{Role::ground} : named_role(l.name);
    if (const std::string why = skip_reason(l, ground, role); !why.empty()) {
      warnings.push_back(failure_at(l.where, "layer " + in_quotes(l.name) + " is skipped: " + why));
      if (l.kind != TiledLayerKind::tile || !l.visible) continue;
      role = {Role::other};
    }
    if (l.offset)
      warnings.push_back(failure_at(l.where, "layer " + in_quotes(l.name) +
                                                 " has an offset in Tiled; hexmap draws it "
                                                 "without"));
    for (const TiledChunk& chunk : l.chunks)
      if (auto f = place_chunk(chunk, l.name, role, window, gids, cells)) return *f;
  }
  return cells;
}

}  // namespace hexmap::tool
