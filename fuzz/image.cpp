// Loads a disk image made from the fuzzer's bytes, lists every directory it can reach and reads
// every file; lists the pictures of the tree as the gallery does; builds the disk and file
// reports, the cluster owners and the sector view, and runs the searches over the image. The image
// is a small disk patched by the input (see small_disk.h), so the fuzzer shapes the boot sector,
// the FATs and the directories with few bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/image_path.h"
#include "core/view_choice.h"
#include "core/workspace.h"
#include "small_disk.h"
#include "tools/disk_report.h"
#include "tools/hex_grid.h"
#include "tools/search.h"
#include "tools/write_back.h"
#include "viewers/disk_pictures.h"

namespace {

void Visit(quarnel::Workspace& ws, int& budget) {
  using namespace quarnel;
  for (const FileEntry& e : ws.Entries()) {
    if (e.IsDot() || e.IsVolume()) continue;
    if (!e.IsDirectory()) {
      FileRead f = ReadFile(ws.image, e);
      if (f.ok() && f.bytes.size() > e.fullSize) __builtin_trap();
      ChooseView(e);
      const tools::Report info = tools::BuildFileInfo(ws.image, e);
      if (info.chain.size() > static_cast<std::size_t>(ws.image.geometry.LastDataCluster()))
        __builtin_trap();
      tools::ReportText(info);
      continue;
    }
    if (--budget <= 0) return;
    const int depth = ws.Depth();
    if (ws.Enter(e, e.Caption()) == EnterOutcome::Entered && ws.Depth() > depth) {
      Visit(ws, budget);
      // Back to this directory.
      while (ws.Depth() > depth) ws.Leave();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto disk = quarnel::fuzz::SmallDisk(data, size);
  quarnel::Workspace ws;
  quarnel::fuzz::LoadSmallDisk(ws, std::move(disk));
  int budget = 64;
  Visit(ws, budget);
  quarnel::Resolve(ws.image, "A/B/C.TXT");
  // The gallery's walk: every directory once, files only.
  for (const auto& p : quarnel::viewers::FindPicturesBelow(ws.image, quarnel::kRootDir))
    if (p.entry.IsDirectory() || p.entry.IsVolume() || p.path.empty()) __builtin_trap();

  using namespace quarnel::tools;
  const Report detail = BuildDiskDetail(ws.image, "fuzz.dsk");
  ReportText(detail);
  const auto owners = ClusterOwners(ws.image);
  for (std::size_t cell = 0; cell < detail.map.cells.size(); cell += 97)
    DescribeCell(detail.map, cell, owners);

  const SectorLayout layout = SectorLayoutOf(ws.image);
  const std::int32_t last = ClampSector(1 << 30, layout);
  HexGrid grid(SectorBytes(ws.image, layout, last), 24);
  grid.Store({3, 2}, "7");
  if (grid.Values().size() != grid.byteCount()) __builtin_trap();

  const auto& image = ws.image.Memory();
  if (size >= 3) {
    const std::vector<std::uint8_t> pattern(data, data + 3);
    const auto hits = FindAllBytes(image, pattern);
    for (std::size_t hit : hits)
      if (hit + 3 > image.size() || image[hit] != data[0]) __builtin_trap();
    // The search a window at a time finds the same.
    const auto windowed = FindInImage(
        ws.image, pattern.size(),
        [&](quarnel::Bytes w, std::size_t from) { return FindBytes(w, pattern, from); });
    if (!std::equal(hits.begin(), hits.end(), windowed.begin(), windowed.end())) __builtin_trap();
    const std::string_view text(reinterpret_cast<const char*>(image.data()), image.size());
    FindTextIgnoringCase(text, std::string_view(reinterpret_cast<const char*>(data), 3),
                         size % image.size());
  }
  return 0;
}
