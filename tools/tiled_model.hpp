// A Tiled map as its TMX or JSON file states it, before any of hexmap's rules apply: both
// readers fill this form, and one set of rules turns it into a MapDocument.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/outcome.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {

inline constexpr int64_t kMaxTileSide = 1 << 15;  // the screen's own largest side
inline constexpr int kMaxGroupDepth = 64;  // far beyond any map; bounds the readers' recursion

// "'text'", as every reason quotes names and values.
std::string in_quotes(std::string_view s);

// Where a value stands in its file: the line of a TMX or TSX element, or the path of a JSON
// value ("layers[2].data"). `file` names an external tileset file; empty for the map itself.
struct Place {
  int line = 0;
  std::string path;
  std::string file;
};

// A reason about the value at `where`, located as Failure wants it: the map's own lines in
// Failure::line, other files' names and JSON paths in the reason.
Failure failure_at(const Place& where, const std::string& reason);

struct TiledTileImage {  // one tile of a collection-of-images tileset
  int32_t id = 0;
  std::filesystem::path image;
  ImageSize size;
  Place where;
};

struct TiledTileset {
  Place where;
  std::string name;
  int32_t first_gid = 1;
  int32_t tile_width = 0;  // pixels
  int32_t tile_height = 0;
  int32_t tile_count = 0;
  int32_t columns = 0;
  int32_t margin = 0;           // pixels around the image's tiles
  int32_t spacing = 0;          // pixels between tiles
  std::filesystem::path image;  // resolved against the tileset's folder; empty for collections
  ImageSize image_size;
  TransparentColour transparent;
  std::vector<TiledTileImage> tile_images;  // a collection's images, by tile id
  int32_t offset_x = 0;                     // Tiled's drawing offset, screen pixels
  int32_t offset_y = 0;
  std::map<int32_t, int32_t> costs;  // tile id -> "cost" property
  std::set<int32_t> solid_tiles;     // tile ids whose "solid" property is true
};

// A rectangle of a tile layer's gids; finite maps have one chunk at (0, 0) the map's size.
struct TiledChunk {
  Place where;
  int32_t x = 0;  // grid, top-left cell, inclusive
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> gids;  // row after row
};

enum class TiledLayerKind { tile, object, image };

struct TiledLayer {
  Place where;
  std::string name;
  TiledLayerKind kind = TiledLayerKind::tile;
  bool visible = true;  // false also when a group around it is hidden
  bool offset = false;  // drawn shifted in Tiled (its own or a group's offset)
  std::vector<TiledChunk> chunks;
};

struct TiledProperty {
  Place where;
  std::string type;  // "int", "string", "bool", ...
  std::string value;
};

struct TiledMap {
  Place where;
  std::string orientation;
  std::string stagger_axis;
  std::string stagger_index;
  int32_t width = 0;  // cells; of infinite maps, what the file states
  int32_t height = 0;
  int32_t tile_width = 0;  // the hexagon's size in map pixels, as stated (maybe odd)
  int32_t tile_height = 0;
  int32_t hex_side = 0;
  bool infinite = false;
  std::map<std::string, TiledProperty> properties;
  std::vector<TiledTileset> tilesets;
  std::vector<TiledLayer> layers;  // bottom first; groups read through
};

// Reading either file form; `folder` is the map's own, against which relative names resolve.
Outcome<TiledMap> parse_tiled_xml(std::string_view text, const std::filesystem::path& folder,
                                  const TmxSources& sources);
Outcome<TiledMap> parse_tiled_json(std::string_view text, const std::filesystem::path& folder,
                                   const TmxSources& sources);

// An external tileset file's text, of either form by its content (XML .tsx, JSON .tsj);
// first_gid is left to the map that names it.
Outcome<TiledTileset> parse_tileset_file(std::string_view text, const std::filesystem::path& file,
                                         const TmxSources& sources);
Outcome<TiledTileset> parse_tsx(std::string_view text, const std::filesystem::path& file,
                                const TmxSources& sources);
Outcome<TiledTileset> parse_tsj(std::string_view text, const std::filesystem::path& file);

// The engine's meaning of a tile's own properties: "solid" (bool) and "cost" (int).
std::optional<Failure> read_tile_properties(int32_t id,
                                            const std::map<std::string, TiledProperty>& props,
                                            TiledTileset& t);

// Checks shared by both readers once a tileset's values are in: the images' sizes and what
// they hold, the tile ids of properties. Sets tile_count for image tilesets stating none.
std::optional<Failure> check_tileset(TiledTileset& t, const TmxSources& sources);

// The map's hexmap form from the file's form, with one warning per thing left out.
Outcome<TmxImport> import_tiled_map(TiledMap&& tiled);

// Which tile a gid names. Tilesets sorted by first gid; Tiled's rule: the last one starting at
// or below the gid holds it.
struct GidTable {
  const std::vector<TiledTileset>& tilesets;
  int32_t shift = 0;  // 1 for hexmap's own exports, where gid g is tile g - 1; else 0

  struct Tile {
    int32_t id = 0;  // in the engine's sheet
    bool solid = false;
  };
  std::optional<Tile> find(uint32_t gid) const;  // gid without flip bits; nothing beyond
};

// The rectangle of Tiled's cells that becomes the map: grid, corners inclusive of (x, y).
struct GridWindow {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Every layer's cells after the layer rules, with a warning for each layer left out.
Outcome<std::vector<CellDocument>> place_layers(const TiledMap& map, const GridWindow& window,
                                                const GidTable& gids,
                                                std::vector<Failure>& warnings);

}  // namespace hexmap::tool
