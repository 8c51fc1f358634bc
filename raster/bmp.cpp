#include "raster/internal.hpp"
namespace raster {
int bmp_load(std::string_view, Image*) {
  return detail::refuse("bmp_load: todo");
}
}  // namespace raster
