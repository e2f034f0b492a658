// The disk image held in memory and the geometry decoded from its boot sector.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/boot_sector.h"
#include "core/bytes.h"
#include "core/geometry.h"

namespace quarnel {

// Image sizes (bytes) of the standard MSX floppies; others load after a warning.
inline constexpr std::int32_t kStandardImageSizes[] = {163840, 184320, 327680, 368640,
                                                       655360, 737280, 1474560};
inline constexpr std::int32_t kSmallestImageSize = 163840;
inline constexpr std::int32_t kLargestImageSize = 1474560;
// A disk image in memory and how its load went. `bytes` is empty when none is loaded.
struct DiskImage {
  ImageBytes bytes;
  std::int32_t size = 0;
  bool loadFailed = false;      // refused for its size, a read error or its sector size
  bool bootError = false;       // boot sector refused: bytes kept, nothing listed or read
  std::string bootErrorDetail;  // which field was refused and why (for a second message line)
  DiskGeometry geometry;

  // An image whose directories and files may be read.
  bool Usable() const { return !loadFailed && !bootError && !bytes.empty(); }
  Bytes View() const { return Bytes(bytes.data(), bytes.size()); }
  MutableBytes MutableView() { return MutableBytes(bytes.data(), bytes.size()); }
};

}  // namespace quarnel
