// The 32-byte MSX-DOS directory entry.
#pragma once

#include <cstdint>
#include <optional>

#include "core/bytes.h"
#include "core/le_field.h"

namespace quarnel {

// Attribute bits of byte 11.
inline constexpr std::uint8_t kAttrReadOnly = 0x01;
inline constexpr std::uint8_t kAttrHidden = 0x02;
inline constexpr std::uint8_t kAttrSystem = 0x04;
inline constexpr std::uint8_t kAttrVolume = 0x08;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrArchive = 0x20;
// PC systems store each piece of a long (VFAT) name in an entry with this attribute value.
inline constexpr std::uint8_t kAttrLongName = 0x0F;

// First name byte of a slot never used, and of a deleted entry.
inline constexpr std::uint8_t kEntryNeverUsed = 0x00;
inline constexpr std::uint8_t kEntryDeleted = 0xE5;

inline constexpr std::size_t kDirEntrySize = 32;
// A first name byte of 0x05 stands for a name that starts with 0xE5 (a kana on Japanese disks).
inline constexpr std::uint8_t kEntryE5Stand = 0x05;

// True when a slot with this first name byte holds no entry: never used (0x00, the end of the
// directory) or deleted (0xE5). Every other byte, control characters and kana included, is a
// name that MSX-DOS and PC systems list.
inline bool IsFreeSlot(std::uint8_t first) {
  return first == kEntryNeverUsed || first == kEntryDeleted;
}

struct DirEntry {
  std::uint8_t name[8];       // +0  padded with blanks
  std::uint8_t extension[3];  // +8  padded with blanks
  std::uint8_t attribute;     // +11
  std::uint8_t reserved[10];  // +12
  Le16Field time;             // +22 hour 15-11, minute 10-5, seconds/2 4-0
  Le16Field date;             // +24 year-1980 15-9, month 8-5, day 4-0
  Le16Field firstCluster;     // +26
  Le32Field size;             // +28
};
static_assert(sizeof(DirEntry) == kDirEntrySize);

// True for a VFAT long-name piece (attribute 0x0F once the two unused high bits are masked).
inline bool IsLongNameAttribute(std::uint8_t attribute) {
  return (attribute & 0x3F) == kAttrLongName;
}

// The entry at byte `offset` of `bytes`; nullopt when the 32 bytes are not all inside.
std::optional<DirEntry> DirEntryAt(Bytes bytes, std::size_t offset);

// The 32 bytes of `e` as they lie on disk.
inline Bytes EntryBytes(const DirEntry& e) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(&e), sizeof e);
}

// Writes `e` at byte `offset`; false (nothing written) when it does not fit.
bool PutDirEntry(MutableBytes bytes, std::size_t offset, const DirEntry& e);

}  // namespace quarnel
