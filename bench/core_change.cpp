// Adding 100 files of mixed sizes to an empty 720 KB image and deleting them again, all in
// memory; and the cluster search on its own on a fragmented disk.
#include <benchmark/benchmark.h>

#include <random>

#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/fat.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

std::vector<quarnel::NewFile> MixedFiles() {
  std::mt19937 rng(100);
  std::vector<quarnel::NewFile> files;
  for (int i = 0; i < 100; ++i) {
    quarnel::NewFile f;
    f.name = "FILE" + std::to_string(i) + ".BIN";
    // Mostly small, some of tens of KB: about 600 KB in all, so the disk gets nearly full.
    std::size_t size = i % 10 == 0 ? 20000 + rng() % 20000 : rng() % 6000;
    f.bytes.resize(size);
    for (auto& b : f.bytes) b = static_cast<std::uint8_t>(rng());
    files.push_back(std::move(f));
  }
  return files;
}

void BM_Add100ThenDelete(benchmark::State& state) {
  const auto files = MixedFiles();
  const auto empty = quarnel::BuildNewImage(*quarnel::GeometryForSize("720"));
  for (auto _ : state) {
    quarnel::Workspace ws;
    ws.LoadImageBytes(empty, "bench.dsk");
    for (const auto& f : files) quarnel::AddFileData(ws.image, quarnel::kRootDir, f);
    ws.Refresh();
    std::vector<int> slots;
    for (const auto& e : ws.Entries()) slots.push_back(e.slot);
    benchmark::DoNotOptimize(quarnel::DeleteSelected(ws, slots));
    if (quarnel::FreeBytes(ws.image) != 730112) state.SkipWithError("not every cluster came back");
  }
}
BENCHMARK(BM_Add100ThenDelete)->Unit(benchmark::kMillisecond);

void BM_LowestFreeClustersFragmented(benchmark::State& state) {
  quarnel::Workspace ws;
  ws.LoadImageBytes(quarnel::BuildNewImage(*quarnel::GeometryForSize("720")), "bench.dsk");
  for (std::uint32_t c = 2; c < 714; c += 2) quarnel::WriteFatEntry(ws.image, c, 0xFFF);
  for (auto _ : state) benchmark::DoNotOptimize(quarnel::LowestFreeClusters(ws.image, 300));
}
BENCHMARK(BM_LowestFreeClustersFragmented)->Unit(benchmark::kMicrosecond);

}  // namespace
