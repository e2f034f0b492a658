// A decoded picture, ready for a window to draw or for PNG/BMP output.
//
// Pixels are stored top row first, left to right. An indexed picture has one palette index per
// pixel (one byte each, also for 4-bit modes) and its display palette; an RGB picture has three
// bytes (red, green, blue) per pixel and no palette. Pixels that a decoder leaves out (rows
// outside the file's address range, bytes the file does not hold) are index 0 / black.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/view_choice.h"

namespace quarnel::viewers {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The picture views. Patterns is screen 2's pattern and colour tables in table order, every cell
// showing its own pattern whatever the name table says.
enum class PictureMode {
  Screen1,
  Screen2,
  Patterns,
  Screen3,
  Screen4,
  Screen5,
  Screen6,
  Screen7,
  Screen8,
  Screen10,
  Screen11,
  Screen12,
};

struct Picture {
  enum class Format : std::uint8_t { Indexed, Rgb };

  PictureMode mode = PictureMode::Screen2;
  Format format = Format::Indexed;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width*height (Indexed) or width*height*3 (Rgb)
  std::vector<Rgb> palette;          // the display palette (Indexed only): 16 or 256 entries
  // The size of the MSX screen this picture fills, in 256-pixel units (the 512 pixels of
  // screens 6 and 7 squeezed to 256). The desktop viewer shows screens 6 and 7 at their full
  // width instead, lines doubled (app/picture_view.h).
  int displayWidth = 0;
  int displayHeight = 0;

  std::uint8_t IndexAt(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * width + x];
  }
  // The colour of a pixel in either format.
  Rgb ColourAt(int x, int y) const;
};

// The default MSX 16-colour palette (index 11 is 219, 219, 57).
const std::array<Rgb, 16>& DefaultMsxPalette();

// Every picture mode, in menu order.
std::span<const PictureMode> AllPictureModes();

// "SCREEN 2" ... "SCREEN 12" (the view's mode name) and the window caption prefix.
std::string_view ModeName(PictureMode mode);
std::string_view ModeCaption(PictureMode mode);
// The command line's name of the mode: "sc1" ... "sc12", "patterns".
std::string_view ModeKey(PictureMode mode);
// The mode a picture view shows (SelectorForCaption's choice for a picture's extension); none for
// the views that are no picture.
std::optional<PictureMode> ModeOfView(ViewSelector view);

}  // namespace quarnel::viewers
