#include "core/volume.h"

#include <algorithm>
#include <cstring>

#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/msx_name.h"

namespace quarnel {

ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd) {
  ChainBytes out;
  const std::uint64_t cb = image.geometry.clusterBytes;
  if (size == 0) return out;
  const std::uint32_t last = image.geometry.LastDataCluster();
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(last - 1) * cb;
  if (cb == 0 || last < 2 || size > dataBytes) {
    out.complete = false;
    return out;
  }
  const std::uint64_t need = (size + cb - 1) / cb;
  out.bytes.reserve(static_cast<std::size_t>(need * cb));
  ChainWalk walk(image, first, ChainPolicy::Read(static_cast<std::size_t>(need), earlyEnd));
  for (std::uint16_t c : walk) {
    const Bytes data = *ClusterData(image, c);  // the walk yields data clusters only
    out.bytes.insert(out.bytes.end(), data.begin(), data.end());
  }
  if (walk.Stop() == ChainStop::Limit) {
    out.bytes.resize(size);
  } else {
    out.complete = false;
    out.endedEarly = walk.Stop() == ChainStop::EarlyEnd && !walk.Broken();
  }
  return out;
}

FileRead ReadFile(const DiskImage& image, const FileEntry& entry) {
  FileRead r;
  r.entry = entry;
  if (!image.Usable()) return r;
  // Below 2, above the disk, or a cluster the image does not hold.
  if (!FirstClusterValid(image, entry.firstCluster)) {
    r.status = ReadStatus::FirstClusterOutOfBounds;
    r.message = msg::kFirstClusterOutOfBounds;
    return r;
  }
  // The clusters the size needs; a chain that goes on after them is read like extraction reads
  // it. A broken chain, and a size beyond the disk, are errors of the FAT or the entry.
  // A chain that ends before the size is covered gives the bytes it has.
  ChainBytes data = ReadChainBytes(image, entry.firstCluster, entry.fullSize, ChainEarlyEnd::Short);
  if (!data.ok()) {
    r.status = ReadStatus::ClusterError;
    r.message = msg::kClusterError;
    return r;
  }
  r.chainEndedEarly = data.endedEarly;  // the bytes that exist, nothing invented for the rest
  r.bytes = std::move(data.bytes);
  r.status = ReadStatus::Ok;
  return r;
}

}  // namespace quarnel
