#include "core/device_kind.h"

#include <algorithm>

#include "core/geometry.h"
#include "core/partition_store.h"

namespace quarnel {

DeviceKind DeviceKindOf(const std::string& path) {
  const auto store = OpenImageFileStore(path);
  if (!store) return DeviceKind::Other;
  if (ReadPartitionTable(*store).Partitioned()) return DeviceKind::Partitioned;
  if (store->Size() <= kLargestFloppyBytes) return DeviceKind::Other;
  const auto boot = store->Read(0, std::min<std::uint64_t>(store->Size(), 512));
  return boot && ReadGeometry(*boot, store->Size()).Usable() ? DeviceKind::LargeVolume
                                                             : DeviceKind::Other;
}

DeviceSurvey SurveyDevice(const std::string& path) {
  DeviceSurvey survey;
  const auto store = OpenImageFileStore(path);
  if (!store) return survey;
  survey.bytes = store->Size();
  survey.table = ReadPartitionTable(*store);
  for (const Partition& p : survey.table.partitions) {
    const PartitionStore window(store->Clone(), p.Offset(), p.Length(), false);
    survey.volumes.push_back(ReadPartitionVolume(window, p));
  }
  return survey;
}

}  // namespace quarnel
