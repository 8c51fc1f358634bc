// Fuzzes BMP decoding: every input is loaded into an image and onto the screen (under a view),
// and a decoded picture is then put back through both put modes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "raster/bmp.hpp"
#include "raster/raster.hpp"

namespace {

constexpr int kScreenWidth = 64;
constexpr int kScreenHeight = 48;
constexpr int kImageWidth = 40;
constexpr int kImageHeight = 30;

bool open_screen() {
  raster::select_backend(raster::Backend::headless);
  return raster::screen_set_mode(kScreenWidth, kScreenHeight, 32) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool screen_open = open_screen();
  if (!screen_open) __builtin_trap();
  const std::span<const uint8_t> file(data, size);

  raster::Image* image = raster::image_create(kImageWidth, kImageHeight);
  if (image == nullptr) __builtin_trap();
  const int into_image = raster::detail::bmp_load_bytes(file, image);

  raster::view_set(3, 5, 50, 40);
  const int onto_screen = raster::detail::bmp_load_bytes(file, nullptr);
  raster::view_set();
  // The same bytes must be judged the same way whatever the destination.
  if ((into_image == 0) != (onto_screen == 0)) __builtin_trap();

  if (into_image == 0) {
    const float at = static_cast<float>(size % 80) - 40;
    raster::put_image(nullptr, at, at / 2, image, raster::put_transparent);
    raster::put_image(nullptr, -at, at, image, raster::put_alpha_blend,
                      static_cast<int>(size % 256));
  }
  raster::image_destroy(image);
  return 0;
}
