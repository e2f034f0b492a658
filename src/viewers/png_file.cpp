#include "viewers/png_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace quarnel::viewers {

namespace {

struct PngSink {
  std::vector<std::uint8_t> bytes;
  char error[256] = {0};
};

void WriteToSink(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  sink->bytes.insert(sink->bytes.end(), data, data + length);
}

void FlushSink(png_structp) {}

void OnError(png_structp png, png_const_charp msg) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  std::strncpy(sink->error, msg ? msg : "libpng error", sizeof sink->error - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything that libpng may jump out of; no object with a destructor lives in this frame.
bool Encode(const Picture& p, png_bytep* rows, png_colorp palette, int paletteSize, PngSink& sink) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, WriteToSink, FlushSink);
  const bool indexed = p.format == Picture::Format::Indexed;
  png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), 8,
               indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (indexed) png_set_PLTE(png, info, palette, paletteSize);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const Picture& p, std::string* error) {
  const bool indexed = p.format == Picture::Format::Indexed;
  const std::size_t bpp = indexed ? 1 : 3;
  if (p.width <= 0 || p.height <= 0 ||
      p.pixels.size() < static_cast<std::size_t>(p.width) * p.height * bpp ||
      (indexed && (p.palette.empty() || p.palette.size() > 256))) {
    if (error) *error = "picture has no pixels";
    return std::nullopt;
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(p.height));
  for (int y = 0; y < p.height; ++y) {
    rows[y] = const_cast<png_bytep>(&p.pixels[static_cast<std::size_t>(y) * p.width * bpp]);
  }
  std::vector<png_color> palette;
  for (const Rgb& c : p.palette) palette.push_back({c.r, c.g, c.b});
  // Every index a pixel may hold must be in the palette.
  if (indexed) {
    std::uint8_t maxIndex = 0;
    for (std::uint8_t v : p.pixels) maxIndex = std::max(maxIndex, v);
    while (palette.size() <= maxIndex) palette.push_back({0, 0, 0});
  }
  PngSink sink;
  if (!Encode(p, rows.data(), palette.data(), static_cast<int>(palette.size()), sink)) {
    if (error) *error = sink.error[0] ? sink.error : "libpng failed";
    return std::nullopt;
  }
  return std::move(sink.bytes);
}

}  // namespace quarnel::viewers
