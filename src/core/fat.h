// The FAT12 allocation table of the current image and the one rule for following chains.
// Every routine stays inside the first FAT copy: entries that would lie past its end (a FAT too
// small for the disk) or outside the image read as 0xFF7 (bad cluster) and are never written, so
// no chain is built through clusters whose links could not be stored.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "core/ui.h"

namespace quarnel {

inline constexpr std::uint16_t kFatFree = 0x000;
inline constexpr std::uint16_t kFatEndOfChain = 0xFFF;
inline constexpr std::uint16_t kFatBad = 0xFF7;

// Entry n of the first FAT (0..0xFFF).
std::uint16_t ReadFatEntry(const DiskImage& image, std::uint32_t n);
// Writes entry n of the first FAT, keeping the 4 bits of the neighbouring entry. v <= 0xFFF.
void WriteFatEntry(DiskImage& image, std::uint32_t n, std::uint16_t v);
// Returns entry n and sets it to 0.
std::uint16_t FreeFatEntry(DiskImage& image, std::uint32_t n);
// Copies the first FAT byte for byte over every further copy (copies outside the image are cut).
void CopyFatToMirrors(DiskImage& image);
// Free data clusters x clusterBytes.
std::int32_t FreeBytes(const DiskImage& image);
// Lowest free data cluster; "Internal error" and 0 when the disk is full.
std::uint16_t FirstFreeCluster(const DiskImage& image, Ui& ui);
// Second-lowest free data cluster; "Internal error at" + the cluster past the scanned range
// (which is returned) when there is no second free cluster.
std::uint16_t NextFreeCluster(const DiskImage& image, Ui& ui);
// Byte offset of cluster n (n >= 2).
std::uint32_t ClusterOffset(const DiskGeometry& g, std::uint32_t n);
// The clusterBytes bytes of cluster n; nullopt unless n is a data cluster lying wholly inside
// the image.
std::optional<Bytes> ClusterData(const DiskImage& image, std::uint32_t n);

enum class ChainStep { End, Continue, Broken };

// Classifies a FAT value met while following a chain. 0xFFF ends a chain; so do 0xFF8..0xFFE,
// the end markers PC systems write. Values above the data clusters or the disk, the free and
// reserved values 0 and 1, and 0xFF0..0xFF7 (reserved, bad) break it.
ChainStep NextClusterCheck(const DiskGeometry& g, std::uint16_t n);

// True when `first` may start a chain: a data cluster (2 .. LastDataCluster) inside the image.
// (clusterLimit, the sector count divided by the cluster size, is not a bound: with large
// clusters it falls below the last data cluster, which is a cluster like any other.)
bool FirstClusterValid(const DiskImage& image, std::uint16_t first);

// A chain followed from its first cluster.
struct Chain {
  std::vector<std::uint16_t> clusters;  // in chain order, first cluster included
  bool broken = false;  // a value NextClusterCheck refuses, a cluster outside the image, or a
                        // loop (more clusters than the disk has)
};

// Follows the chain from `first` (which the caller has checked) until it ends or breaks, taking
// at most `maxClusters` clusters (0: no limit beyond the disk's cluster count); stopping at that
// limit is not a break.
Chain FollowChain(const DiskImage& image, std::uint16_t first, std::size_t maxClusters = 0);

}  // namespace quarnel
