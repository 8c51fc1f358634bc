// The engine's sheet for a map whose tiles come from several tileset images.
#pragma once

#include <filesystem>
#include <functional>

#include "tools/outcome.hpp"
#include "tools/picture.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {

// The decoded picture of a tileset image, or why it cannot be had.
using PictureSource = std::function<Outcome<const Picture*>(const std::filesystem::path&)>;

// Tiles per row of the assembled sheet: near square, within the largest picture side.
int32_t sheet_columns(const SheetPlan& plan);

// Every tile of the plan in order, row after row, with the panels drawn. See-through pixels
// (less than half opaque, or a tileset's `trans` colour) have alpha 0.
Outcome<Picture> assemble_sheet(const SheetPlan& plan, const PictureSource& picture_of);

}  // namespace hexmap::tool
