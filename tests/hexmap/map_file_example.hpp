// The documented 2 x 1 example map file, CR LF after every line, and edits of it.
#pragma once

#include <string>
#include <string_view>

namespace hexmap::testing {

inline constexpr std::string_view kExample =
    "- map property -\r\n"
    "\"map width\",2\r\n"
    "\"map_height\",1\r\n"
    "- tile property -\r\n"
    "\"tile filename\",\"tiles.bmp\"\r\n"
    "\"tile width\",64\r\n"
    "\"tile height\",48\r\n"
    "\"number of tiles\",20\r\n"
    "- tile overlap property -\r\n"
    "\"box_width\",48\r\n"
    "\"box_height\",32\r\n"
    "- solid panel property -\r\n"
    "\"wall panel\",19\r\n"
    "- floodmap panel property -\r\n"
    "\"flood panel\",18\r\n"
    "- wall panels property -\r\n"
    "\"first (top) wall panel\",10\r\n"
    "- map cell property : 2 elements -\r\n"
    "ground, solid flag, wall bit-field\r\n"
    " 1             0             0\r\n"
    " 3            -1             5\r\n";

// text with the first occurrence of `from` replaced by `to`, or every one when `from` is a
// line end.
inline std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const bool every = from == "\r\n";
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = every ? text.find(from, at + to.size()) : std::string::npos)
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace hexmap::testing
