// The whole-disk check: what is wrong with the FATs, the chains and the directory tree, as a list
// of findings. It only reads; repair (disk_repair.h) mends what can be mended. Every walk is
// bounded by the disk, so the check ends on any bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/disk_image.h"
#include "core/message_text.h"

namespace quarnel {

enum class FindingKind {
  BootSector,       // the boot sector was refused, or its fields contradict the image
  FatCopiesDiffer,  // a further FAT copy differs from the first
  MediaByte,        // the FAT's first byte is not the boot sector's media byte
  ChainLoop,        // a chain comes back to a cluster met before
  ChainOutside,     // a link to a value above the data area
  ChainFree,        // a link to a free (0), reserved (1, 0xFF0..0xFF6) or bad (0xFF7) value
  ChainShort,       // the chain ends before the file's size is covered
  ChainLong,        // the chain goes on past the clusters the size needs
  CrossLinked,      // clusters used by two entries
  LostChain,        // clusters marked in use that no entry reaches
  BadFirstCluster,  // a first cluster that is no data cluster, or none where one is needed
  BadSize,          // a size beyond the disk, or a directory with a size
  BadName,          // control characters, lower case, forbidden characters, blanks inside
  DuplicateName,    // the same name as an earlier entry of the same directory
  DotEntries,       // a subdirectory's "." or ".." missing or pointing elsewhere
  DirectoryLoop,    // a directory chain leading back into a directory above it
};

// "chain-loop", "cross-linked", ...: the kind as JSON and reports name it.
std::string_view FindingKindName(FindingKind kind);

inline constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

struct DiskFinding {
  FindingKind kind{};
  std::string path;                     // "SUB\DATA.BIN"; "" for the disk as a whole
  std::size_t entryOffset = kNoEntry;   // image offset of the entry concerned
  std::vector<std::uint16_t> clusters;  // the clusters concerned (see the kinds in disk_check.cpp)
  std::string message;                  // one plain sentence
};

struct DiskCheck {
  std::vector<DiskFinding> findings;
  bool Clean() const { return findings.empty(); }
};

// Checks a loaded image. A boot sector that was refused or whose layout does not fit the image
// (see JudgeBootLayout) is the first finding; the rest is then checked by the standard layout of
// the image's size when the FATs and the root directory confirm it, and not at all otherwise.
DiskCheck CheckDisk(const DiskImage& image);

// The check of the FATs, the chains and the tree by the image's geometry as it stands, the boot
// sector's layout taken as it is; nothing for an image that is not usable.
DiskCheck CheckLaidOut(const DiskImage& image);

}  // namespace quarnel
