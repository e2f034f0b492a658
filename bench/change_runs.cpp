// Runs of changes as one command makes them, at 10, 100 and 1,000 files in one subdirectory of a
// 720 KB image (every fourth file 100 bytes, the others empty, so that 1,000 fit): adding them
// through one guard, deleting them by path, deleting the directory with everything in it, and
// extracting them to host files as a batch. Each should grow linearly with the count.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/add_file.h"
#include "core/atomic_write.h"
#include "core/change_guard.h"
#include "core/delete_entry.h"
#include "core/extract_tree.h"
#include "core/host_tree.h"
#include "core/image_path.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

namespace fs = std::filesystem;
using namespace quarnel;

std::vector<NewFile> Files(int count) {
  std::vector<NewFile> files;
  for (int i = 0; i < count; ++i) {
    NewFile f;
    f.name = "F" + std::to_string(i) + ".BIN";
    if (i % 4 == 0) f.bytes.assign(100, static_cast<std::uint8_t>(i));
    files.push_back(std::move(f));
  }
  return files;
}

// A 720 KB image with an empty directory SUB; its first cluster in `sub`.
DiskImage EmptyWithSub(DirRef& sub) {
  SilentUi ui;
  Workspace ws;
  ws.LoadImageBytes(BuildNewImage(*GeometryForSize("720")), "bench.dsk", ui);
  MakeDirectory(ws.image, kRootDir, "SUB", {});
  sub = *FindSubdirectory(ws.image, kRootDir, "SUB");
  return ws.image;
}

// The image with the `count` files added into SUB.
DiskImage Filled(int count, DirRef& sub) {
  DiskImage image = EmptyWithSub(sub);
  ChangeGuard guard(image);
  for (const NewFile& f : Files(count)) AddFileData(image, sub, f, &guard);
  return image;
}

void BM_AddIntoOneDirectory(benchmark::State& state) {
  const auto files = Files(static_cast<int>(state.range(0)));
  DirRef sub;
  const DiskImage empty = EmptyWithSub(sub);
  for (auto _ : state) {
    DiskImage image = empty;
    ChangeGuard guard(image);
    for (const NewFile& f : files)
      if (AddFileData(image, sub, f, &guard) != AddStatus::Added) state.SkipWithError("not added");
  }
}
BENCHMARK(BM_AddIntoOneDirectory)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_DeleteByPath(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  DirRef sub;
  const DiskImage filled = Filled(count, sub);
  std::vector<std::string> paths;
  for (const NewFile& f : Files(count)) paths.push_back("SUB/" + f.name);
  for (auto _ : state) {
    DiskImage image = filled;
    PathIndex index(image);
    ChangeGuard guard(image);
    for (const auto& p : paths) {
      const PathIndex::Found found = index.Resolve(p);
      if (!found.entry ||
          DeleteEntry(image, *found.listing, *found.entry, &guard) != DeleteStatus::Deleted) {
        state.SkipWithError("not deleted");
        break;
      }
      index.Reread(found.entry->dir, found.entry->slot - kMostLongNamePieces, found.entry->slot);
    }
  }
}
BENCHMARK(BM_DeleteByPath)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_DeleteTree(benchmark::State& state) {
  DirRef sub;
  const DiskImage filled = Filled(static_cast<int>(state.range(0)), sub);
  for (auto _ : state) {
    DiskImage image = filled;
    const Resolved r = Resolve(image, "SUB");
    if (DeleteTree(image, r.listing, *r.entry) != DeleteStatus::Deleted)
      state.SkipWithError("not deleted");
  }
}
BENCHMARK(BM_DeleteTree)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Host files written, so the time includes the host's file system.
void BM_ExtractBatch(benchmark::State& state) {
  DirRef sub;
  const DiskImage filled = Filled(static_cast<int>(state.range(0)), sub);
  const auto listing = ListDirectory(filled, sub);
  const auto entries = EntriesOf(*listing);
  const fs::path out = fs::temp_directory_path() / "quarnel-bench-extract";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    fs::create_directories(out);
    state.ResumeTiming();
    BatchFileIo io;
    for (const FileEntry& e : entries) {
      if (e.IsDot()) continue;
      std::vector<std::string> notes;
      if (!ExtractEntryFile(filled, {}, e, out, HostNameForCaption(e.Caption()), e.Caption(), io,
                            notes))
        state.SkipWithError("not extracted");
    }
    io.Finish(out);
  }
  fs::remove_all(out);
}
BENCHMARK(BM_ExtractBatch)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
