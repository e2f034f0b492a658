// Load a full 1.44 MB image, list every directory and read every file.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_images.h"
#include "core/boot_sector.h"
#include "core/dir_entry.h"
#include "core/disk_image.h"
#include "core/fat.h"
#include "core/image_path.h"
#include "core/view_choice.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;

// A 1.44 MB disk (one-sector clusters) filled with 16 subdirectories of 8 files each and root
// files, every file in one contiguous chain.
std::vector<std::uint8_t> MakeImage() {
  const std::vector<std::uint8_t> blank = quarnel::bench::Blank1440();
  DiskImage img(ImageBytes(blank.begin(), blank.end()));
  img.geometry = ReadGeometry(img.View(), img.Size()).geometry;
  const auto& g = img.geometry;
  std::uint16_t next = 2;
  auto alloc = [&](std::size_t bytes) {
    std::size_t n = (bytes + g.clusterBytes - 1) / g.clusterBytes;
    std::uint16_t first = next;
    for (std::size_t i = 0; i < n; ++i, ++next)
      WriteFatEntry(img, next, i + 1 < n ? next + 1 : 0xFFF);
    return first;
  };
  auto entry = [&](std::size_t offset, const std::string& name, std::uint8_t attr,
                   std::uint16_t first, std::uint32_t size) {
    DirEntry e{};
    std::memset(e.name, ' ', 11);
    std::memcpy(e.name, name.data(), std::min<std::size_t>(name.size(), 8));
    std::memcpy(e.extension, "BIN", 3);
    if (attr & kAttrDirectory) std::memset(e.extension, ' ', 3);
    e.attribute = attr;
    e.firstCluster.Set(first);
    e.size.Set(size);
    PutDirEntry(img.MutableView(), offset, e);
  };
  int rootSlot = 0;
  for (int d = 0; d < 16; ++d) {
    std::uint16_t dir = alloc(2048);
    entry(g.rootOffset + 32 * rootSlot++, "DIR" + std::to_string(d), kAttrDirectory, dir, 0);
    for (int f = 0; f < 8; ++f) {
      std::uint32_t size = 9000 + 37 * f;
      std::uint16_t first = alloc(size);
      entry(ClusterOffset(g, dir) + 32 * f, "F" + std::to_string(f), 0, first, size);
    }
  }
  while (rootSlot < 40) {
    std::uint32_t size = 6000;
    std::uint16_t first = alloc(size);
    entry(g.rootOffset + 32 * rootSlot, "R" + std::to_string(rootSlot), 0, first, size);
    ++rootSlot;
  }
  CopyFatToMirrors(img);
  return {img.Memory().begin(), img.Memory().end()};
}

void BM_LoadListReadAll(benchmark::State& state) {
  const auto image = MakeImage();
  std::size_t bytesRead = 0;
  for (auto _ : state) {
    Workspace ws;
    ws.LoadImageBytes(image, "bench.dsk");
    bytesRead = 0;
    for (const FileEntry& e : ws.Entries()) {
      if (!e.IsDirectory()) {
        bytesRead += ReadFile(ws.image, e).bytes.size();
        continue;
      }
      if (e.IsDot()) continue;
      auto sub = ListDirectory(ws.image, DirRef{e.firstCluster});
      if (!sub) continue;
      for (const FileEntry& f : EntriesOf(*sub))
        if (!f.IsDirectory()) bytesRead += ReadFile(ws.image, f).bytes.size();
    }
    benchmark::DoNotOptimize(bytesRead);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(image.size()));
  state.counters["fileBytes"] = static_cast<double>(bytesRead);
}
BENCHMARK(BM_LoadListReadAll)->Unit(benchmark::kMicrosecond);

void BM_FreeBytes(benchmark::State& state) {
  Workspace ws;
  ws.LoadImageBytes(MakeImage(), "bench.dsk");
  for (auto _ : state) benchmark::DoNotOptimize(FreeBytes(ws.image));
}
BENCHMARK(BM_FreeBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
