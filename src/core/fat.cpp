#include "core/fat.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "core/messages.h"

namespace quarnel {

namespace {

// Byte offset of the 3-byte group holding entry n of the first FAT.
std::uint64_t GroupOffset(const DiskGeometry& g, std::uint32_t n) {
  return static_cast<std::uint64_t>(g.fatOffset) + static_cast<std::uint64_t>(n / 2) * 3;
}

// End of the first FAT copy, cut to the image: entries at or past it are neither read nor written.
std::uint64_t FirstFatEnd(const DiskImage& image) {
  const auto& g = image.geometry;
  return std::min<std::uint64_t>(static_cast<std::uint64_t>(g.fatOffset) + g.FatBytes(), image.bytes.size());
}

}  // namespace

std::uint16_t ReadFatEntry(const DiskImage& image, std::uint32_t n) {
  const auto& b = image.bytes;
  std::uint64_t p = GroupOffset(image.geometry, n);
  const std::uint64_t fatEnd = FirstFatEnd(image);
  if (n % 2 == 0) {
    if (p + 1 >= fatEnd) return kFatBad;
    return static_cast<std::uint16_t>(b[p] | ((b[p + 1] & 0x0F) << 8));
  }
  if (p + 2 >= fatEnd) return kFatBad;
  return static_cast<std::uint16_t>((b[p + 1] >> 4) | (b[p + 2] << 4));
}

void WriteFatEntry(DiskImage& image, std::uint32_t n, std::uint16_t v) {
  auto& b = image.bytes;
  std::uint64_t p = GroupOffset(image.geometry, n);
  const std::uint64_t fatEnd = FirstFatEnd(image);
  v &= 0xFFF;
  if (n % 2 == 0) {
    if (p + 1 >= fatEnd) return;
    b[p] = static_cast<std::uint8_t>(v & 0xFF);
    b[p + 1] = static_cast<std::uint8_t>((b[p + 1] & 0xF0) | (v >> 8));
  } else {
    if (p + 2 >= fatEnd) return;
    b[p + 2] = static_cast<std::uint8_t>((v >> 4) & 0xFF);
    b[p + 1] = static_cast<std::uint8_t>((b[p + 1] & 0x0F) | ((v & 0x0F) << 4));
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
  for (std::uint32_t n = 2; n <= g.LastDataCluster(); ++n)
    if (ReadFatEntry(image, n) == kFatFree) ++free;
  std::int64_t bytes = free * g.clusterBytes;
  return static_cast<std::int32_t>(std::min<std::int64_t>(bytes, std::numeric_limits<std::int32_t>::max()));
}

std::uint16_t FirstFreeCluster(const DiskImage& image, Ui& ui) {
  const auto& g = image.geometry;
  for (std::uint32_t n = 2; n <= g.LastDataCluster(); ++n)
    if (ReadFatEntry(image, n) == kFatFree) return static_cast<std::uint16_t>(n);
  ui.Notify(msg::kInternalError);
  return 0;
}

std::uint16_t NextFreeCluster(const DiskImage& image, Ui& ui) {
  const auto& g = image.geometry;
  bool skipped = false;
  for (std::uint32_t n = 2; n <= g.LastDataCluster(); ++n) {
    if (ReadFatEntry(image, n) != kFatFree) continue;
    if (skipped) return static_cast<std::uint16_t>(n);
    skipped = true;
  }
  std::uint32_t past = g.LastDataCluster() + 1;
  ui.Notify(std::string(msg::kInternalErrorAt) + std::to_string(ReadFatEntry(image, past)));
  return static_cast<std::uint16_t>(past);
}

std::uint32_t ClusterOffset(const DiskGeometry& g, std::uint32_t n) {
  return g.dataOffset + (n - 2) * g.clusterBytes;
}

std::optional<Bytes> ClusterData(const DiskImage& image, std::uint32_t n) {
  const auto& g = image.geometry;
  if (n < 2 || n > g.LastDataCluster() || g.clusterBytes == 0) return std::nullopt;
  std::uint64_t off = static_cast<std::uint64_t>(g.dataOffset) +
                      static_cast<std::uint64_t>(n - 2) * g.clusterBytes;
  if (off > image.bytes.size() || image.bytes.size() - off < g.clusterBytes) return std::nullopt;
  return Bytes(image.bytes.data() + off, g.clusterBytes);
}

ChainStep NextClusterCheck(const DiskGeometry& g, std::uint16_t n) {
  if (n == kFatEndOfChain) return ChainStep::End;
  if (n >= 0xFF8) return ChainStep::End;  // the other end markers of FAT12
  if (n > g.LastDataCluster() && n < 0xFF0) return ChainStep::Broken;
  if (n < 2) return ChainStep::Broken;  // free or reserved: the chain points nowhere
  if (n >= 0xFF0) return ChainStep::Broken;  // reserved values and the bad-cluster mark
  return ChainStep::Continue;
}

bool FirstClusterValid(const DiskImage& image, std::uint16_t first) {
  if (first < 2 || first > image.geometry.LastDataCluster()) return false;
  return ClusterData(image, first).has_value();
}

Chain FollowChain(const DiskImage& image, std::uint16_t first, std::size_t maxClusters) {
  Chain c;
  const auto& g = image.geometry;
  const std::size_t diskClusters = g.dataClusters > 0 ? static_cast<std::size_t>(g.dataClusters) : 0;
  if (!ClusterData(image, first)) {
    c.broken = true;
    return c;
  }
  std::uint16_t cur = first;
  for (;;) {
    c.clusters.push_back(cur);
    if (maxClusters != 0 && c.clusters.size() >= maxClusters) return c;
    std::uint16_t next = ReadFatEntry(image, cur);
    ChainStep step = NextClusterCheck(g, next);
    if (step == ChainStep::End) return c;
    // A chain with more clusters than the disk has must come back to one: a loop.
    if (step == ChainStep::Broken || c.clusters.size() >= diskClusters ||
        !ClusterData(image, next)) {
      c.broken = true;
      return c;
    }
    cur = next;
  }
}

}  // namespace quarnel
