// A picture made small for a gallery or an icon: scaled down to fit a box, keeping the shape
// the picture has on an MSX screen (the 512 pixels of screens 6 and 7 as wide as 256), each
// pixel of it the mean colour of the pixels it covers.
#pragma once

#include "viewers/picture.h"

namespace quarnel::viewers {

// The box the desktop's gallery draws its thumbnails in: a 256 x 212 screen at half its size.
inline constexpr int kThumbnailWidth = 128;
inline constexpr int kThumbnailHeight = 106;

// `picture` as an RGB picture that fits `boxWidth` x `boxHeight` at its screen shape (at most
// its own size, at least one pixel each way); an empty picture gives an empty one (width 0).
Picture MakeThumbnail(const Picture& picture, int boxWidth = kThumbnailWidth,
                      int boxHeight = kThumbnailHeight);

}  // namespace quarnel::viewers
