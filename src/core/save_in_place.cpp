#include "core/save_in_place.h"

#include <algorithm>

#include "core/fat.h"
#include "core/fat_codec.h"

namespace quarnel {

std::vector<std::uint64_t> InPlaceWriteOrder(const DiskImage& image) {
  const SectorStore* store = image.Store();
  if (!store) return {};
  const std::vector<std::uint64_t> staged = store->StagedSectors();
  if (staged.empty()) return {};
  const DiskGeometry& g = image.geometry;
  const FatKind kind = g.fatKind;
  // The first FAT as the file holds it (before the change) and as the change left it.
  const std::uint64_t fatLength =
      g.fatOffset < image.Size() ? std::min<std::uint64_t>(g.FatBytes(), image.Size() - g.fatOffset)
                                 : 0;
  const std::vector<std::uint8_t> before =
      store->ReadCommitted(g.fatOffset, static_cast<std::size_t>(fatLength))
          .value_or(std::vector<std::uint8_t>());
  const Bytes after = FatCopyBytes(image, 0);
  const std::uint32_t last = LastEntryWithin(
      kind, std::min<std::uint64_t>(before.size(), after.size()), g.LastDataCluster());
  auto entry = [kind](const std::uint8_t* table, std::uint32_t n) {
    return DecodeFatEntry(kind, n, table + FatEntryOffset(kind, n));
  };
  auto wasFree = [&](std::uint32_t c) {
    return c >= 2 && c <= last && entry(before.data(), c) == 0;
  };
  bool takesClusters = false;
  for (std::uint32_t c = 2; c <= last && !takesClusters; ++c)
    takesClusters = entry(before.data(), c) == 0 && entry(after.data(), c) != 0;

  constexpr std::uint64_t kSector = SectorStore::kStagedSectorBytes;
  const std::uint64_t fatEnd = g.fatOffset + std::uint64_t{g.fatCount} * g.FatBytes();
  std::vector<std::uint64_t> fresh, fats, rest;
  for (std::uint64_t s : staged) {
    const std::uint64_t start = s * kSector;
    if (start + kSector > g.fatOffset && start < fatEnd) {
      fats.push_back(s);  // ascending: the first copy before the second
    } else if (start >= g.dataOffset && g.clusterBytes > 0 &&
               wasFree(static_cast<std::uint32_t>(std::min<std::uint64_t>(
                   (start - g.dataOffset) / g.clusterBytes + 2, 0xFFFFFFFF)))) {
      fresh.push_back(s);
    } else {
      rest.push_back(s);
    }
  }
  std::vector<std::uint64_t> order = fresh;
  const auto& second = takesClusters ? rest : fats;
  const auto& first = takesClusters ? fats : rest;
  order.insert(order.end(), first.begin(), first.end());
  order.insert(order.end(), second.begin(), second.end());
  return order;
}

bool CommitInPlace(DiskImage& image) {
  SectorStore* store = image.MutableStore();
  if (!store) return false;
  if (store->StagedSectors().empty()) return true;
  return store->Commit(InPlaceWriteOrder(image));
}

}  // namespace quarnel
