// Empty formatted hard-disk and card images as Nextor's partitioning tool makes them: a master
// boot record marked "NEXTOR20", partition 1 from sector 1, every further partition behind an
// extended boot record of its own, and each partition formatted as an empty FAT12 or FAT16
// volume. The file is written sparse: only the tables, boot sectors and the first sector of each
// FAT are written; everything else reads as zeros without taking disk space.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/geometry.h"
#include "core/new_image.h"

namespace quarnel {

// Nextor's limit for one partition.
inline constexpr std::uint64_t kMostPartitionBytes = 4ull << 30;
// FAT12 counts its sectors in 16 bits.
inline constexpr std::uint64_t kMostFat12Sectors = 65535;
// Partitions of up to this size are FAT12 unless FAT16 is asked for.
inline constexpr std::uint64_t kLargestDefaultFat12Bytes = 16ull << 20;
// The most partitions a new image is given.
inline constexpr std::size_t kMostNewPartitions = 64;

enum class FatChoice { BySize, Fat12, Fat16 };

// One volume of a new image.
struct NewVolume {
  std::uint64_t firstSector = 0;  // in the image
  std::uint64_t sectors = 0;
  FatKind kind = FatKind::Fat12;
  std::uint8_t sectorsPerCluster = 0;
  std::uint16_t rootEntries = 0;
  std::uint16_t sectorsPerFat = 0;
  std::uint32_t clusters = 0;
  std::uint8_t type = 0;  // the partition type of its entry
};

struct HardDiskLayout {
  std::uint64_t sectors = 0;  // of the whole image
  std::vector<NewVolume> volumes;
  std::vector<std::uint64_t> extendedRecords;  // sectors of the EBRs, in chain order
};

// A layout, or why none can be made (the text for the user).
struct HardDiskPlan {
  std::optional<HardDiskLayout> layout;
  std::string message;
  // For a layout that differs from what was asked: how (the user is told).
  std::string note;
};

// Lays out an image of `imageBytes` with partitions of `partitionBytes` each (cut to whole
// sectors); none named: one partition over the whole image. When the sizes add up to the image
// (or nearly), the last partition is cut by the sectors the boot records take, and `note` says
// so. Refused: sizes Nextor cannot hold
// (more than 4 GB a partition, FAT12 beyond its sector count or 4,084 clusters, FAT16 beyond
// 65,524 clusters or below 4,085), partitions that do not fit in the image.
HardDiskPlan PlanHardDisk(std::uint64_t imageBytes,
                          const std::vector<std::uint64_t>& partitionBytes, FatChoice fat);

// Sizes a user writes: a number of bytes with an optional K, M or G (binary multiples, either
// case, "B" allowed after them); nullopt for anything else or zero.
std::optional<std::uint64_t> ParseSizeText(std::string_view text);

// A range of the image with its bytes.
struct ImagePiece {
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> bytes;
};

// The sectors a new image of `layout` holds other than zeros: the boot records, and of each
// volume its boot sector (`volumeSerial` + the partition number as its serial) and the first
// sector of each FAT.
std::vector<ImagePiece> HardDiskPieces(const HardDiskLayout& layout, std::uint32_t volumeSerial);

// Writes the image to `path` (replacing a file of that name only once the new one is whole): a
// sparse file of the layout's size with the pieces in it. A failure says "Cannot write file: "
// + the path.
NewImageOutcome WriteHardDisk(const HardDiskLayout& layout, const std::filesystem::path& path,
                              std::uint32_t volumeSerial);

}  // namespace quarnel
