// Windows BMP files: 8-bit palette, 24 and 32 bits, either row order, no compression.
#include "raster/bmp.hpp"

#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "raster/internal.hpp"

namespace raster {
namespace detail {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr std::array<uint32_t, 5> kInfoHeaderSizes = {40, 52, 56, 108, 124};
constexpr uint32_t kPlainRgb = 0;
constexpr uint32_t kBitFields = 3;
// The only channel masks accepted with kBitFields: those of the plain 32-bit layout.
constexpr std::array<uint32_t, 3> kPlainMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
constexpr size_t kMaskBytes = 12;
constexpr size_t kPaletteEntryBytes = 4;
// Largest picture accepted, and the largest file read (the pixels of the largest picture at
// four bytes each, plus room for headers and gaps).
constexpr int64_t kMaxBmpPixels = kMaxPixels;
constexpr int64_t kMaxBmpFileBytes = kMaxBmpPixels * 4 + (int64_t{1} << 20);
constexpr Color kOpaque = 0xFF000000;

// Little-endian readers; callers have checked that the bytes lie inside the file.
uint16_t u16(std::span<const uint8_t> f, size_t at) {
  return static_cast<uint16_t>(f[at] | f[at + 1] << 8);
}
uint32_t u32(std::span<const uint8_t> f, size_t at) {
  return static_cast<uint32_t>(f[at]) | static_cast<uint32_t>(f[at + 1]) << 8 |
         static_cast<uint32_t>(f[at + 2]) << 16 | static_cast<uint32_t>(f[at + 3]) << 24;
}
int32_t i32(std::span<const uint8_t> f, size_t at) {
  return static_cast<int32_t>(u32(f, at));
}

Color bgr(const uint8_t* p) {
  return kOpaque | static_cast<Color>(p[2]) << 16 | static_cast<Color>(p[1]) << 8 | p[0];
}

}  // namespace

int bmp_layout(std::span<const uint8_t> file, BmpLayout& out) {
  // File offsets are bytes from the start of the file.
  const uint64_t size = file.size();
  if (size < kFileHeaderSize + 4) return refuse("bmp_load: file too short for a header");
  if (file[0] != 'B' || file[1] != 'M') return refuse("bmp_load: no BM signature");
  const uint64_t pixel_offset = u32(file, 10);
  const uint32_t header_size = u32(file, kFileHeaderSize);
  if (std::find(kInfoHeaderSizes.begin(), kInfoHeaderSizes.end(), header_size) ==
      kInfoHeaderSizes.end()) {
    return refuse("bmp_load: unsupported info header size");
  }
  if (size < kFileHeaderSize + header_size) return refuse("bmp_load: info header truncated");
  const int32_t width = i32(file, 18);
  const int32_t height_field = i32(file, 22);
  const uint16_t planes = u16(file, 26);
  const uint16_t bits = u16(file, 28);
  const uint32_t compression = u32(file, 30);
  const uint32_t colours_used = u32(file, 46);

  if (width <= 0) return refuse("bmp_load: width not positive");
  if (height_field == 0 || height_field == INT32_MIN) return refuse("bmp_load: bad height");
  const bool top_down = height_field < 0;
  const int32_t height = top_down ? -height_field : height_field;
  if (planes != 1) return refuse("bmp_load: planes is not 1");
  if (bits != 8 && bits != 24 && bits != 32) return refuse("bmp_load: unsupported bit depth");
  if (int64_t{width} * height > kMaxBmpPixels) return refuse("bmp_load: picture too large");

  // The masks sit right after the 40-byte header; longer headers hold them at the same place.
  uint64_t table_start = kFileHeaderSize + header_size;
  if (compression == kBitFields) {
    if (bits != 32) return refuse("bmp_load: bit fields only with 32 bits");
    const size_t masks_at = kFileHeaderSize + 40;
    if (size < masks_at + kMaskBytes) return refuse("bmp_load: channel masks truncated");
    for (size_t i = 0; i < kPlainMasks.size(); ++i) {
      if (u32(file, masks_at + 4 * i) != kPlainMasks[i]) {
        return refuse("bmp_load: channel masks differ from the plain layout");
      }
    }
    if (header_size == 40) table_start += kMaskBytes;
  } else if (compression != kPlainRgb) {
    return refuse("bmp_load: compressed files are not supported");
  }

  BmpLayout layout;
  std::array<Color, kMaxPaletteEntries>& palette = layout.palette;
  palette.fill(kOpaque);  // indices beyond the file's palette read as black
  if (bits == 8) {
    const uint32_t entries = colours_used == 0 ? kMaxPaletteEntries : colours_used;
    if (entries > kMaxPaletteEntries) return refuse("bmp_load: palette larger than 256");
    const uint64_t table_end = table_start + uint64_t{entries} * kPaletteEntryBytes;
    if (table_end > pixel_offset || table_end > size) {
      return refuse("bmp_load: palette runs into the pixels or past the file");
    }
    for (uint32_t i = 0; i < entries; ++i) {
      palette[i] = bgr(&file[table_start + uint64_t{i} * kPaletteEntryBytes]);
    }
  } else if (pixel_offset < table_start) {
    return refuse("bmp_load: pixels overlap the headers");
  }

  const uint64_t stride = (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4;
  if (pixel_offset > size || stride * static_cast<uint64_t>(height) > size - pixel_offset) {
    return refuse("bmp_load: pixel data past the end of the file");
  }

  layout.width = width;
  layout.height = height;
  layout.top_down = top_down;
  layout.bits = bits;
  layout.pixel_offset = pixel_offset;
  layout.stride = stride;
  out = layout;
  return 0;
}

int bmp_decode(std::span<const uint8_t> file, Picture& out) {
  BmpLayout layout;
  if (const int failed = bmp_layout(file, layout); failed != 0) return failed;
  const auto& [width, height, top_down, bits, pixel_offset, stride, palette] = layout;
  Picture picture;
  try {
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    return refuse("bmp_load: out of memory");
  }
  picture.width = width;
  picture.height = height;
  const int bytes = bits / 8;
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* src = file.data() + pixel_offset + stride * static_cast<uint64_t>(r);
    Color* dst = picture.pixels.data() +
                 static_cast<size_t>(top_down ? r : height - 1 - r) * static_cast<size_t>(width);
    if (bits == 8) {
      for (int32_t x = 0; x < width; ++x)
        dst[x] = palette[src[x]];
    } else {
      for (int32_t x = 0; x < width; ++x)
        dst[x] = bgr(src + static_cast<size_t>(x) * bytes);
    }
  }
  out = std::move(picture);
  return 0;
}

int bmp_load_bytes(std::span<const uint8_t> file, Image* dest) {
  const auto canvas = canvas_for(dest);
  if (!canvas) return refuse("bmp_load: no screen is open");
  Picture picture;
  if (const int failed = bmp_decode(file, picture); failed != 0) return failed;
  // Target pixels, inclusive: the picture at (0, 0) cut to the clip.
  const Rect area = Rect{0, 0, picture.width - 1, picture.height - 1}.intersect(canvas->clip);
  for (int y = area.top; y <= area.bottom && !area.empty(); ++y) {
    std::memcpy(canvas->row(y) + area.left,
                picture.pixels.data() + static_cast<size_t>(y) * picture.width + area.left,
                static_cast<size_t>(area.right - area.left + 1) * sizeof(Color));
  }
  canvas_changed(*canvas);
  return 0;
}

}  // namespace detail

