// How FAT entries lie in the bytes of a FAT copy. FAT12 packs two entries into three bytes (entry
// 2k in the low 12 bits, entry 2k + 1 in the high ones); FAT16 gives each entry two bytes. Either
// way an entry is read and written through a window of two bytes at FatEntryOffset.
#pragma once

#include <cstdint>

#include "core/geometry.h"

namespace quarnel {

// The values of a FAT kind that are no link to a next cluster.
struct FatMarks {
  std::uint16_t endOfChain;     // what a writer puts at the end of a chain
  std::uint16_t firstEnd;       // this and above end a chain
  std::uint16_t bad;            // a bad cluster
  std::uint16_t firstReserved;  // this up to firstEnd: reserved values and the bad mark
  std::uint16_t mask;           // the bits an entry holds
};

constexpr FatMarks FatMarksOf(FatKind kind) {
  return kind == FatKind::Fat12 ? FatMarks{0xFFF, 0xFF8, 0xFF7, 0xFF0, 0x0FFF}
                                : FatMarks{0xFFFF, 0xFFF8, 0xFFF7, 0xFFF0, 0xFFFF};
}

// Offset of the two-byte window of entry n from the start of its FAT copy.
constexpr std::uint64_t FatEntryOffset(FatKind kind, std::uint32_t n) {
  return kind == FatKind::Fat12 ? std::uint64_t{n} * 3 / 2 : std::uint64_t{n} * 2;
}

// Entry n from its window `w` (two bytes).
constexpr std::uint16_t DecodeFatEntry(FatKind kind, std::uint32_t n, const std::uint8_t* w) {
  if (kind == FatKind::Fat16) return static_cast<std::uint16_t>(w[0] | (w[1] << 8));
  if (n % 2 == 0) return static_cast<std::uint16_t>(w[0] | ((w[1] & 0x0F) << 8));
  return static_cast<std::uint16_t>((w[0] >> 4) | (w[1] << 4));
}

// Sets entry n to `v` in its window `w`, keeping the bits of the neighbouring FAT12 entry.
constexpr void EncodeFatEntry(FatKind kind, std::uint32_t n, std::uint16_t v, std::uint8_t* w) {
  if (kind == FatKind::Fat16) {
    w[0] = static_cast<std::uint8_t>(v & 0xFF);
    w[1] = static_cast<std::uint8_t>(v >> 8);
    return;
  }
  v &= 0xFFF;
  if (n % 2 == 0) {
    w[0] = static_cast<std::uint8_t>(v & 0xFF);
    w[1] = static_cast<std::uint8_t>((w[1] & 0xF0) | (v >> 8));
  } else {
    w[0] = static_cast<std::uint8_t>((w[0] & 0x0F) | ((v & 0x0F) << 4));
    w[1] = static_cast<std::uint8_t>((v >> 4) & 0xFF);
  }
}

// The highest entry n <= last whose window lies inside `copyBytes` bytes of a FAT copy (1 when
// none from 2 on does).
constexpr std::uint32_t LastEntryWithin(FatKind kind, std::uint64_t copyBytes, std::uint32_t last) {
  std::uint32_t n = last;
  while (n >= 2 && FatEntryOffset(kind, n) + 2 > copyBytes) --n;
  return n < 2 ? 1 : n;
}

}  // namespace quarnel
