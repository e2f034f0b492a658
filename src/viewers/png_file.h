// PNG output of any Picture (libpng): indexed pictures as 8-bit palette PNGs, RGB pictures as
// 8-bit RGB. The picture is written at its own size (screen 7: 512 x 212).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewers/picture.h"

namespace quarnel::viewers {

// The PNG file's bytes, or nullopt (with `error` set when given) when libpng fails.
std::optional<std::vector<std::uint8_t>> EncodePng(const Picture& picture,
                                                   std::string* error = nullptr);

}  // namespace quarnel::viewers
