// The allocation table of a volume (entries through the FAT codec: FAT12, FAT16), the one rule
// for FAT values met in a chain (NextClusterCheck) and the one walker along chains (ChainWalk).
// Every routine stays inside the first FAT copy: entries that would lie past its end (a FAT too
// small for the disk) or outside the image read as 0xFF7 (bad cluster) and are never written, so
// no chain is built through clusters whose links could not be stored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "core/fat_codec.h"

namespace quarnel {

inline constexpr std::uint16_t kFatFree = 0x000;

// Entry n of the first FAT; the bad-cluster mark when it lies outside the copy or the image.
std::uint16_t ReadFatEntry(const DiskImage& image, std::uint32_t n);
// Entry n of `table`, the bytes of a FAT copy as FatCopyBytes gives them; nullopt when it lies
// outside them.
inline std::optional<std::uint16_t> FatEntryAt(FatKind kind, Bytes table, std::uint32_t n) {
  const std::uint64_t p = FatEntryOffset(kind, n);
  if (p + 2 > table.size()) return std::nullopt;
  return DecodeFatEntry(kind, n, table.data() + p);
}
// ReadFatEntry from `table`, the first FAT copy as FatCopyBytes(image, 0) gives it.
inline std::uint16_t FatEntryIn(FatKind kind, Bytes table, std::uint32_t n) {
  return FatEntryAt(kind, table, n).value_or(FatMarksOf(kind).bad);
}
// Entry n of FAT copy `copy` (0 is the first), read at fatOffset + copy x FatBytes; nullopt when
// it lies outside that copy or the image.
std::optional<std::uint16_t> FatCopyEntry(const DiskImage& image, std::uint32_t copy,
                                          std::uint32_t n);
// The bytes of FAT copy `copy` as far as the volume holds them (empty when it holds none). One
// read of the store for the whole copy.
Bytes FatCopyBytes(const DiskImage& image, std::uint32_t copy);

// The highest entry n <= last that lies inside the first FAT copy and the image (1 when none
// does). An entry lies inside when every entry below it does.
inline std::uint32_t LastStoredFatEntry(const DiskImage& image, std::uint32_t last) {
  return LastEntryWithin(image.geometry.fatKind, FatCopyBytes(image, 0).size(), last);
}

// Calls `f(n, value)` for n = 2..last in order with entry n of the first FAT as ReadFatEntry reads
// it (bad past the copy or the image), until `f` returns false. One pass over the FAT bytes.
template <class F>
void ScanFat(const DiskImage& image, std::uint32_t last, F f) {
  const FatKind kind = image.geometry.fatKind;
  const Bytes table = FatCopyBytes(image, 0);
  const std::uint32_t stored = LastEntryWithin(kind, table.size(), last);
  const std::uint8_t* fat = table.data();
  std::uint32_t n = 2;
  if (kind == FatKind::Fat12) {
    // Two entries share three bytes: entry 2k in the low 12 bits, entry 2k + 1 in the high ones.
    for (; n + 1 <= stored; n += 2) {
      const std::uint8_t* p = fat + (n / 2) * 3;
      if (!f(n, static_cast<std::uint16_t>(p[0] | ((p[1] & 0x0F) << 8)))) return;
      if (!f(n + 1, static_cast<std::uint16_t>((p[1] >> 4) | (p[2] << 4)))) return;
    }
  }
  for (; n <= stored; ++n)
    if (!f(n, DecodeFatEntry(kind, n, fat + FatEntryOffset(kind, n)))) return;
  for (; n <= last; ++n)
    if (!f(n, FatMarksOf(kind).bad)) return;
}

// Calls `f(n)` for each free entry n = 2..last of the first FAT in order (entries past the copy
// or the image are not free), until `f` returns false. Three FAT12 bytes whose first and last are
// both set hold two used entries and are passed over at once.
template <class F>
void ScanFreeFat(const DiskImage& image, std::uint32_t last, F f) {
  const FatKind kind = image.geometry.fatKind;
  const Bytes table = FatCopyBytes(image, 0);
  const std::uint32_t stored = LastEntryWithin(kind, table.size(), last);
  const std::uint8_t* fat = table.data();
  std::uint32_t n = 2;
  if (kind == FatKind::Fat12) {
    for (; n + 1 <= stored; n += 2) {
      const std::uint8_t* p = fat + (n / 2) * 3;
      if (p[0] != 0 && p[2] != 0) continue;
      if ((p[0] | (p[1] & 0x0F)) == 0 && !f(n)) return;
      if (((p[1] >> 4) | p[2]) == 0 && !f(n + 1)) return;
    }
  }
  for (; n <= stored; ++n)
    if (DecodeFatEntry(kind, n, fat + FatEntryOffset(kind, n)) == 0 && !f(n)) return;
}

// Writes entry n of the first FAT, keeping the 4 bits of a neighbouring FAT12 entry. v is cut to
// the bits an entry holds.
void WriteFatEntry(DiskImage& image, std::uint32_t n, std::uint16_t v);
// Returns entry n and sets it to 0.
std::uint16_t FreeFatEntry(DiskImage& image, std::uint32_t n);
// Copies the first FAT byte for byte over every further copy (copies outside the image are cut).
void CopyFatToMirrors(DiskImage& image);
// Free data clusters x clusterBytes.
std::int64_t FreeBytes(const DiskImage& image);
// Byte offset of cluster n (n >= 2).
std::uint64_t ClusterOffset(const DiskGeometry& g, std::uint32_t n);
// The highest data cluster lying wholly inside the image (1 when none does): the clusters the
// image holds are 2 up to it.
std::uint32_t LastHeldCluster(const DiskImage& image);
// Whether n is a data cluster lying wholly inside the image (nothing is read).
inline bool ClusterHeld(const DiskImage& image, std::uint32_t n) {
  return n >= 2 && n <= LastHeldCluster(image);
}
// The clusterBytes bytes of cluster n; nullopt unless n is a data cluster lying wholly inside
// the image.
std::optional<Bytes> ClusterData(const DiskImage& image, std::uint32_t n);

enum class ChainStep { End, Continue, Broken };

// Classifies a FAT value met while following a chain. 0xFFF ends a chain; so do 0xFF8..0xFFE,
// the end markers PC systems write. Values above the data clusters or the disk, the free and
// reserved values 0 and 1, and 0xFF0..0xFF7 (reserved, bad) break it.
inline ChainStep NextClusterCheck(const DiskGeometry& g, std::uint16_t n) {
  const FatMarks marks = FatMarksOf(g.fatKind);
  if (n >= marks.firstEnd) return ChainStep::End;  // the end markers PC systems write too
  if (n < 2) return ChainStep::Broken;             // free or reserved: the chain points nowhere
  if (n >= marks.firstReserved) return ChainStep::Broken;  // reserved values and the bad mark
  if (n > g.LastDataCluster()) return ChainStep::Broken;
  return ChainStep::Continue;
}

// True when `first` may start a chain: a data cluster (2 .. LastDataCluster) inside the image.
// (The sector count divided by the cluster size is not a bound: with large
// clusters it falls below the last data cluster, which is a cluster like any other.)
bool FirstClusterValid(const DiskImage& image, std::uint16_t first);

// How a chain walk tells that a chain comes back on itself.
enum class ChainLoops {
  // A cluster may come again; a chain longer than the disk's data clusters is a loop. Until then
  // the walk yields the repeated clusters (a directory chain that loops reads as a directory too
  // long to be empty).
  PastDiskCount,
  // A cluster met before is a loop: the walk stops before yielding it again.
  AtRevisit,
};

// What a chain walk makes of a cluster whose own FAT entry is free (0) or bad (0xFF7).
enum class ChainFreeOrBad {
  Yield,  // it is part of the chain, and the chain breaks on that value after it
  Stop,   // it is no part of the chain: the walk stops before it (deletion never frees it)
};

// What an end marker means when it comes before the walk's cluster limit (the clusters a size
// needs) is reached.
enum class ChainEarlyEnd {
  Short,   // the chain just ends there: what it holds is all there is
  Broken,  // the chain is broken like one with a bad link
};

// The rules of one chain walk. A walk is always bounded by the disk: every cluster it yields is
// a data cluster inside the image, and it never yields more clusters than the disk has.
struct ChainPolicy {
  ChainLoops loops = ChainLoops::PastDiskCount;
  ChainFreeOrBad freeOrBad = ChainFreeOrBad::Yield;
  ChainEarlyEnd earlyEnd = ChainEarlyEnd::Short;
  // At most this many clusters (0: no limit but the disk's). Reaching it ends the walk whole;
  // the FAT entry of the last cluster is not looked at then.
  std::size_t limit = 0;

