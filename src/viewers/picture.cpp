#include "viewers/picture.h"

#include "viewers/messages.h"

namespace quarnel::viewers {

namespace {

constexpr std::array<Rgb, 16> kDefaultPalette = {{
    {0, 0, 0},
    {0, 0, 0},
    {36, 219, 36},
    {109, 255, 109},
    {36, 36, 255},
    {73, 109, 255},
    {182, 36, 36},
    {73, 219, 255},
    {255, 36, 36},
    {255, 109, 109},
    {219, 219, 36},
    {219, 219, 57},
    {36, 146, 36},
    {219, 73, 182},
    {182, 182, 182},
    {255, 255, 255},
}};

}  // namespace

const std::array<Rgb, 16>& DefaultMsxPalette() { return kDefaultPalette; }

Rgb Picture::ColourAt(int x, int y) const {
  const std::size_t i = static_cast<std::size_t>(y) * width + x;
  if (format == Format::Rgb) return {pixels[3 * i], pixels[3 * i + 1], pixels[3 * i + 2]};
  const std::uint8_t idx = pixels[i];
  return idx < palette.size() ? palette[idx] : Rgb{};
}

std::string_view ModeName(PictureMode mode) {
  switch (mode) {
    case PictureMode::Screen2:
      return kModeScreen2;
    case PictureMode::Screen5:
      return kModeScreen5;
    case PictureMode::Screen7:
      return kModeScreen7;
    case PictureMode::Screen8:
      return kModeScreen8;
    case PictureMode::Screen12:
      return kModeScreen12;
  }
  return {};
}

std::string_view ModeCaption(PictureMode mode) {
  switch (mode) {
    case PictureMode::Screen2:
      return kCaptionScreen2;
    case PictureMode::Screen5:
      return kCaptionScreen5;
    case PictureMode::Screen7:
      return kCaptionScreen7;
    case PictureMode::Screen8:
      return kCaptionScreen8;
    case PictureMode::Screen12:
      return kCaptionScreen12;
  }
  return {};
}

}  // namespace quarnel::viewers
