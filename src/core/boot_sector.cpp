#include "core/boot_sector.h"

#include <algorithm>
#include <cstring>

namespace quarnel {

std::optional<BootSector> BootSectorAt(Bytes image) {
  if (image.size() < kFloppyBootFieldBytes) return std::nullopt;
  BootSector bs;
  std::memset(&bs, 0, sizeof bs);
  std::memcpy(&bs, image.data(), std::min(image.size(), sizeof bs));
  return bs;
}

bool PutBootSector(MutableBytes image, const BootSector& bs, bool extended) {
  const std::size_t bytes = extended ? sizeof bs : kFloppyBootFieldBytes;
  if (image.size() < bytes) return false;
  std::memcpy(image.data(), &bs, bytes);
  return true;
}

}  // namespace quarnel
