// What the whole-disk check costs on a full 720 KB disk: 100 files of 7 KB in the root.
#include "core/disk_check.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/add_file.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;

DiskImage Full720() {
  SilentUi ui;
  Workspace ws;
  ws.LoadImageBytes(BuildNewImage(GeometryTable[7]), "full.dsk", ui);
  for (int i = 0; i < 100; ++i) {
    NewFile f;
    f.name = "F" + std::to_string(i) + ".BIN";
    f.bytes.assign(7 * 1024, static_cast<std::uint8_t>(i));
    AddFileData(ws.image, kRootDir, f);
  }
  return ws.image;
}

void CheckFull720(benchmark::State& state) {
  const DiskImage img = Full720();
  for (auto _ : state) benchmark::DoNotOptimize(CheckDisk(img));
}

BENCHMARK(CheckFull720)->Unit(benchmark::kMicrosecond);

}  // namespace
