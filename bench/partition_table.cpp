// A 4 GB sparse card image with four partitions: its table read as `parts` reads it (the table
// through a file store, then each volume's boot sector and root directory), and a 1 MB file
// added to a FAT16 partition and saved in place, with the bytes that save writes to the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/image_path.h"
#include "core/new_hard_disk.h"
#include "core/partition_store.h"
#include "core/partition_volume.h"
#include "core/save_image.h"
#include "core/workspace.h"

namespace {

using namespace quarnel;

// Made once, sparse, in the temporary folder; removed at exit.
class CardImage {
 public:
  CardImage() {
    path_ = (std::filesystem::temp_directory_path() /
             ("quarnel-bench-card-" + std::to_string(::getpid()) + ".img"))
                .string();
    constexpr std::uint64_t M = 1024 * 1024;
    const auto plan =
        PlanHardDisk(4096 * M, {1024 * M, 1024 * M, 1024 * M, 1000 * M}, FatChoice::BySize);
    if (!plan.layout || WriteHardDisk(*plan.layout, path_, 1) != NewImageStatus::Written)
      path_.clear();
  }
  ~CardImage() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void BM_ReadCardTable(benchmark::State& state) {
  static const CardImage card;
  if (card.path().empty()) {
    state.SkipWithError("cannot write the card image");
    return;
  }
  for (auto _ : state) {
    auto store = FileStore::Open(card.path());
    const PartitionTable table = ReadPartitionTable(*store);
    std::size_t readable = 0;
    for (const Partition& p : table.partitions) {
      const PartitionStore window(store->Clone(), p.Offset(), p.Length(), false);
      readable += ReadPartitionVolume(window, p).readable ? 1 : 0;
    }
    benchmark::DoNotOptimize(readable);
    state.counters["partitions"] = static_cast<double>(table.partitions.size());
  }
}
BENCHMARK(BM_ReadCardTable);

// The bytes this process has handed to write calls so far (/proc/self/io); 0 where unknown.
std::uint64_t BytesWrittenSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value)
    if (key == "wchar:") return value;
  return 0;
}

// Each run adds a 1 MB file to partition 2 (1 GB, FAT16, 16 KB clusters) and saves it in place;
// the file is deleted again, untimed, for the next run. "written" is what the add and the save
// wrote to the image file.
void BM_AddMegabyteToPartition(benchmark::State& state) {
  static const CardImage card;
  if (card.path().empty()) {
    state.SkipWithError("cannot write the card image");
    return;
  }
  NewFile file;
  file.name = "MEGA.BIN";
  double written = 0;
  std::uint8_t fill = 0;
  for (auto _ : state) {
    // Other bytes each run: a sector that already holds what is written is not written again.
    file.bytes.assign(1 << 20, ++fill);
    Workspace ws;
    PartitionOpening opened = OpenPartitionStore(card.path(), 2, true);
    if (!opened.store) std::abort();
    ws.LoadVolume(std::move(opened.store), card.path());
    // The clusters of a new file may go to the file before the save: the count starts here.
    const std::uint64_t before = BytesWrittenSoFar();
    if (AddFileData(ws.image, kRootDir, file) != AddStatus::Added) std::abort();
    ws.MarkChanged();
    if (Save(ws) != SaveStatus::Saved) std::abort();
    written = static_cast<double>(BytesWrittenSoFar() - before);
    state.PauseTiming();
    const Resolved found = Resolve(ws.image, file.name);
    const auto root = ListDirectory(ws.image, kRootDir);
    if (!found.entry || !root ||
        DeleteEntry(ws.image, *root, *found.entry) != DeleteStatus::Deleted)
      std::abort();
    ws.MarkChanged();
    if (Save(ws) != SaveStatus::Saved) std::abort();
    state.ResumeTiming();
  }
  state.counters["written"] = written;
}
BENCHMARK(BM_AddMegabyteToPartition)->Unit(benchmark::kMillisecond);

}  // namespace
