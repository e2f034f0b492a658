// A small bitmap font for the names written into pictures the program makes (the contact sheet
// of a disk's pictures): printable ASCII in 5 x 7 cells, lower case drawn as upper case, anything
// else as "?". No system font is needed, so the pictures come out the same everywhere.
#pragma once

#include <string_view>

#include "viewers/picture.h"

namespace quarnel::viewers {

inline constexpr int kLabelAdvance = 6;  // pixels from one character to the next
inline constexpr int kLabelHeight = 7;

// Draws `text` into the RGB picture `pic` with its top left corner at (x, y), in `colour`;
// what falls outside the picture is not drawn.
void DrawLabel(Picture& pic, int x, int y, std::string_view text, Rgb colour);

}  // namespace quarnel::viewers
