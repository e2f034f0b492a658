// What FAT16 volumes read in place cost: the whole-disk check of a full 512 MB volume (65,000
// clusters of 8 KB, 64 folders of 250 files), and the listing of a folder of 10,000 entries. The
// volumes are sparse files laid out by hand in a temporary folder; nothing of the files' data is
// written or read. With QUARNEL_BENCH_IMAGES=DIR in the environment the volumes are made in DIR
// and kept there (full.img, wide.img), for timing other programs on them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/dir_entry.h"
#include "core/disk_check.h"
#include "core/fat.h"
#include "core/msx_name.h"
#include "core/save_in_place.h"
#include "core/sector_store.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;
namespace fs = std::filesystem;

constexpr std::uint32_t kSectors = 1048576;  // 512 MB
constexpr std::uint8_t kClusterSectors = 16;
constexpr std::uint16_t kFatSectors = 256;
constexpr std::uint16_t kRootEntries = 512;

const char* KeptIn() { return std::getenv("QUARNEL_BENCH_IMAGES"); }

fs::path Scratch(const std::string& name) {
  if (const char* dir = KeptIn()) return fs::path(dir) / name;
  return fs::temp_directory_path() / ("quarnel-bench-" + std::to_string(::getpid()) + "-" + name);
}

void Drop(const fs::path& path) {
  if (!KeptIn()) fs::remove(path);
}

DirEntry Entry(const std::string& name, std::uint8_t attribute, std::uint16_t first,
               std::uint32_t size) {
  DirEntry e{};
  const auto n = MakeMsxName(name);
  std::copy(n.begin(), n.begin() + 8, e.name);
  std::copy(n.begin() + 8, n.end(), e.extension);
  if (name == "." || name == "..") {
    std::fill(std::begin(e.name), std::end(e.name), ' ');
    std::fill(std::begin(e.extension), std::end(e.extension), ' ');
    std::copy(name.begin(), name.end(), e.name);
  }
  e.attribute = attribute;
  e.firstCluster.Set(first);
  e.size.Set(size);
  return e;
}

// A formatted, empty 512 MB FAT16 volume in a sparse file, open for writing.
DiskImage BlankVolume(const fs::path& path) {
  {
    const int fd = ::creat(path.c_str(), 0644);
    if (fd < 0 || ::ftruncate(fd, off_t{kSectors} * 512) != 0) std::abort();
    ::close(fd);
  }
  DiskImage img(FileStore::Open(path.string(), true, true), DiskGeometry{});
  std::uint8_t boot[512] = {0xEB, 0xFE, 0x90, 'Q', 'U', 'A', 'R', 'N', 'E', 'L', ' '};
  boot[11] = 0x00, boot[12] = 0x02;  // 512 bytes a sector
  boot[13] = kClusterSectors;
  boot[14] = 4;  // reserved sectors
  boot[16] = 2;  // FATs
  boot[17] = kRootEntries & 0xFF, boot[18] = kRootEntries >> 8;
  boot[21] = 0xF8;
  boot[22] = kFatSectors & 0xFF, boot[23] = kFatSectors >> 8;
  boot[24] = 63, boot[26] = 255;  // what other programs want; the core needs neither
  for (int k = 0; k < 4; ++k) boot[0x20 + k] = static_cast<std::uint8_t>(kSectors >> (8 * k));
  boot[510] = 0x55, boot[511] = 0xAA;
  img.Write(0, Bytes(boot, sizeof boot));
  img.geometry = ReadGeometry(Bytes(boot, sizeof boot), img.Size()).geometry;
  WriteFatEntry(img, 0, 0xFFF8);
  WriteFatEntry(img, 1, 0xFFFF);
  return img;
}

// Puts `entry` into slot `slot` of the directory at cluster `dir` (0: the root).
void Put(DiskImage& img, std::uint16_t dir, std::size_t slot, const DirEntry& entry) {
  const auto& g = img.geometry;
  const std::uint64_t base = dir == 0 ? g.rootOffset : ClusterOffset(g, dir);
  img.Write(base + slot * kDirEntrySize, EntryBytes(entry));
}

