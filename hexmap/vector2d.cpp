#include <ostream>
#include <string>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

std::string to_string(VECTOR2D v) {
  std::string text = "(";
  text.append(std::to_string(v.X)).append(",").append(std::to_string(v.Y)).append(")");
  return text;
}

std::ostream& operator<<(std::ostream& out, VECTOR2D v) {
  return out << to_string(v);
}

}  // namespace hexmap