namespace {

// The whole file, or a non-zero result with a reason prefixed by `who`. Anything but a regular
// file is refused by name: a directory opens as a stream and would report a bogus length.
int read_file(std::string_view file_name, std::string_view who, std::vector<uint8_t>& bytes) {
  const std::string name(file_name);
  const std::string prefix = std::string(who) + ": ";
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(name, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return detail::refuse(prefix + "file not found");
  }
  if (error) return detail::refuse(prefix + "cannot open the file: " + error.message());
  if (!std::filesystem::is_regular_file(status)) {
    return detail::refuse(prefix + "not a regular file");
  }
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  if (!in) return detail::refuse(prefix + "cannot open the file");
  const std::streamoff length = in.tellg();
  if (length < 0) return detail::refuse(prefix + "cannot read the file");
  if (length > detail::kMaxBmpFileBytes) return detail::refuse(prefix + "file too large");
  try {
    bytes.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    return detail::refuse(prefix + "out of memory");
  }
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) {
    return detail::refuse(prefix + "cannot read the file");
  }
  return 0;
}

}  // namespace

int bmp_load(std::string_view file_name, Image* dest) {
  if (dest == nullptr && !detail::screen().open) {
    return detail::refuse("bmp_load: no screen is open");
  }
  std::vector<uint8_t> bytes;
  if (const int failed = read_file(file_name, "bmp_load", bytes); failed != 0) return failed;
  return detail::bmp_load_bytes(bytes, dest);
}

int bmp_size(std::string_view file_name, int& width, int& height) {
  std::vector<uint8_t> bytes;
  if (const int failed = read_file(file_name, "bmp_load", bytes); failed != 0) return failed;
  detail::Picture picture;
  if (const int failed = detail::bmp_decode(bytes, picture); failed != 0) return failed;
  width = picture.width;
  height = picture.height;
  return 0;
}

}  // namespace raster
