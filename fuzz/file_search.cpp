// Find on Disk and Properties on hostile images: small disks patched by the input (see
// small_disk.h; bits 1-2 of its first byte pick the pattern, bit 3 ignores case).
// The search must end on any bytes, and every hit must lie inside the bytes its file reads,
// holding the pattern there; the properties of every hit's entry must be made, their ranges
// covering the chain; setting an entry's attributes may change its attribute byte and nothing
// else.
#include "tools/file_search.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/entry_attributes.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "small_disk.h"
#include "tools/file_properties.h"
#include "tools/search.h"

namespace {

[[noreturn]] void Violation(const char* what, std::size_t where) {
  std::fprintf(stderr, "file search: %s (%zu)\n", what, where);
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto disk = quarnel::fuzz::SmallDisk(data, size);
  const std::uint8_t flags = disk.flags;
  quarnel::Workspace ws;
  quarnel::fuzz::LoadSmallDisk(ws, std::move(disk));
  if (!ws.HasImage()) return 0;
  static const std::vector<std::uint8_t> kPatterns[] = {{0x00}, {'A'}, {0xE5, 0xE5}, {'a', 'b'}};
  const std::vector<std::uint8_t>& pattern = kPatterns[(flags >> 1) & 3];
  const bool ignoreCase = (flags & 8) != 0;
  quarnel::tools::FileSearch search(ws.image, pattern, ignoreCase, 5000);
  while (!search.Done()) search.Step(4096);
  std::size_t checked = 0;
  for (const quarnel::tools::FileHit& hit : search.Hits()) {
    if (++checked > 50) break;
    const auto dir = quarnel::ListDirectory(ws.image, hit.dir);
    if (!dir) Violation("hit in a directory that does not list", hit.entryOffset);
    const auto entry = quarnel::EntryAt(*dir, hit.slot);
    if (!entry || entry->offset != hit.entryOffset) Violation("hit names no entry", hit.slot);
    const quarnel::FileRead read = quarnel::ReadFile(ws.image, *entry);
    if (!read.ok() || hit.offset + pattern.size() > read.bytes.size())
      Violation("hit outside the file's bytes", hit.offset);
    const auto at = quarnel::tools::FindAllMatches(
        quarnel::Bytes(read.bytes.data() + hit.offset, pattern.size()), pattern, ignoreCase);
    if (at.empty()) Violation("no pattern at the hit", hit.offset);
    const auto props = quarnel::tools::BuildFileProperties(ws.image, *entry);
    std::size_t covered = 0;
    for (const auto& r : props.clusters) covered += r.last - r.first + 1;
    if (covered != props.chain.size()) Violation("ranges do not cover the chain", hit.slot);
    const quarnel::ImageBytes before = ws.image.Memory();
    (void)quarnel::SetEntryAttributes(ws.image, *dir, *entry, quarnel::kAttrHidden);
    const quarnel::ImageBytes& after = ws.image.Memory();
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && i != entry->offset + 11) Violation("attribute write strayed", i);
  }
  return 0;
}
