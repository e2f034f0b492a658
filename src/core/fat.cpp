#include "core/fat.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "core/messages.h"

namespace quarnel {

Bytes FatCopyBytes(const DiskImage& image, std::uint32_t copy) {
  const auto& g = image.geometry;
  const std::uint64_t start =
      static_cast<std::uint64_t>(g.fatOffset) + static_cast<std::uint64_t>(copy) * g.FatBytes();
  if (start >= image.Size()) return {};
  const std::uint64_t length = std::min<std::uint64_t>(g.FatBytes(), image.Size() - start);
  return image.Read(start, static_cast<std::size_t>(length)).value_or(Bytes());
}

std::optional<std::uint16_t> FatCopyEntry(const DiskImage& image, std::uint32_t copy,
                                          std::uint32_t n) {
  return FatEntryAt(image.geometry.fatKind, FatCopyBytes(image, copy), n);
}

std::uint16_t ReadFatEntry(const DiskImage& image, std::uint32_t n) {
  return FatEntryIn(image.geometry.fatKind, FatCopyBytes(image, 0), n);
}

void WriteFatEntry(DiskImage& image, std::uint32_t n, std::uint16_t v) {
  const FatKind kind = image.geometry.fatKind;
  const Bytes table = FatCopyBytes(image, 0);
  const std::uint64_t p = FatEntryOffset(kind, n);
  if (p + 2 > table.size()) return;
  std::uint8_t window[2] = {table[p], table[p + 1]};
  EncodeFatEntry(kind, n, v, window);
  image.Write(image.geometry.fatOffset + p, window);
}

std::uint16_t FreeFatEntry(DiskImage& image, std::uint32_t n) {
  std::uint16_t old = ReadFatEntry(image, n);
  WriteFatEntry(image, n, 0);
  return old;
}

void CopyFatToMirrors(DiskImage& image) {
  const auto& g = image.geometry;
  const Bytes first = FatCopyBytes(image, 0);
  if (first.empty()) return;
  for (std::uint32_t k = 1; k < g.fatCount; ++k) {
    const std::uint64_t dst = g.fatOffset + std::uint64_t{k} * g.FatBytes();
    if (dst >= image.Size()) break;
    const std::uint64_t n = std::min<std::uint64_t>(first.size(), image.Size() - dst);
    image.Write(dst, first.first(static_cast<std::size_t>(n)));
  }
}

std::int64_t FreeBytes(const DiskImage& image) {
  const auto& g = image.geometry;
  std::int64_t free = 0;
  ScanFreeFat(image, g.LastDataCluster(), [&free](std::uint32_t) {
    ++free;
    return true;
  });
  return free * g.clusterBytes;
}

std::uint64_t ClusterOffset(const DiskGeometry& g, std::uint32_t n) {
  return g.dataOffset + std::uint64_t{n - 2} * g.clusterBytes;
}

std::uint32_t LastHeldCluster(const DiskImage& image) {
  const auto& g = image.geometry;
  const std::uint64_t size = image.Size();
  if (g.clusterBytes == 0 || size < g.dataOffset || size - g.dataOffset < g.clusterBytes) return 1;
  // Cluster n ends at dataOffset + (n - 1) x clusterBytes.
  const std::uint64_t fit = (size - g.dataOffset) / g.clusterBytes + 1;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(g.LastDataCluster(), fit));
}

std::optional<Bytes> ClusterData(const DiskImage& image, std::uint32_t n) {
  if (!ClusterHeld(image, n)) return std::nullopt;
  return image.Read(ClusterOffset(image.geometry, n), image.geometry.clusterBytes);
}

bool FirstClusterValid(const DiskImage& image, std::uint16_t first) {
  if (first < 2 || first > image.geometry.LastDataCluster()) return false;
  return ClusterHeld(image, first);
}

