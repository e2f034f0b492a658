#include "core/fat.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/messages.h"

namespace quarnel {

namespace {

// Offset of the 3-byte group holding entry n of FAT copy `copy` (0 is the first), when both bytes
// of the entry lie inside that copy and inside the image; nullopt otherwise.
std::optional<std::uint64_t> GroupOffset(const DiskImage& image, std::uint32_t copy,
                                         std::uint32_t n) {
  const auto& g = image.geometry;
  const std::uint64_t start =
      static_cast<std::uint64_t>(g.fatOffset) + static_cast<std::uint64_t>(copy) * g.FatBytes();
  const std::uint64_t end = std::min<std::uint64_t>(start + g.FatBytes(), image.bytes.size());
  const std::uint64_t p = start + static_cast<std::uint64_t>(n / 2) * 3;
  if (p + (n % 2 == 0 ? 1 : 2) >= end) return std::nullopt;
  return p;
}

}  // namespace

std::optional<std::uint16_t> FatCopyEntry(const DiskImage& image, std::uint32_t copy,
                                          std::uint32_t n) {
  const auto p = GroupOffset(image, copy, n);
  if (!p) return std::nullopt;
  const auto& b = image.bytes;
  if (n % 2 == 0) return static_cast<std::uint16_t>(b[*p] | ((b[*p + 1] & 0x0F) << 8));
  return static_cast<std::uint16_t>((b[*p + 1] >> 4) | (b[*p + 2] << 4));
}

std::uint16_t ReadFatEntry(const DiskImage& image, std::uint32_t n) {
  return FatCopyEntry(image, 0, n).value_or(kFatBad);
}

void WriteFatEntry(DiskImage& image, std::uint32_t n, std::uint16_t v) {
  const auto p = GroupOffset(image, 0, n);
  if (!p) return;
  auto& b = image.bytes;
  v &= 0xFFF;
  if (n % 2 == 0) {
    b[*p] = static_cast<std::uint8_t>(v & 0xFF);
    b[*p + 1] = static_cast<std::uint8_t>((b[*p + 1] & 0xF0) | (v >> 8));
  } else {
    b[*p + 2] = static_cast<std::uint8_t>((v >> 4) & 0xFF);
    b[*p + 1] = static_cast<std::uint8_t>((b[*p + 1] & 0x0F) | ((v & 0x0F) << 4));
  }
}

std::uint16_t FreeFatEntry(DiskImage& image, std::uint32_t n) {
  std::uint16_t old = ReadFatEntry(image, n);
  WriteFatEntry(image, n, 0);
  return old;
}

void CopyFatToMirrors(DiskImage& image) {
  const auto& g = image.geometry;
  auto& b = image.bytes;
  const std::uint64_t len = g.FatBytes();
  const std::uint64_t src = g.fatOffset;
  if (len == 0 || src >= b.size()) return;
  for (std::uint32_t k = 1; k < g.fatCount; ++k) {
    std::uint64_t dst = src + k * len;
    if (dst >= b.size()) break;
    std::uint64_t n = std::min<std::uint64_t>({len, b.size() - dst, b.size() - src});
    std::memmove(b.data() + dst, b.data() + src, n);
  }
}

std::int32_t FreeBytes(const DiskImage& image) {
  const auto& g = image.geometry;
  std::int64_t free = 0;
  ScanFreeFat(image, g.LastDataCluster(), [&free](std::uint32_t) {
    ++free;
    return true;
  });
  std::int64_t bytes = free * g.clusterBytes;
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(bytes, std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t ClusterOffset(const DiskGeometry& g, std::uint32_t n) {
  return g.dataOffset + (n - 2) * g.clusterBytes;
}

std::optional<Bytes> ClusterData(const DiskImage& image, std::uint32_t n) {
  const auto& g = image.geometry;
  if (n < 2 || n > g.LastDataCluster() || g.clusterBytes == 0) return std::nullopt;
  std::uint64_t off =
      static_cast<std::uint64_t>(g.dataOffset) + static_cast<std::uint64_t>(n - 2) * g.clusterBytes;
  if (off > image.bytes.size() || image.bytes.size() - off < g.clusterBytes) return std::nullopt;
  return Bytes(image.bytes.data() + off, g.clusterBytes);
}

ChainStep NextClusterCheck(const DiskGeometry& g, std::uint16_t n) {
  if (n == kFatEndOfChain) return ChainStep::End;
  if (n >= 0xFF8) return ChainStep::End;  // the other end markers of FAT12
  if (n > g.LastDataCluster() && n < 0xFF0) return ChainStep::Broken;
  if (n < 2) return ChainStep::Broken;       // free or reserved: the chain points nowhere
  if (n >= 0xFF0) return ChainStep::Broken;  // reserved values and the bad-cluster mark
  return ChainStep::Continue;
}

bool FirstClusterValid(const DiskImage& image, std::uint16_t first) {
  if (first < 2 || first > image.geometry.LastDataCluster()) return false;
  return ClusterData(image, first).has_value();
}

ChainWalk::ChainWalk(const DiskImage& image, std::uint16_t first, ChainPolicy policy)
    : image_(image), policy_(policy) {
  const auto& g = image.geometry;
  diskClusters_ = g.dataClusters > 0 ? static_cast<std::size_t>(g.dataClusters) : 0;
  if (policy_.loops == ChainLoops::AtRevisit)
    seen_.assign(static_cast<std::size_t>(g.LastDataCluster()) + 1, false);
  Enter(first);
}

void ChainWalk::Enter(std::uint16_t c) {
  if (!ClusterData(image_, c)) {  // also keeps c inside seen_
    stop_ = ChainStop::Outside;
    return;
  }
  if (policy_.loops == ChainLoops::AtRevisit) {
    if (seen_[c]) {
      stop_ = ChainStop::Loop;
      return;
    }
    seen_[c] = true;
  }
  if (policy_.freeOrBad == ChainFreeOrBad::Stop) {
    const std::uint16_t v = ReadFatEntry(image_, c);
    if (v == kFatFree || v == kFatBad) {
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
  const std::uint16_t next = ReadFatEntry(image_, cluster_);
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
