// The MSX-DOS boot sector as it lies at the start of every disk image.
#pragma once

#include <cstdint>
#include <optional>

#include "core/bytes.h"
#include "core/le_field.h"

namespace quarnel {

struct BootSector {
  std::uint8_t jump[3];            // +0  Z80 jump to the boot program
  std::uint8_t oem[8];             // +3  OEM signature
  Le16Field bytesPerSector;        // +11
  std::uint8_t sectorsPerCluster;  // +13
  Le16Field reservedSectors;       // +14
  std::uint8_t fatCount;           // +16
  Le16Field rootEntries;           // +17
  Le16Field totalSectors;          // +19
  std::uint8_t media;              // +21 media descriptor
  Le16Field sectorsPerFat;         // +22
  Le16Field sectorsPerTrack;       // +24
  Le16Field sides;                 // +26
  Le16Field hiddenSectors;         // +28
};
static_assert(sizeof(BootSector) == 30);

inline constexpr std::size_t kBootOemOffset = 3;
inline constexpr std::size_t kBootOemLength = 8;

// The boot-sector fields at the start of `image`; nullopt when the image is shorter than them.
std::optional<BootSector> BootSectorAt(Bytes image);

// Writes `bs` over the first bytes of `image`; false (nothing written) when it does not fit.
bool PutBootSector(MutableBytes image, const BootSector& bs);

}  // namespace quarnel
