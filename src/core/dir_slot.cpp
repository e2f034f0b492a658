#include "core/dir_slot.h"

#include <cstring>

#include "core/ascii.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/workspace.h"

namespace quarnel {

std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot) {
  const DiskGeometry& g = image.geometry;
  if (slot < 0 || slot >= static_cast<int>(g.rootEntries)) return std::nullopt;
  std::size_t off = g.rootOffset + static_cast<std::size_t>(slot) * kDirEntrySize;
  if (off + kDirEntrySize > image.bytes.size()) return std::nullopt;
  return off;
}

std::optional<std::size_t> CurrentSlotOffset(const Workspace& ws, int slot) {
  const DiskImage& img = ws.image;
  if (!ws.HasImage() || slot < 0) return std::nullopt;
  if (img.level == 0) return RootSlotOffset(img, slot);
  const DirLevel& lv = ws.CurrentLevel();
  if (slot >= lv.entryCount || !FirstClusterValid(img, lv.firstCluster)) return std::nullopt;
  const std::size_t cb = img.geometry.clusterBytes;
  const std::size_t pos = static_cast<std::size_t>(slot) * kDirEntrySize;
  // The cluster at position pos / cb of the level's chain, when the chain reaches that far.
  ChainWalk walk(img, lv.firstCluster, ChainPolicy::Follow(pos / cb + 1));
  if (walk.WalkToStop() <= pos / cb) return std::nullopt;
  auto data = ClusterData(img, walk.Cluster());
  if (!data) return std::nullopt;
  std::size_t off = static_cast<std::size_t>(data->data() - img.bytes.data()) + pos % cb;
  if (off + kDirEntrySize > img.bytes.size()) return std::nullopt;
  return off;
}

std::vector<std::size_t> LongNamePieceOffsets(const Workspace& ws, int slot) {
  std::vector<std::size_t> out;
  auto entry = CurrentSlotOffset(ws, slot);
  if (!entry) return out;
  const auto& b = ws.image.bytes;
  constexpr std::uint8_t kLastPiece = 0x40;
  for (int k = 1; k <= 20 && slot - k >= 0; ++k) {  // 20 pieces hold the longest long name
    auto off = CurrentSlotOffset(ws, slot - k);
    if (!off) break;
    const std::uint8_t* e = b.data() + *off;
    if (IsFreeSlot(e[0]) || !IsLongNameAttribute(e[11]) || (e[0] & 0x1F) != k) break;
    out.push_back(*off);
    if (e[0] & kLastPiece) break;
  }
  return out;
}

bool SameMsxName(const std::uint8_t* a, const std::uint8_t* b) {
  for (int i = 0; i < 11; ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool IsDotEntry(const std::uint8_t* n) {
  return std::memcmp(n, ".          ", 11) == 0 || std::memcmp(n, "..         ", 11) == 0;
}

}  // namespace quarnel
