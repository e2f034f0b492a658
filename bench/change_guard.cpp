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

// A 720 KB disk holding 100 files of 7 KB in the root: 700 clusters in use.
std::vector<std::uint8_t> FullDisk() {
  const auto& bytes = quarnel::bench::FullDisk720().Memory();
  return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> RealDisk() {
  const auto p = std::filesystem::path(QUARNEL_SHARED_DIR) / "realdata" / "dsk" /
                 "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__output__examples.dsk";
  auto bytes = ReadHostBytes(p, kLargestImageSize);
  return bytes ? *bytes : BuildNewImage(GeometryTable[7]);
}

void MapTree(benchmark::State& state, std::vector<std::uint8_t> (*make)()) {
  Workspace ws;
  ws.LoadImageBytes(make(), "disk.dsk");
  for (auto _ : state) benchmark::DoNotOptimize(MapTreeClusters(ws.image));
}

void AddOneFile(benchmark::State& state, std::vector<std::uint8_t> (*make)()) {
  const auto bytes = make();
  NewFile f;
  f.name = "NEW.BIN";
  f.bytes.assign(5000, 0x5A);
  for (auto _ : state) {
    state.PauseTiming();
    Workspace ws;
    ws.LoadImageBytes(bytes, "disk.dsk");
    state.ResumeTiming();
    benchmark::DoNotOptimize(AddFileData(ws.image, kRootDir, f));
  }
}

// 60 files of 1.5-7 KB added one after another to an empty 720 KB disk, as `add` does: every
// add checked by one guard kept over the run (range 1), or each on a map of its own (range 0).
void AddRun(benchmark::State& state) {
  const auto empty = BuildNewImage(GeometryTable[7]);
  std::vector<NewFile> files(60);
  for (std::size_t i = 0; i < files.size(); ++i) {
    files[i].name = std::to_string(i).append(".BIN");
    files[i].bytes.assign(1500 + i * 97, static_cast<std::uint8_t>(i));
  }
  for (auto _ : state) {
    state.PauseTiming();
    Workspace ws;
    ws.LoadImageBytes(empty, "disk.dsk");
    state.ResumeTiming();
    ChangeGuard guard(ws.image);
    for (const auto& f : files)
      benchmark::DoNotOptimize(
          AddFileData(ws.image, kRootDir, f, state.range(0) != 0 ? &guard : nullptr));
  }
}

// The lowest free clusters past 700 used ones, and all free ones counted.
void FreeClusters(benchmark::State& state) {
  const DiskImage full = quarnel::bench::FullDisk720();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LowestFreeClusters(full, 8));
    benchmark::DoNotOptimize(FreeClusterCount(full));
  }
}

BENCHMARK(AddRun)->Arg(0)->Arg(1);
BENCHMARK(FreeClusters);
BENCHMARK_CAPTURE(MapTree, real_disk, RealDisk);
BENCHMARK_CAPTURE(MapTree, full_disk, FullDisk);
BENCHMARK_CAPTURE(AddOneFile, real_disk, RealDisk);
BENCHMARK_CAPTURE(AddOneFile, full_disk, FullDisk);

}  // namespace
