// Image buffers: creation, size, rectangle copies, and the opaque-run table the puts use.
#include <cstring>
#include <new>

#include "raster/internal.hpp"

namespace raster {

void Image::refresh_runs() const {
  if (!runs_stale) return;
  runs.clear();
  row_runs.assign(static_cast<size_t>(height), RowRuns{});
  for (int y = 0; y < height; ++y) {
    RowRuns& row_info = row_runs[static_cast<size_t>(y)];
    row_info.first_run = static_cast<int>(runs.size());
    const Color* r = row(y);
    int x = 0;
    while (x < width) {
      while (x < width && detail::is_transparent(r[x]))
        ++x;
      const int start = x;
      while (x < width && !detail::is_transparent(r[x]))
        ++x;
      if (x > start) runs.push_back({start, x - start});
    }
    row_info.run_count = static_cast<int>(runs.size()) - row_info.first_run;
    if (row_info.run_count > 0) {
      row_info.begin = runs[static_cast<size_t>(row_info.first_run)].x;
      row_info.end = runs.back().x + runs.back().length;
    }
  }
  runs_stale = false;
}

Image* image_create(int width, int height, Color fill, int depth, bool fill_given) {
  if (!detail::screen().open) {
    detail::refuse("image_create: no screen is open");
    return nullptr;
  }
  if (width < 1 || height < 1) {
    detail::refuse("image_create: width or height below 1");
    return nullptr;
  }
  if (width > detail::kMaxSide || height > detail::kMaxSide ||
      int64_t{width} * height > detail::kMaxPixels) {
    detail::refuse("image_create: image larger than the size limit");
    return nullptr;
  }
  if (depth != 0 && depth != detail::screen().depth) {
    detail::refuse("image_create: depth differs from the screen's");
    return nullptr;
  }
  // The one owning raw pointer of the layer: handles cross the public interface as Image*.
  Image* image = new (std::nothrow) Image;
  if (image == nullptr) {
    detail::refuse("image_create: out of memory");
    return nullptr;
  }
  try {
    image->pixels.assign(static_cast<size_t>(width) * height, fill_given ? fill : kTransparent);
  } catch (const std::bad_alloc&) {
    delete image;
    detail::refuse("image_create: out of memory");
    return nullptr;
  }
  image->width = width;
  image->height = height;
  image->mark_changed();
  return image;
}

void image_destroy(Image* image) {
  delete image;
}

int image_width(const Image* image) {
  return image != nullptr ? image->width : 0;
}
int image_height(const Image* image) {
  return image != nullptr ? image->height : 0;
}

std::span<const Color> image_pixels(const Image* image) {
  if (image == nullptr) return {};
  return image->pixels;
}

int image_get(const Image* source, int x1, int y1, int x2, int y2, Image* dest) {
  if (dest == nullptr) return detail::refuse("image_get: no destination image");
  const Image* from = source;
  if (from == nullptr) {
    if (!detail::screen().open) return detail::refuse("image_get: no screen is open");
    from = &detail::screen().frame;
  }
  // Source pixels, corners inclusive; the rectangle must lie wholly inside the source.
  if (x1 < 0 || y1 < 0 || x2 < x1 || y2 < y1 || x2 >= from->width || y2 >= from->height) {
    return detail::refuse("image_get: rectangle not inside the source");
  }
  const int w = x2 - x1 + 1;
  const int h = y2 - y1 + 1;
  if (dest->width != w || dest->height != h) {
    return detail::refuse("image_get: destination size differs from the rectangle");
  }
  // memmove: dest may be the source itself (then the copy is the identity).
  for (int y = 0; y < h; ++y) {
    std::memmove(dest->row(y), from->row(y1 + y) + x1, static_cast<size_t>(w) * sizeof(Color));
  }
  dest->mark_changed();
  return 0;
}

}  // namespace raster
