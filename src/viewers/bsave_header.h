// The BSAVE header of MSX memory-image files (written by BSAVE, read by BLOAD):
//   +0 0xFE   +1 start address   +3 end address   +5 run address   +7 data, in memory order.
// Read by the hex view, the picture decoders and the hex write-back.
#pragma once

#include <cstdint>
#include <optional>

#include "core/bytes.h"

namespace quarnel::viewers {

struct BsaveHeader {
  static constexpr std::uint8_t kId = 0xFE;
  static constexpr std::size_t kSize = 7;

  std::uint16_t start = 0;
  std::uint16_t end = 0;
  std::uint16_t run = 0;
};

// True when the file's first byte is the BSAVE identifier (what the hex view tests).
inline bool HasBsaveId(Bytes file) { return !file.empty() && file[0] == BsaveHeader::kId; }

// The header, when the first byte is 0xFE and all 7 header bytes are present.
std::optional<BsaveHeader> ReadBsaveHeader(Bytes file);

}  // namespace quarnel::viewers
