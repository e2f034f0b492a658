// Reading a 720 KB image file whole, as every command that changes an image does: a new image
// saved by this program (its zero blocks are holes, range 1) and the same bytes written out in full
// (range 0, as an image copied from elsewhere).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/host_file.h"
#include "core/new_image.h"

namespace {

using namespace quarnel;
namespace fs = std::filesystem;

void BM_ReadImageFile(benchmark::State& state) {
  const fs::path file =
      fs::temp_directory_path() / ("quarnel-bench-read-" + std::to_string(::getpid()) + ".dsk");
  const std::vector<std::uint8_t> bytes = BuildNewImage(*GeometryForSize("720"));
  if (state.range(0) != 0) {
    WriteFileAtomically(file, bytes);
  } else {
    fs::remove(file);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  for (auto _ : state) {
    HostFile host(file);
    ImageBytes image;
    benchmark::DoNotOptimize(host.ReadAll(bytes.size(), image));
    benchmark::DoNotOptimize(image.data());
  }
  fs::remove(file);
}

BENCHMARK(BM_ReadImageFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
