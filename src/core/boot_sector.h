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
  // Volumes of hard disks and cards (DOS 3.31 and later) widen the hidden sectors to 32 bits and
  // add a 32-bit sector count and the extended fields; floppies leave these bytes to the boot
  // program.
  Le16Field hiddenSectorsHigh;   // +30 the upper half of the 32-bit hidden sectors
  Le32Field totalSectors32;      // +32 the sector count when the field at +19 is 0
  std::uint8_t driveNumber;      // +36 0x80 for a hard disk
  std::uint8_t reserved37;       // +37
  std::uint8_t extendedMark;     // +38 kExtendedBootMark when the fields below are set
  Le32Field volumeSerial;        // +39
  std::uint8_t volumeLabel[11];  // +43
  std::uint8_t fileSystem[8];    // +54 "FAT12   " or "FAT16   " (informative only)
};
static_assert(sizeof(BootSector) == 62);

// The fields a floppy's boot sector holds (up to the hidden sectors): fewer bytes are no boot
// sector.
inline constexpr std::size_t kFloppyBootFieldBytes = 30;
inline constexpr std::uint8_t kExtendedBootMark = 0x29;

inline constexpr std::size_t kBootOemOffset = 3;
inline constexpr std::size_t kBootOemLength = 8;

// The boot-sector fields at the start of `image`; nullopt when the image is shorter than the
// floppy's fields (kFloppyBootFieldBytes). Fields past the end of a shorter image read as 0.
std::optional<BootSector> BootSectorAt(Bytes image);

// Writes `bs` over the first bytes of `image`; false (nothing written) when it does not fit.
// Only the floppy's fields are written unless `extended`: the bytes after them belong to the
// boot program of a floppy.
bool PutBootSector(MutableBytes image, const BootSector& bs, bool extended = false);

}  // namespace quarnel
