// The partition table of a hard-disk or card image: a Nextor or PC master boot record with its
// chain of extended boot records, the table of the Sunrise IDE interface, or none (the image is
// one volume). Read through a sector store, so only the sectors of the table are ever read.
// Reading is tolerant: whatever is wrong with the table becomes a finding in words, and a
// partition that cannot be opened safely says why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/sector_store.h"

namespace quarnel {

inline constexpr std::uint64_t kPartitionSectorBytes = 512;

enum class PartitionScheme {
  None,         // no table: sector 0 is the boot sector of the one volume (or of nothing)
  Nextor,       // a master boot record starting EB FE 90 "NEXTOR20"
  StandardMbr,  // a PC master boot record
  SunriseIde,   // the table of the Sunrise IDE interface ("MSX_IDE ")
};

// The scheme as people name it: "Nextor", "MBR", "Sunrise IDE", "none".
std::string_view SchemeName(PartitionScheme scheme);

// Partition types.
inline constexpr std::uint8_t kTypeFat12 = 0x01;
inline constexpr std::uint8_t kTypeFat16Small = 0x04;  // FAT16 below 32 MB
inline constexpr std::uint8_t kTypeExtended = 0x05;
inline constexpr std::uint8_t kTypeFat16 = 0x06;
inline constexpr std::uint8_t kTypeFat16Lba = 0x0E;
inline constexpr std::uint8_t kTypeExtendedLba = 0x0F;

// The name of a partition type ("FAT12", "FAT16", "Linux", ...; "unknown" for others).
std::string_view PartitionTypeName(std::uint8_t type);
// Types a volume of MSX-DOS or Nextor may carry (FAT12 and the FAT16 ones).
bool IsFatVolumeType(std::uint8_t type);
// The types that link extended boot records.
bool IsExtendedType(std::uint8_t type);

struct Partition {
  int number = 0;                   // 1.. in table order (see ReadPartitionTable)
  std::uint8_t type = 0;            // the type byte of its entry
  bool active = false;              // boot flag 0x80
  std::uint64_t firstSector = 0;    // counted from the start of the image
  std::uint64_t sectors = 0;        // as the entry says
  std::uint64_t usableSectors = 0;  // those inside the image (fewer when the entry runs past it)
  // Why the partition cannot be opened at all (empty when it can): it starts past the end of
  // the image, or holds no sector.
  std::string refusal;
  // Why it must not be written (empty when it may): it overlaps another partition or the table.
  std::string writeRefusal;

  std::uint64_t Offset() const { return firstSector * kPartitionSectorBytes; }
  // Bytes of the partition that lie inside the image.
  std::uint64_t Length() const { return usableSectors * kPartitionSectorBytes; }
  bool IsFatVolume() const { return IsFatVolumeType(type); }
};

struct PartitionTable {
  PartitionScheme scheme = PartitionScheme::None;
  std::vector<Partition> partitions;
  // The faults of the table in words, one a line, in the order they were met.
  std::vector<std::string> findings;

  bool Partitioned() const { return scheme != PartitionScheme::None; }
  // The partition numbered `number`; nullptr when there is none.
  const Partition* Find(int number) const;
};

// Extended boot records followed at most: a chain longer than this is cut with a finding.
inline constexpr int kMostChainedRecords = 256;

// The table of the image `store` holds. Sector 0 is a volume's boot sector (no table) when it
// has a usable boot-sector layout, even when it starts EB FE 90 "NEXTOR20"; a Sunrise IDE table
// when it starts EB FE 90 "MSX_IDE "; a master boot record when it ends 55 AA and its entries are
// entries (boot flags 00 or 80, at least one used). Partitions are numbered 1, 2, ... in the
// order of the four entries, each extended entry standing for its chain of logical partitions
// in chain order (so a Nextor card numbers its partitions as Nextor does); Sunrise IDE
// partitions by their slot. An entry past the end of the image is refused; one running past it
// is cut at the end of the image; overlaps refuse writing; zero sizes, loops and long chains end
// in findings.
PartitionTable ReadPartitionTable(const SectorStore& store);

}  // namespace quarnel
