// What the check before every change costs: mapping the directory tree's clusters, and one
// whole add (plan, check, write) on real disks of other people and on a disk filled to the brim.
#include "core/change_guard.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_images.h"
#include "core/add_file.h"
#include "core/host_file.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;

using QuietUi = quarnel::SilentUi;

// A 720 KB disk holding 100 files of 7 KB in the root: 700 clusters in use.
std::vector<std::uint8_t> FullDisk() { return quarnel::bench::FullDisk720().bytes; }

std::vector<std::uint8_t> RealDisk() {
  const auto p = std::filesystem::path(QUARNEL_SHARED_DIR) / "realdata" / "dsk" /
                 "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__output__examples.dsk";
  auto bytes = ReadHostBytes(p, kLargestImageSize);
  return bytes ? *bytes : BuildNewImage(GeometryTable[7]);
}

void MapTree(benchmark::State& state, std::vector<std::uint8_t> (*make)()) {
  QuietUi ui;
  Workspace ws;
  ws.LoadImageBytes(make(), "disk.dsk", ui);
  for (auto _ : state) benchmark::DoNotOptimize(MapTreeClusters(ws.image));
}

void AddOneFile(benchmark::State& state, std::vector<std::uint8_t> (*make)()) {
  const auto bytes = make();
  QuietUi ui;
  NewFile f;
  f.name = "NEW.BIN";
  f.bytes.assign(5000, 0x5A);
  for (auto _ : state) {
    state.PauseTiming();
    Workspace ws;
    ws.LoadImageBytes(bytes, "disk.dsk", ui);
    state.ResumeTiming();
    benchmark::DoNotOptimize(AddFileData(ws.image, kRootDir, f));
  }
}

BENCHMARK_CAPTURE(MapTree, real_disk, RealDisk);
BENCHMARK_CAPTURE(MapTree, full_disk, FullDisk);
BENCHMARK_CAPTURE(AddOneFile, real_disk, RealDisk);
BENCHMARK_CAPTURE(AddOneFile, full_disk, FullDisk);

}  // namespace