ChainWalk::ChainWalk(const DiskImage& image, std::uint16_t first, ChainPolicy policy)
    : ChainWalk(image, FatCopyBytes(image, 0), first, policy) {}

ChainWalk::ChainWalk(const DiskImage& image, Bytes fat, std::uint16_t first, ChainPolicy policy)
    : image_(image), policy_(policy), fat_(fat), lastHeld_(LastHeldCluster(image)) {
  const auto& g = image.geometry;
  diskClusters_ = g.dataClusters > 0 ? static_cast<std::size_t>(g.dataClusters) : 0;
  Enter(first);
}

std::uint16_t ChainWalk::EntryOf(std::uint16_t c) const {
  return FatEntryIn(image_.geometry.fatKind, fat_, c);
}

bool ChainWalk::SeenBefore(std::uint16_t c) {
  // A short chain is searched; the map of every cluster is made only for a long one.
  if (seen_.empty()) {
    const auto recent = recent_.begin() + static_cast<std::ptrdiff_t>(recentCount_);
    if (std::find(recent_.begin(), recent, c) != recent) return true;
    if (recentCount_ < kShortChain) {
      recent_[recentCount_++] = c;
      return false;
    }
    seen_.assign(static_cast<std::size_t>(image_.geometry.LastDataCluster()) + 1, false);
    for (std::uint16_t r : recent_) seen_[r] = true;
  }
  if (seen_[c]) return true;
  seen_[c] = true;
  return false;
}

void ChainWalk::Enter(std::uint16_t c) {
  if (c < 2 || c > lastHeld_) {  // not held (ClusterHeld); also keeps c inside seen_
    stop_ = ChainStop::Outside;
    return;
  }
  if (policy_.loops == ChainLoops::AtRevisit && SeenBefore(c)) {
    stop_ = ChainStop::Loop;
    return;
  }
  if (policy_.freeOrBad == ChainFreeOrBad::Stop) {
    const std::uint16_t v = EntryOf(c);
    if (v == kFatFree || v == FatMarksOf(image_.geometry.fatKind).bad) {
      stop_ = ChainStop::FreeOrBad;
      return;
    }
  }
  cluster_ = c;
  ++count_;
}

void ChainWalk::Next() {
  if (Done()) return;
  if (policy_.limit != 0 && count_ >= policy_.limit) {
    stop_ = ChainStop::Limit;
    return;
  }
  const std::uint16_t next = EntryOf(cluster_);
  switch (NextClusterCheck(image_.geometry, next)) {
    case ChainStep::End:
      stop_ = policy_.limit != 0 ? ChainStop::EarlyEnd : ChainStop::End;
      return;
    case ChainStep::Broken:
      stop_ = ChainStop::Broken;
      return;
    case ChainStep::Continue:
      break;
  }
  // A chain with more clusters than the disk has must come back to one.
  if (policy_.loops == ChainLoops::PastDiskCount && count_ >= diskClusters_) {
    stop_ = ChainStop::Loop;
    return;
  }
  Enter(next);
}

std::size_t ChainWalk::WalkToStop() {
  while (!Done()) Next();
  return count_;
}

bool ChainWalk::Broken() const {
  switch (stop_) {
    case ChainStop::Walking:
    case ChainStop::End:
    case ChainStop::Limit:
      return false;
    case ChainStop::EarlyEnd:
      return policy_.earlyEnd == ChainEarlyEnd::Broken;
    case ChainStop::Broken:
    case ChainStop::Outside:
    case ChainStop::Loop:
    case ChainStop::FreeOrBad:
      return true;
  }
  return true;
}

Chain FollowChain(const DiskImage& image, std::uint16_t first, std::size_t maxClusters) {
  Chain c;
  ChainWalk walk(image, first, ChainPolicy::Follow(maxClusters));
  for (std::uint16_t cluster : walk) c.clusters.push_back(cluster);
  c.broken = walk.Broken();
  return c;
}

}  // namespace quarnel
