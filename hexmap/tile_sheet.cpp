// Checks a tile sheet file before anything is cut from it.
#include "hexmap/tile_sheet.hpp"

#include <filesystem>
#include <system_error>

#include "raster/raster.hpp"

namespace hexmap::detail {

namespace {

std::string size_text(int64_t width, int64_t height) {
  std::string text = "(";
  text.append(std::to_string(width)).append(" x ").append(std::to_string(height)).append(")");
  return text;
}

// raster's reasons begin with the name of the operation; the log names the sheet instead.
std::string_view without_operation(std::string_view reason) {
  const std::size_t colon = reason.find(": ");
  return colon == std::string_view::npos ? reason : reason.substr(colon + 2);
}

}  // namespace

std::string check_tile_sheet(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                             int32_t count, TileSheet& sheet) {
  if (tile_width < 1 || tile_height < 1) return "tile width and height must be at least 1";
  std::error_code error;
  const std::filesystem::file_status status =
      std::filesystem::status(std::filesystem::path(std::string(file_name)), error);
  if (status.type() == std::filesystem::file_type::not_found) return "file not found";
  if (!error && !std::filesystem::is_regular_file(status)) return "not a regular file";
  int width = 0;
  int height = 0;
  if (raster::bmp_size(file_name, width, height) != 0) {
    return "not a readable BMP file: " + std::string(without_operation(raster::failure_reason()));
  }
  if (width < tile_width || height < tile_height) {
    return "sheet " + size_text(width, height) + " is smaller than one tile " +
           size_text(tile_width, tile_height);
  }
  const TileSheet found{width, height, width / tile_width, height / tile_height};
  if (tiles_to_cut(count, found.columns * found.rows) > kMaxTileCount) {
    return "more than " + std::to_string(kMaxTileCount) + " tiles";
  }
  sheet = found;
  return {};
}

std::string tile_sheet_refusal(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                               int32_t count) {
  TileSheet sheet;
  return check_tile_sheet(file_name, tile_width, tile_height, count, sheet);
}

}  // namespace hexmap::detail
