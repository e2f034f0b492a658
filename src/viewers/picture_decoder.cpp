#include "viewers/picture_decoder.h"

#include <algorithm>
#include <string>

#include "core/ascii.h"
#include "core/rounding.h"
#include "viewers/messages.h"
#include "viewers/vram_dump.h"

namespace quarnel::viewers {

std::optional<BsaveHeader> CheckPictureHeader(Bytes file) {
  auto h = ReadBsaveHeader(file);
  if (!h || h->end <= h->start) return std::nullopt;
  return h;
}

int BitmapModeHeight(std::uint16_t endAddress, int bytesPerLine) {
  if (bytesPerLine <= 0) return 192;
  return std::clamp((endAddress + bytesPerLine) / bytesPerLine, 192, 212);
}

std::uint8_t PaletteLevel(int level) {
  return static_cast<std::uint8_t>(RoundHalfEven(static_cast<long>(level) * 255, 7));
}

std::vector<Rgb> DumpPalette(const VramDump& vram, long address) {
  std::vector<Rgb> palette(DefaultMsxPalette().begin(), DefaultMsxPalette().end());
  if (!vram.HoldsAll(address, address + 31)) return palette;
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t rb = *vram.At(address + 2 * i), g = *vram.At(address + 2 * i + 1);
    palette[i] = {PaletteLevel((rb >> 4) & 7), PaletteLevel(g & 7), PaletteLevel(rb & 7)};
  }
  return palette;
}

PictureResult DecodePicture(PictureMode mode, Bytes file, PictureOptions options) {
  switch (mode) {
    case PictureMode::Screen1:
    case PictureMode::Screen2:
    case PictureMode::Patterns:
    case PictureMode::Screen3:
    case PictureMode::Screen4:
      return DecodeCharacterMode(mode, file);
    case PictureMode::Screen5:
    case PictureMode::Screen6:
    case PictureMode::Screen7:
      return DecodeNibbleMode(mode, file);
    case PictureMode::Screen8:
      return DecodeScreen8(file);
    case PictureMode::Screen10:
    case PictureMode::Screen11:
    case PictureMode::Screen12:
      return DecodeYjkMode(mode, file, options);
  }
  return {std::nullopt, kNotAPicture};
}

std::optional<PictureMode> ParsePictureMode(std::string_view name) {
  const std::string s = AsciiLower(name);
  for (PictureMode m : AllPictureModes())
    if (ModeKey(m) == s) return m;
  return std::nullopt;
}

}  // namespace quarnel::viewers
