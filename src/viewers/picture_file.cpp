#include "viewers/picture_file.h"

#include "core/ascii.h"
#include "viewers/bitmap_file.h"
#include "viewers/png_file.h"

namespace quarnel::viewers {

std::optional<PictureFileFormat> PictureFileFormatOf(std::string_view path) {
  const std::string ext = UpperExtension(path);
  if (ext == ".PNG") return PictureFileFormat::Png;
  if (ext == ".BMP") return PictureFileFormat::Bmp;
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> EncodePictureFile(const Picture& picture,
                                                           PictureFileFormat format,
                                                           std::string* error) {
  if (format == PictureFileFormat::Bmp)
    return EncodeScreenBitmap(picture, BitmapColours::AsDisplayed);
  return EncodePng(picture, error);
}

}  // namespace quarnel::viewers