  // The chain as it stands, from its first cluster to its end: directories and the tree map.
  static constexpr ChainPolicy Follow(std::size_t limit = 0) {
    return {ChainLoops::PastDiskCount, ChainFreeOrBad::Yield, ChainEarlyEnd::Short, limit};
  }
  // The `clusters` a file's size needs, no cluster twice; a chain that goes on after them is
  // not looked at.
  static constexpr ChainPolicy Read(std::size_t clusters, ChainEarlyEnd earlyEnd) {
    return {ChainLoops::AtRevisit, ChainFreeOrBad::Yield, earlyEnd, clusters};
  }
  // The clusters a deletion frees: no cluster twice, none whose entry is free or bad.
  static constexpr ChainPolicy Free() {
    return {ChainLoops::AtRevisit, ChainFreeOrBad::Stop, ChainEarlyEnd::Short, 0};
  }
};

// Why a chain walk stopped.
enum class ChainStop {
  Walking,    // it has not
  End,        // an end marker (0xFF8..0xFFF) followed the last cluster
  EarlyEnd,   // the same before the limit was reached
  Limit,      // the limit was reached
  Broken,     // a value NextClusterCheck refuses followed the last cluster
  Outside,    // the first or the next cluster is no data cluster the image holds
  Loop,       // the chain came back (ChainLoops)
  FreeOrBad,  // the next cluster's own entry is free or bad (ChainFreeOrBad::Stop)
};

// One walk along a chain, a cluster at a time:
//   ChainWalk walk(image, first, ChainPolicy::Follow());
//   for (std::uint16_t c : walk) ...;
//   if (walk.Broken()) ...;
// The image must outlive the walk and stay unchanged while it runs.
class ChainWalk {
 public:
  ChainWalk(const DiskImage& image, std::uint16_t first, ChainPolicy policy = {});
  // The same over `fat`, the first FAT copy as FatCopyBytes(image, 0) gives it, read once by a
  // caller that walks many chains.
  ChainWalk(const DiskImage& image, Bytes fat, std::uint16_t first, ChainPolicy policy = {});

