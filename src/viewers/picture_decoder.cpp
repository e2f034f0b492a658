#include "viewers/picture_decoder.h"

#include <algorithm>
#include <string>

#include "core/ascii.h"
#include "viewers/messages.h"

namespace quarnel::viewers {

std::optional<BsaveHeader> CheckPictureHeader(Bytes file) {
  auto h = ReadBsaveHeader(file);
  if (!h || h->end <= h->start) return std::nullopt;
  return h;
}

int BitmapModeHeight(std::uint16_t endAddress) {
  const int e = std::min<int>(endAddress, 0xD3FF);
  return (std::max(e, 0xBFFF) + 256) / 256;
}

Picture BlankBitmapPicture(PictureMode mode, Picture::Format format, int height) {
  Picture pic;
  pic.mode = mode;
  pic.format = format;
  pic.width = 256;
  pic.height = height;
  pic.displayWidth = 256;
  pic.displayHeight = 212;
  const std::size_t perPixel = format == Picture::Format::Rgb ? 3 : 1;
  pic.pixels.assign(static_cast<std::size_t>(256) * height * perPixel, 0);
  return pic;
}

PictureResult DecodePicture(PictureMode mode, Bytes file) {
  switch (mode) {
    case PictureMode::Screen2:
      return DecodeScreen2(file);
    case PictureMode::Screen5:
      return DecodeScreen5(file);
    case PictureMode::Screen7:
      return DecodeScreen7(file);
    case PictureMode::Screen8:
      return DecodeScreen8(file);
    case PictureMode::Screen12:
      return DecodeScreen12(file);
  }
  return {std::nullopt, kNotAPicture};
}

std::optional<PictureMode> ParsePictureMode(std::string_view name) {
  const std::string s = AsciiLower(name);
  if (s == "sc2") return PictureMode::Screen2;
  if (s == "sc5") return PictureMode::Screen5;
  if (s == "sc7") return PictureMode::Screen7;
  if (s == "sc8") return PictureMode::Screen8;
  if (s == "sc12") return PictureMode::Screen12;
  return std::nullopt;
}

}  // namespace quarnel::viewers
