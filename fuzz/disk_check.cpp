// Check and repair on hostile images: small disks patched by the input (see small_disk.h; bit 1
// of its first byte asks repair to free lost chains).
// The check must end on any bytes; repair must never lose a cluster of a file that read whole
// before with the FAT repair keeps (its bytes read the same afterwards), and a check of the
// repaired image may find only what repair said it left.
#include "core/disk_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "core/boot_layout.h"
#include "core/change_guard.h"
#include "core/dir_entry.h"
#include "core/disk_repair.h"
#include "core/new_image.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "small_disk.h"

namespace {

[[noreturn]] void Violation(const char* what, std::size_t where) {
  std::fprintf(stderr, "repair: %s (%zu)\n", what, where);
  __builtin_trap();
}

std::map<std::size_t, std::vector<std::uint8_t>> WholeFiles(const quarnel::DiskImage& img) {
  std::map<std::size_t, std::vector<std::uint8_t>> out;
  for (const auto& e : quarnel::MapTreeClusters(img).entries) {
    if (e.attribute & (quarnel::kAttrDirectory | quarnel::kAttrVolume)) continue;
    auto r = quarnel::ReadChainBytes(img, e.firstCluster, e.size);
    if (r.complete) out[e.offset] = std::move(r.bytes);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto disk = quarnel::fuzz::SmallDisk(data, size);
  quarnel::Workspace ws;
  quarnel::fuzz::LoadSmallDisk(ws, std::move(disk));
  (void)quarnel::CheckDisk(ws.image);
  if (!ws.HasImage()) return 0;
  const quarnel::RepairPlan plan = quarnel::PlanRepair(ws.image, {(disk.flags & 2) != 0, {}});
  // Files as the FAT and the layout that repair keeps read them: taking the other FAT, or the
  // standard layout for a boot sector that does not fit, changes what they read.
  quarnel::DiskImage base = quarnel::WithGeometry(ws.image, plan.repaired.geometry);
  if (plan.fatCopied > 0) {
    const auto& g = base.geometry;
    const std::size_t len = g.FatBytes();
    std::memmove(
        base.MutableView().data() + g.fatOffset,
        base.Memory().data() + g.fatOffset + static_cast<std::size_t>(plan.fatCopied) * len, len);
  }
  const auto before = WholeFiles(base);
  const auto after = WholeFiles(plan.repaired);
  for (const auto& [off, bytes] : before) {
    // Renamed entries stay where they are; a cross-linked file reads its own copy.
    auto it = after.find(off);
    if (it == after.end()) Violation("file lost", off);
    if (it->second != bytes) Violation("file bytes changed", off);
  }
  std::size_t leftUnsaid = 0;
  for (const auto& f : plan.left) {
    const bool said = std::any_of(plan.actions.begin(), plan.actions.end(), [&](const auto& a) {
      return !a.done && a.finding.kind == f.kind;
    });
    if (!said && f.kind != quarnel::FindingKind::BootSector) ++leftUnsaid;
  }
  if (leftUnsaid != 0) Violation("findings left that repair did not name", leftUnsaid);
  return 0;
}
