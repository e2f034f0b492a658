// XSA codec speed on a full 720 KB disk, and the size of our .xsa next to gzip -9 for every
// real disk (the counters of BM_CompressRealDisk: xsa bytes, gzip bytes, their ratio).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/host_file.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDisks = fs::path(QUARNEL_SHARED_DIR) / "realdata" / "dsk";

std::vector<fs::path> RealDisks() {
  std::vector<fs::path> disks;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(kDisks, ec)) disks.push_back(e.path());
  std::sort(disks.begin(), disks.end());
  return disks;
}

std::vector<std::uint8_t> FullDisk() {
  // The fullest 720 KB real disk; a synthetic mix when the shared data is absent.
  auto bytes =
      quarnel::ReadHostBytes(kDisks / "costarc_MSXPi__software__target__disks__msxpiboot-dos2.dsk");
  if (bytes) return *bytes;
  std::vector<std::uint8_t> v(737280);
  std::uint32_t x = 1;
  for (std::size_t i = 0; i < v.size(); ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = (i / 4096) % 3 == 0 ? static_cast<std::uint8_t>(x >> 24)
                               : static_cast<std::uint8_t>(i & 0x3F);
  }
  return v;
}

void BM_Compress720K(benchmark::State& state) {
  const auto disk = FullDisk();
  std::size_t out = 0;
  for (auto _ : state) {
    auto xsa = quarnel::EncodeXsa(disk, "DISK.DSK");
    out = xsa.size();
    benchmark::DoNotOptimize(xsa.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * disk.size()));
  state.counters["xsa_bytes"] = static_cast<double>(out);
}
BENCHMARK(BM_Compress720K)->Unit(benchmark::kMillisecond);

void BM_Decompress720K(benchmark::State& state) {
  const auto disk = FullDisk();
  const auto xsa = quarnel::EncodeXsa(disk, "DISK.DSK");
  for (auto _ : state) {
    auto back = quarnel::DecodeXsa(xsa);
    benchmark::DoNotOptimize(back.bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * disk.size()));
}
BENCHMARK(BM_Decompress720K)->Unit(benchmark::kMillisecond);

std::size_t GzipSize(const fs::path& p) {
  std::string cmd = "gzip -9c '" + p.string() + "' | wc -c";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
  if (!pipe) return 0;
  unsigned long n = 0;
  if (std::fscanf(pipe.get(), "%lu", &n) != 1) return 0;
  return n;
}

void BM_CompressRealDisk(benchmark::State& state) {
  const auto disks = RealDisks();
  const auto& path = disks.at(static_cast<std::size_t>(state.range(0)));
  const auto disk = *quarnel::ReadHostBytes(path);
  std::size_t out = 0;
  for (auto _ : state) {
    out = quarnel::EncodeXsa(disk, "DISK.DSK").size();
  }
  const std::size_t gz = GzipSize(path);
  state.SetLabel(path.filename().string().substr(0, 48));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * disk.size()));
  state.counters["xsa"] = static_cast<double>(out);
  state.counters["gzip9"] = static_cast<double>(gz);
  state.counters["ratio"] = gz ? static_cast<double>(out) / static_cast<double>(gz) : 0.0;
}
BENCHMARK(BM_CompressRealDisk)
    ->DenseRange(0, static_cast<int>(RealDisks().size()) - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
