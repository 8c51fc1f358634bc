#include "tools/picture.hpp"

#include <png.h>

#include <cstring>

#include "raster/bmp.hpp"

namespace hexmap::tool {
namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kHalfOpaque = 0x80;
constexpr size_t kPngSignatureBytes = 8;
// The BMP file header's two reserved words, which readers ignore, mark the sheets the tool
// writes, so that it replaces them and nothing else.
constexpr size_t kSheetMarkOffset = 6;
constexpr std::string_view kSheetMark = "hxmp";

uint32_t read_be32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 |
         uint32_t{b[at + 3]};
}
void put_le(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

bool sane(int64_t w, int64_t h) {
  return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
         w * h <= kMaxPicturePixels;
}

struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
};

}  // namespace

Outcome<Picture> decode_png(std::span<const uint8_t> file) {
  PngImage png;
  if (!png_image_begin_read_from_memory(&png.image, file.data(), file.size()))
    return Failure{std::string("not a PNG picture: ") + png.image.message};
  if (!sane(png.image.width, png.image.height))
    return Failure{"PNG picture of " + std::to_string(png.image.width) + " x " +
                   std::to_string(png.image.height) + " pixels is too large"};
  png.image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
  Picture p;
  p.width = static_cast<int32_t>(png.image.width);
  p.height = static_cast<int32_t>(png.image.height);
  p.pixels.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
  if (!png_image_finish_read(&png.image, nullptr, p.pixels.data(), 0, nullptr))
    return Failure{std::string("damaged PNG picture: ") + png.image.message};
  return p;
}

Outcome<std::string> encode_png(const Picture& p) {
  if (!sane(p.width, p.height) ||
      p.pixels.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height))
    return Failure{"picture size out of range"};
  // The screen's alpha byte means nothing: every pixel is written opaque.
  std::vector<uint32_t> opaque(p.pixels);
  for (uint32_t& px : opaque)
    px |= kOpaque;
  PngImage png;
  png.image.width = static_cast<png_uint_32>(p.width);
  png.image.height = static_cast<png_uint_32>(p.height);
  png.image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png.image, nullptr, &size, 0, opaque.data(), 0, nullptr))
    return Failure{std::string("PNG encoding failed: ") + png.image.message};
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, opaque.data(), 0, nullptr))
    return Failure{std::string("PNG encoding failed: ") + png.image.message};
  out.resize(size);
  return out;
}

std::optional<ImageSize> bmp_size(std::span<const uint8_t> file) {
  raster::detail::BmpLayout layout;
  if (raster::detail::bmp_layout(file, layout) != 0 || !sane(layout.width, layout.height))
    return std::nullopt;
  return ImageSize{layout.width, layout.height};
}

std::optional<ImageSize> image_file_size(std::span<const uint8_t> file) {
  static constexpr uint8_t kPng[kPngSignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  constexpr size_t kIhdrEnd = 24;  // signature, chunk length and type, width, height
  if (file.size() >= kIhdrEnd && std::memcmp(file.data(), kPng, kPngSignatureBytes) == 0) {
    const uint32_t w = read_be32(file, 16);
    const uint32_t h = read_be32(file, 20);
    if (!sane(w, h)) return std::nullopt;
    return ImageSize{static_cast<int32_t>(w), static_cast<int32_t>(h)};
  }
  return bmp_size(file);
}

std::string encode_bmp(const Picture& p) {
  constexpr uint32_t kFileHeader = 14;
  constexpr uint32_t kInfoHeader = 40;
  constexpr uint32_t kBitsPerPixel = 24;
  const uint32_t row = (static_cast<uint32_t>(p.width) * 3 + 3) & ~3u;
  const uint32_t data = row * static_cast<uint32_t>(p.height);
  std::string out;
  out.reserve(kFileHeader + kInfoHeader + data);
  out += "BM";
  put_le(out, kFileHeader + kInfoHeader + data, 4);
  put_le(out, 0, 4);
  put_le(out, kFileHeader + kInfoHeader, 4);
  put_le(out, kInfoHeader, 4);
  put_le(out, static_cast<uint32_t>(p.width), 4);
  put_le(out, static_cast<uint32_t>(p.height), 4);
  put_le(out, 1, 2);  // planes
  put_le(out, kBitsPerPixel, 2);
  put_le(out, 0, 4);  // no compression
  put_le(out, data, 4);
  constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dpi
  put_le(out, kPixelsPerMetre, 4);
  put_le(out, kPixelsPerMetre, 4);
  put_le(out, 0, 4);
  put_le(out, 0, 4);
  for (int32_t y = p.height - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int32_t x = 0; x < p.width; ++x)
      put_le(
          out,
          p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)] &
              kRgbMask,
          3);
    out.append(row - (out.size() - start), '\0');
  }
  return out;
}

std::string encode_bmp_sheet(const Picture& p, TransparentColour transparent) {
  Picture sheet = p;
  for (uint32_t& px : sheet.pixels)
    if ((px >> 24) < kHalfOpaque || (transparent && (px & kRgbMask) == *transparent)) px = kMagenta;
  std::string out = encode_bmp(sheet);
  out.replace(kSheetMarkOffset, kSheetMark.size(), kSheetMark);
  return out;
}

bool is_converted_sheet(std::string_view file) {
  return file.size() > kSheetMarkOffset + kSheetMark.size() && file.starts_with("BM") &&
         file.substr(kSheetMarkOffset, kSheetMark.size()) == kSheetMark;
}

}  // namespace hexmap::tool
