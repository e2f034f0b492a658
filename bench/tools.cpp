// The searches and the reports on a 720 KB disk: find over the whole image (every hit, and the
// sector view's one search that finds nothing), the text search ignoring case, DISK DETAIL,
// FILE INFO and the cluster owners.
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "core/new_image.h"
#include "core/workspace.h"
#include "tools/disk_report.h"
#include "tools/hex_grid.h"
#include "tools/search.h"

namespace {

using namespace quarnel;

// A new 720 KB disk whose data area is filled with varied bytes and whose FAT has every cluster
// in use, and one file whose chain runs over the whole disk.
Workspace MakeDisk() {
  Workspace ws;
  std::vector<std::uint8_t> bytes = BuildNewImage(*GeometryForSize("720"));
  ws.LoadImageBytes(std::move(bytes), "bench.dsk");
  const auto& g = ws.image.geometry;
  std::uint32_t x = 12345;
  for (std::size_t i = g.dataOffset; i < ws.image.Size(); ++i) {
    x = x * 1103515245 + 12345;
    ws.image.MutableView()[i] = static_cast<std::uint8_t>(x >> 16);
  }
  const std::uint32_t last = g.LastDataCluster();
  for (std::uint32_t c = 2; c < last; ++c) WriteFatEntry(ws.image, c, c + 1);
  WriteFatEntry(ws.image, last, FatMarksOf(g.fatKind).endOfChain);
  return ws;
}

const Workspace& Disk() {
  static const Workspace ws = MakeDisk();
  return ws;
}

void BM_FindEveryHit(benchmark::State& state) {
  const auto& bytes = Disk().image.Memory();
  const std::vector<std::uint8_t> pattern{bytes[400000], bytes[400001], bytes[400002]};
  for (auto _ : state) benchmark::DoNotOptimize(tools::FindAllBytes(bytes, pattern));
}
BENCHMARK(BM_FindEveryHit)->Unit(benchmark::kMillisecond);

// The sector view's search from sector 0 for a pattern that is nowhere: the whole image.
void BM_FindSectorNotFound(benchmark::State& state) {
  const auto& bytes = Disk().image.Memory();
  const std::vector<std::uint8_t> pattern{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  for (auto _ : state) benchmark::DoNotOptimize(tools::FindBytes(bytes, pattern, 0));
}
BENCHMARK(BM_FindSectorNotFound)->Unit(benchmark::kMillisecond);

void BM_FindTextIgnoringCase(benchmark::State& state) {
  const auto& bytes = Disk().image.Memory();
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(tools::FindTextIgnoringCase(text, "Quarnel says hello", 0));
}
BENCHMARK(BM_FindTextIgnoringCase)->Unit(benchmark::kMillisecond);

// The hex view's search over the cells of a 720 KB file, for a pattern that is nowhere.
void BM_FindInHexCellsNotFound(benchmark::State& state) {
  const auto& bytes = Disk().image.Memory();
  const tools::HexGrid grid(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), 16);
  for (auto _ : state)
    benchmark::DoNotOptimize(tools::FindInHexCells(
        [&grid](std::size_t row, int column) {
          return grid.ByteCellText({column, row});
        },
        grid.rowCount(), 16, {2, 1}, false, "0102030405060708"));
}
BENCHMARK(BM_FindInHexCellsNotFound)->Unit(benchmark::kMillisecond);

void BM_DiskDetail(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tools::BuildDiskDetail(Disk().image, "b.dsk"));
}
BENCHMARK(BM_DiskDetail)->Unit(benchmark::kMillisecond);

void BM_FileInfoWholeDisk(benchmark::State& state) {
  FileEntry e;
  e.name = "ALL";
  e.extension = "BIN";
  e.firstCluster = 2;
  e.size = 713 * 1024;
  for (auto _ : state) benchmark::DoNotOptimize(tools::BuildFileInfo(Disk().image, e));
}
BENCHMARK(BM_FileInfoWholeDisk)->Unit(benchmark::kMillisecond);

void BM_ClusterOwners(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tools::ClusterOwners(Disk().image));
}
BENCHMARK(BM_ClusterOwners)->Unit(benchmark::kMillisecond);

}  // namespace
