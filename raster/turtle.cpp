#include "raster/internal.hpp"
namespace raster {
int draw_commands(Image*, std::string_view) {
  return detail::refuse("todo");
}
}  // namespace raster
