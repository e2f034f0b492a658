#include "core/free_clusters.h"

#include <algorithm>

#include "core/fat.h"

namespace quarnel {

namespace {

// The highest data cluster whose bytes lie wholly inside the image (1 when there is none).
std::uint32_t LastClusterInside(const DiskImage& image) {
  std::uint32_t last = image.geometry.LastDataCluster();
  while (last >= 2 && !ClusterHeld(image, last)) --last;  // a cut image: the clusters at its end
  return last;
}

}  // namespace

std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n,
                                              std::uint32_t from) {
  std::vector<std::uint16_t> out;
  if (n == 0) return out;
  out.reserve(n);
  const std::uint32_t last = LastClusterInside(image);
  if (from <= 2) {
    ScanFreeFat(image, last, [&](std::uint32_t c) {
      out.push_back(static_cast<std::uint16_t>(c));
      return out.size() < n;
    });
    return out;
  }
  // Entry by entry from `from`: a run of adds finds its clusters right there.
  for (std::uint32_t c = from; c <= last && out.size() < n; ++c)
    if (ReadFatEntry(image, c) == kFatFree) out.push_back(static_cast<std::uint16_t>(c));
  return out;
}

std::size_t FreeClusterCount(const DiskImage& image) {
  std::size_t count = 0;
  ScanFreeFat(image, LastClusterInside(image), [&count](std::uint32_t) {
    ++count;
    return true;
  });
  return count;
}

std::vector<std::uint16_t> LowestFreeAfterRelease(const DiskImage& image,
                                                  const std::vector<std::uint16_t>& release,
                                                  std::size_t need, std::uint32_t from) {
  // The lowest `need` of free + released lie among the lowest `need` free ones and `release`.
  std::vector<std::uint16_t> out = LowestFreeClusters(image, need, from);
  out.insert(out.end(), release.begin(), release.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  out.resize(std::min(out.size(), need));
  return out;
}

}  // namespace quarnel
