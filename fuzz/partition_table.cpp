// Partition tables on any bytes: the input is the start of an image (sector 0 and the sectors
// an EBR chain may point into). Whatever the table says, no partition reaches past the image,
// every window refuses a write across its edge, and each volume's summary is read safely.
#include "core/partition_table.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/partition_store.h"
#include "core/partition_volume.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarnel;
  if (size > (128 << 10)) return 0;
  const ImageBytes bytes(data, data + size);
  const MemoryStore store(bytes);
  const PartitionTable table = ReadPartitionTable(store);
  if (!table.Partitioned() && !table.partitions.empty()) __builtin_trap();
  for (const Partition& p : table.partitions) {
    if (p.usableSectors > p.sectors) __builtin_trap();
    if (p.Length() > 0 && p.Offset() + p.Length() > size) __builtin_trap();
    if (p.Length() == 0 && p.refusal.empty()) __builtin_trap();
    PartitionStore window(store.Clone(), p.Offset(), p.Length());
    if (window.Size() != p.Length()) __builtin_trap();
    const std::uint8_t two[2] = {0, 0};
    if (window.Size() > 0 && window.Write(window.Size() - 1, Bytes(two, 2))) __builtin_trap();
    (void)ReadPartitionVolume(window, p);
  }
  (void)PartitionList(table);
  return 0;
}
