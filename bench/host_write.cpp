// What writing extracted files to the host costs: 100 new files of 7 KB into an empty folder,
// made under their own names (range 1) or through a temporary file and a rename each (range 0).
// No flush: extract -r flushes the whole tree once at the end.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/atomic_write.h"

namespace {

using namespace quarnel;

class NoFlush : public FileIo {
 public:
  bool Sync(int) override { return true; }
};

void WriteNewFiles(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "quarnel-bench-host-write";
  const std::vector<std::uint8_t> bytes(7 * 1024, 0x5A);
  NoFlush io;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    fs::create_directories(dir);
    state.ResumeTiming();
    for (int i = 0; i < 100; ++i) {
      const fs::path p = dir / std::to_string(i).append(".BIN");
      const bool ok = state.range(0) != 0 ? WriteNewOrReplace(p, bytes, io, LinkPolicy::Replace)
                                          : WriteAtomically(p, bytes, io, LinkPolicy::Replace);
      benchmark::DoNotOptimize(ok);
    }
  }
  fs::remove_all(dir);
}

BENCHMARK(WriteNewFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
