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

std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n) {
  std::vector<std::uint16_t> out;
  if (n == 0) return out;
  out.reserve(n);
  ScanFreeFat(image, LastClusterInside(image), [&](std::uint32_t c) {
    out.push_back(static_cast<std::uint16_t>(c));
    return out.size() < n;
  });
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
                                                  std::size_t need) {
  // The lowest `need` of free + released lie among the lowest `need` free ones and `release`.
  std::vector<std::uint16_t> out = LowestFreeClusters(image, need);
  out.insert(out.end(), release.begin(), release.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  out.resize(std::min(out.size(), need));
  return out;
}

}  // namespace quarnel
