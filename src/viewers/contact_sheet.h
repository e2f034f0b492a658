// A contact sheet: many pictures on one, each at the size it fills on an MSX screen (256 pixels
// across; the 512 pixels of screens 6 and 7 squeezed to 256) with a line of text under it, in
// rows of a few, on a dark ground.
#pragma once

#include <span>
#include <string>

#include "viewers/picture.h"

namespace quarnel::viewers {

struct SheetItem {
  const Picture* picture = nullptr;
  std::string label;  // cut to what fits under the picture
};

inline constexpr int kSheetColumns = 4;

// The sheet as an RGB picture; an empty list gives an empty picture (width 0).
Picture BuildContactSheet(std::span<const SheetItem> items, int columns = kSheetColumns);

}  // namespace quarnel::viewers
