// Little-endian fields for on-disk layouts. Each is a plain byte array, so a struct built from
// them has no padding and can be copied from or to image bytes with memcpy.
#pragma once

#include <cstdint>

namespace quarnel {

struct Le16Field {
  std::uint8_t b[2];
  std::uint16_t Get() const { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }
  void Set(std::uint16_t v) {
    b[0] = static_cast<std::uint8_t>(v & 0xFF);
    b[1] = static_cast<std::uint8_t>(v >> 8);
  }
};

struct Le32Field {
  std::uint8_t b[4];
  std::uint32_t Get() const {
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  void Set(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  }
};

static_assert(sizeof(Le16Field) == 2 && alignof(Le16Field) == 1);
static_assert(sizeof(Le32Field) == 4 && alignof(Le32Field) == 1);

}  // namespace quarnel