// Links `count` clusters from `first` on; the next free cluster after them.
std::uint16_t Chain(DiskImage& img, std::uint16_t first, std::uint32_t count) {
  const std::uint16_t end = FatMarksOf(FatKind::Fat16).endOfChain;
  for (std::uint32_t k = 0; k < count; ++k)
    WriteFatEntry(img, first + k, k + 1 < count ? static_cast<std::uint16_t>(first + k + 1) : end);
  return static_cast<std::uint16_t>(first + count);
}

// Every cluster used: 64 folders of one cluster in the root, 250 files in each, the files taking
// what is left in runs of 3 and 4 clusters.
fs::path FullVolume() {
  const fs::path path = Scratch("full.img");
  DiskImage img = BlankVolume(path);
  const std::uint32_t clusters = static_cast<std::uint32_t>(img.geometry.dataClusters);
  const std::uint32_t files = 64 * 250;
  std::uint32_t left = clusters - 64;
  std::uint16_t next = 2;
  for (std::uint16_t d = 0; d < 64; ++d) {
    const std::uint16_t dir = next;
    next = Chain(img, dir, 1);
    Put(img, 0, d, Entry("DIR" + std::to_string(d), kAttrDirectory, dir, 0));
    Put(img, dir, 0, Entry(".", kAttrDirectory, dir, 0));
    Put(img, dir, 1, Entry("..", kAttrDirectory, 0, 0));
    for (std::uint32_t f = 0; f < 250; ++f) {
      const std::uint32_t remaining = files - (d * 250u + f);
      const std::uint32_t take = (left + remaining - 1) / remaining;
      const std::uint16_t first = next;
      next = Chain(img, first, take);
      left -= take;
      Put(img, dir, 2 + f,
          Entry("F" + std::to_string(f) + ".BIN", kAttrArchive, first, take * 8192 - 100));
    }
  }
  CopyFatToMirrors(img);
  if (!CommitInPlace(img)) std::abort();
  return path;
}

// One folder of 10,000 files (40 clusters of entries) in an otherwise empty volume.
fs::path WideFolder() {
  const fs::path path = Scratch("wide.img");
  DiskImage img = BlankVolume(path);
  const std::uint32_t slots = 10002;
  const std::uint32_t dirClusters = (slots * kDirEntrySize + 8191) / 8192;
  const std::uint16_t dir = 2;
  std::uint16_t next = Chain(img, dir, dirClusters);
  Put(img, 0, 0, Entry("WIDE", kAttrDirectory, dir, 0));
  auto slot = [&](std::uint32_t s, const DirEntry& e) {
    const std::uint16_t c = static_cast<std::uint16_t>(dir + s * kDirEntrySize / 8192);
    img.Write(ClusterOffset(img.geometry, c) + s * kDirEntrySize % 8192, EntryBytes(e));
  };
  slot(0, Entry(".", kAttrDirectory, dir, 0));
  slot(1, Entry("..", kAttrDirectory, 0, 0));
  for (std::uint32_t f = 0; f < 10000; ++f) {
    const std::uint16_t first = next;
    next = Chain(img, first, 1);
    slot(2 + f, Entry("F" + std::to_string(f) + ".TXT", kAttrArchive, first, 1000));
  }
  CopyFatToMirrors(img);
  if (!CommitInPlace(img)) std::abort();
  return path;
}

void BM_CheckFullFat16(benchmark::State& state) {
  const fs::path path = FullVolume();
  for (auto _ : state) {
    Workspace ws;
    ws.LoadImage(path.string());
    if (!ws.HasImage()) std::abort();
    const DiskCheck check = CheckDisk(ws.image);
    if (!check.Clean()) state.SkipWithError(check.findings.front().message.c_str());
    benchmark::DoNotOptimize(check);
  }
  Drop(path);
}
BENCHMARK(BM_CheckFullFat16)->Unit(benchmark::kMillisecond);

void BM_ListTenThousand(benchmark::State& state) {
  const fs::path path = WideFolder();
  for (auto _ : state) {
    Workspace ws;
    ws.LoadImage(path.string());
    if (!ws.HasImage() || ws.Entries().empty()) std::abort();
    const FileEntry wide = ws.Entries().front();
    if (ws.Enter(wide, wide.Caption()) != EnterOutcome::Entered) std::abort();
    if (ws.Entries().size() != 10002) std::abort();
    benchmark::DoNotOptimize(ws.listing);
  }
  Drop(path);
}
BENCHMARK(BM_ListTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
