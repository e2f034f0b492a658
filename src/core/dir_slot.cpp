#include "core/dir_slot.h"

#include <cstring>

#include "core/ascii.h"
#include "core/dir_entry.h"

namespace quarnel {

std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot) {
  const DiskGeometry& g = image.geometry;
  if (slot < 0 || slot >= static_cast<int>(g.rootEntries)) return std::nullopt;
  std::size_t off = g.rootOffset + static_cast<std::size_t>(slot) * kDirEntrySize;
  if (off + kDirEntrySize > image.bytes.size()) return std::nullopt;
  return off;
}

bool SameMsxName(const std::uint8_t* a, const std::uint8_t* b) {
  for (int i = 0; i < 11; ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool IsDotEntry(const std::uint8_t* n) {
  return std::memcmp(n, ".          ", 11) == 0 || std::memcmp(n, "..         ", 11) == 0;
}

}  // namespace quarnel
