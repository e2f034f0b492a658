// The partition table of a 4 GB sparse card image with four partitions, read as `parts` reads
// it: the table through a file store, then each volume's boot sector and root directory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/new_hard_disk.h"
#include "core/partition_store.h"
#include "core/partition_volume.h"

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

}  // namespace
