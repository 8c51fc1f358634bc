// Placeholder until the rasterizer lands: only what the engine links against.
#include "raster/raster.hpp"

namespace raster {
void image_destroy(Image*) {}
}  // namespace raster
