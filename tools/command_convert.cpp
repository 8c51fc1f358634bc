#include <iostream>

#include "tools/commands.hpp"
#include "tools/file_io.hpp"
#include "tools/map_source.hpp"
#include "tools/map_text.hpp"
#include "tools/output_file.hpp"

namespace hexmap::tool {
namespace {

int to_tiled(const LoadedMap& loaded, const std::filesystem::path& in,
             const std::filesystem::path& out, MapFormat format) {
  constexpr int kTileFilenameLine = 5;  // of a map file
  auto size = sheet_size(loaded.sheet);
  if (!size) {
    report(in.string() + ":" + std::to_string(kTileFilenameLine) + ": " + size.failure().reason);
    return kExitFailure;
  }
  const TmxSheet sheet{relative_name(loaded.sheet, folder_of(out)), *size};
  auto text =
      format == MapFormat::tmx ? write_tmx(loaded.map, sheet) : write_tiled_json(loaded.map, sheet);
  if (!text) {
    report(in.string() + ": " + text.failure().reason);
    return kExitFailure;
  }
  if (std::string why = write_file_atomically(out, *text); !why.empty()) {
    report(why);
    return kExitFailure;
  }
  return kExitOk;
}

int to_text(LoadedMap loaded, const std::filesystem::path& in, const std::filesystem::path& out,
            bool force) {
  std::vector<PendingFile> files;
  auto picture = converted_sheet(loaded);
  if (!picture) {
    report(picture.failure().reason);
    return kExitFailure;
  }
  if (*picture) {
    // The engine loads one BMP sheet: a PNG sheet's copy, or the sheet assembled from several
    // tileset images, goes beside the map file, named after it.
    std::filesystem::path bmp = out;
    bmp.replace_extension(".bmp");
    files.push_back({bmp, encode_bmp_sheet(**picture, loaded.transparent), true, force});
    loaded.map.tile_filename = bmp.filename().string();
  } else {
    loaded.map.tile_filename = relative_name(loaded.sheet, folder_of(out));
  }
  size_t dropped = 0;
  for (const CellDocument& c : loaded.map.cells)
    dropped += c.overlay != 0 || c.prop != 0;
  auto text = format_map_text(loaded.map);
  if (!text) {
    report(in.string() + ": " + text.failure().reason);
    return kExitFailure;
  }
  files.push_back({out, std::move(*text)});
  if (std::string why = write_files_atomically(files); !why.empty()) {
    report(why);
    return kExitFailure;
  }
  if (dropped > 0)
    std::cerr << "hexmap: note: map files hold no overlay or prop ids; those of " << dropped
              << " cells were left out\n";
  if (!loaded.map.ground_costs.empty())
    std::cerr << "hexmap: note: map files hold no ground costs; the "
              << loaded.map.ground_costs.size() << " costs of the tilesets were left out\n";
  return kExitOk;
}

}  // namespace

int run_convert(const std::filesystem::path& in, const std::filesystem::path& out, bool force) {
  const auto to = format_of(out);
  const FileRead read = read_file(in);
  const auto from = read.bytes ? detect_format(in, *read.bytes) : Outcome<MapFormat>(Failure{});
  if (!to || (from && (*from == MapFormat::text) == (*to == MapFormat::text))) {
    report("convert needs one map file (.txt) and one Tiled map (.tmx, .tmj or .json), got " +
           in.string() + " and " + out.string());
    return kExitUsage;
  }
  auto loaded = load_map(in);
  if (!loaded) {
    report(loaded.failure().reason);
    return kExitFailure;
  }
  note_input(loaded->sheet);
  return *to == MapFormat::text ? to_text(std::move(*loaded), in, out, force)
                                : to_tiled(*loaded, in, out, *to);
}

}  // namespace hexmap::tool
