#include "core/boot_sector.h"

#include <cstring>

namespace quarnel {

std::optional<BootSector> BootSectorAt(Bytes image) {
  if (image.size() < sizeof(BootSector)) return std::nullopt;
  BootSector bs;
  std::memcpy(&bs, image.data(), sizeof bs);
  return bs;
}

bool PutBootSector(MutableBytes image, const BootSector& bs) {
  if (image.size() < sizeof(BootSector)) return false;
  std::memcpy(image.data(), &bs, sizeof bs);
  return true;
}

}  // namespace quarnel
