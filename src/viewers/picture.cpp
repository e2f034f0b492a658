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

namespace {

struct ModeInfo {
  PictureMode mode;
  std::string_view name, caption, key;
  ViewSelector view;
};

constexpr ModeInfo kModes[] = {
    {PictureMode::Screen1, kModeScreen1, kCaptionScreen1, "sc1", ViewSelector::Screen1},
    {PictureMode::Screen2, kModeScreen2, kCaptionScreen2, "sc2", ViewSelector::Screen2},
    {PictureMode::Patterns, kModePatterns, kCaptionPatterns, "patterns", ViewSelector::Patterns},
    {PictureMode::Screen3, kModeScreen3, kCaptionScreen3, "sc3", ViewSelector::Screen3},
    {PictureMode::Screen4, kModeScreen4, kCaptionScreen4, "sc4", ViewSelector::Screen4},
    {PictureMode::Screen5, kModeScreen5, kCaptionScreen5, "sc5", ViewSelector::Screen5},
    {PictureMode::Screen6, kModeScreen6, kCaptionScreen6, "sc6", ViewSelector::Screen6},
    {PictureMode::Screen7, kModeScreen7, kCaptionScreen7, "sc7", ViewSelector::Screen7},
    {PictureMode::Screen8, kModeScreen8, kCaptionScreen8, "sc8", ViewSelector::Screen8},
    {PictureMode::Screen10, kModeScreen10, kCaptionScreen10, "sc10", ViewSelector::Screen10},
    {PictureMode::Screen11, kModeScreen11, kCaptionScreen11, "sc11", ViewSelector::Screen11},
    {PictureMode::Screen12, kModeScreen12, kCaptionScreen12, "sc12", ViewSelector::Screen12},
};

constexpr std::array<PictureMode, std::size(kModes)> kModeOrder = [] {
  std::array<PictureMode, std::size(kModes)> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = kModes[i].mode;
  return order;
}();

const ModeInfo* Info(PictureMode mode) {
  for (const ModeInfo& m : kModes)
    if (m.mode == mode) return &m;
  return nullptr;
}

}  // namespace

std::span<const PictureMode> AllPictureModes() { return kModeOrder; }

std::string_view ModeName(PictureMode mode) {
  const ModeInfo* m = Info(mode);
  return m ? m->name : std::string_view();
}

std::string_view ModeCaption(PictureMode mode) {
  const ModeInfo* m = Info(mode);
  return m ? m->caption : std::string_view();
}

std::string_view ModeKey(PictureMode mode) {
  const ModeInfo* m = Info(mode);
  return m ? m->key : std::string_view();
}

std::optional<PictureMode> ModeOfView(ViewSelector view) {
  for (const ModeInfo& m : kModes)
    if (m.view == view) return m.mode;
  return std::nullopt;
}

}  // namespace quarnel::viewers