  bool Done() const { return stop_ != ChainStop::Walking; }
  // The current cluster; once the walk has stopped, the last one it yielded (if Count() > 0).
  std::uint16_t Cluster() const { return cluster_; }
  // The clusters yielded so far, the current one included.
  std::size_t Count() const { return count_; }
  // Moves to the next cluster, or stops.
  void Next();
  // Walks on until the walk stops; Count() then.
  std::size_t WalkToStop();

  ChainStop Stop() const { return stop_; }
  // Stopped at something other than the end of the chain or the limit (an early end when the
  // policy says it breaks the chain).
  bool Broken() const;

  struct Sentinel {};
  class Iterator {
   public:
    explicit Iterator(ChainWalk& walk) : walk_(&walk) {}
    std::uint16_t operator*() const { return walk_->Cluster(); }
    Iterator& operator++() {
      walk_->Next();
      return *this;
    }
    bool operator!=(Sentinel) const { return !walk_->Done(); }

   private:
    ChainWalk* walk_;
  };
  Iterator begin() { return Iterator(*this); }
  Sentinel end() const { return {}; }

 private:
  // Makes `c` the current cluster, or stops before it.
  void Enter(std::uint16_t c);

  const DiskImage& image_;
  ChainPolicy policy_;
  std::size_t diskClusters_ = 0;
  // The entry of `c` in the first FAT, as ReadFatEntry reads it.
  std::uint16_t EntryOf(std::uint16_t c) const;
  // ChainLoops::AtRevisit: whether `c` was yielded before; records it otherwise.
  bool SeenBefore(std::uint16_t c);

  Bytes fat_;                   // the first FAT copy, read once
  std::uint32_t lastHeld_ = 1;  // LastHeldCluster, worked out once
  // ChainLoops::AtRevisit: the clusters yielded, in a short list while the chain is short (most
  // are), in a map of every cluster once it is long.
  static constexpr std::size_t kShortChain = 32;
  std::array<std::uint16_t, kShortChain> recent_{};
  std::size_t recentCount_ = 0;
  std::vector<bool> seen_;
  std::uint16_t cluster_ = 0;
  std::size_t count_ = 0;
  ChainStop stop_ = ChainStop::Walking;
};

// A chain followed from its first cluster.
struct Chain {
  std::vector<std::uint16_t> clusters;  // in chain order, first cluster included
  bool broken = false;  // a value NextClusterCheck refuses, a cluster outside the image, or a
                        // loop (more clusters than the disk has)
};

// The clusters of a ChainPolicy::Follow(maxClusters) walk from `first`, and whether it broke.
// Stopping at the limit (0: none beyond the disk's cluster count) or at an end marker is no break.
Chain FollowChain(const DiskImage& image, std::uint16_t first, std::size_t maxClusters = 0);

}  // namespace quarnel
