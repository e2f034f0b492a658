// What the whole-disk check costs: a full 720 KB disk (100 files of 7 KB in the root), clean and
// with four links of the first FAT zeroed (broken chains, lost clusters, differing copies), and a
// full 1.44 MB disk with 200 files in 20 subdirectories.
#include "core/disk_check.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_images.h"
#include "core/add_file.h"
#include "core/boot_sector.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;

DiskImage Full720() { return bench::FullDisk720(); }

// A 1.44 MB disk (one sector per cluster, 224 root entries) laid out by hand: 20 directories
// of one cluster in the root, 10 files of 14 clusters in each, and 0 files in the root.
DiskImage Full1440() {
  std::vector<std::uint8_t> bytes = bench::Blank1440();
  Workspace ws;
  ws.LoadImageBytes(std::move(bytes), "full.dsk");
  DiskImage img = ws.image;
  const auto& g = img.geometry;
  WriteFatEntry(img, 0, 0xFF0);
  WriteFatEntry(img, 1, 0xFFF);
  std::uint16_t next = 2;
  auto entry = [&img](std::size_t off, const std::string& name, std::uint8_t attr,
                      std::uint16_t first, std::uint32_t size) {
    DirEntry e{};
    const auto n = MakeMsxName(name);
    std::copy(n.begin(), n.begin() + 8, e.name);
    std::copy(n.begin() + 8, n.end(), e.extension);
    if (name == "." || name == "..") {
      std::fill(std::begin(e.name), std::end(e.name), ' ');
      std::fill(std::begin(e.extension), std::end(e.extension), ' ');
      std::copy(name.begin(), name.end(), e.name);
    }
    e.attribute = attr;
    e.firstCluster.Set(first);
    e.size.Set(size);
    PutDirEntry(img.MutableView(), off, e);
  };
  for (int d = 0; d < 20; ++d) {
    const std::uint16_t dir = next++;
    WriteFatEntry(img, dir, FatMarksOf(g.fatKind).endOfChain);
    entry(g.rootOffset + static_cast<std::size_t>(d) * 32, "DIR" + std::to_string(d),
          kAttrDirectory, dir, 0);
    const std::size_t base = ClusterOffset(g, dir);
    entry(base, ".", kAttrDirectory, dir, 0);
    entry(base + 32, "..", kAttrDirectory, 0, 0);
    for (int f = 0; f < 10; ++f) {
      const std::uint16_t first = next;
      for (int k = 0; k < 14; ++k, ++next)
        WriteFatEntry(
            img, next,
            k == 13 ? FatMarksOf(g.fatKind).endOfChain : static_cast<std::uint16_t>(next + 1));
      entry(base + 64 + static_cast<std::size_t>(f) * 32, "F" + std::to_string(f) + ".BIN",
            kAttrArchive, first, 14 * 512);
    }
  }
  CopyFatToMirrors(img);
  return img;
}

void CheckFull1440(benchmark::State& state) {
  const DiskImage img = Full1440();
  if (!CheckDisk(img).Clean()) state.SkipWithError("the disk is not clean");
  for (auto _ : state) benchmark::DoNotOptimize(CheckDisk(img));
}

void CheckFull720(benchmark::State& state) {
  const DiskImage img = Full720();
  for (auto _ : state) benchmark::DoNotOptimize(CheckDisk(img));
}

void CheckDamaged720(benchmark::State& state) {
  DiskImage img = Full720();
  for (std::uint32_t c : {20u, 200u, 400u, 600u}) WriteFatEntry(img, c, 0);
  if (CheckDisk(img).Clean()) state.SkipWithError("the disk is not damaged");
  for (auto _ : state) benchmark::DoNotOptimize(CheckDisk(img));
}

BENCHMARK(CheckFull720)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckDamaged720)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckFull1440)->Unit(benchmark::kMicrosecond);

}  // namespace
