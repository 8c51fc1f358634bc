// The engine's map text file as a MapDocument, through the engine's own reading and writing
// rules. Map files hold no overlay or prop ids.
#pragma once

#include <string>
#include <string_view>

#include "tools/map_document.hpp"
#include "tools/outcome.hpp"

namespace hexmap::tool {

Outcome<MapDocument> parse_map_text(std::string_view text);
// Refuses a tile file name that would not read back the same.
Outcome<std::string> format_map_text(const MapDocument& map);

}  // namespace hexmap::tool
