// What making a new image from a host folder tree costs (pack): a tree of 100 files of about 7 KB
// (40 in the root, 30 in A, 30 in A/B) added to a new 720 KB image through one guard; and what
// saving a 720 KB image over its file costs, through a temporary file that is flushed and renamed
// (range 1) or not flushed (range 0).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/atomic_write.h"
#include "core/change_guard.h"
#include "core/host_tree.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace {

namespace fs = std::filesystem;
using namespace quarnel;

fs::path Scratch(const std::string& name) {
  return fs::temp_directory_path() /
         ("quarnel-bench-pack-" + std::to_string(::getpid()) + "-" + name);
}

fs::path MakeTree() {
  const fs::path root = Scratch("tree");
  fs::create_directories(root / "A" / "B");
  for (int i = 1; i <= 100; ++i) {
    const fs::path dir = i <= 40 ? root : i <= 70 ? root / "A" : root / "A" / "B";
    std::ofstream(dir / ("F" + std::to_string(i) + ".BIN"), std::ios::binary)
        << std::string(static_cast<std::size_t>(7000 + (i * 37) % 168), static_cast<char>(i));
  }
  return root;
}

void BM_PackTree(benchmark::State& state) {
  const fs::path tree = MakeTree();
  for (auto _ : state) {
    Workspace ws;
    ws.LoadImageBytes(BuildNewImageBytes(*GeometryForSize("720")), "pack.dsk");
    ChangeGuard guard(ws.image);
    HostTreeOptions options;
    options.keepGoing = true;
    const HostTreeResult r = AddHostFolderContents(ws.image, kRootDir, tree, options, &guard);
    if (!r.ok()) state.SkipWithError("the tree does not fit");
    benchmark::DoNotOptimize(ws.image.View().data());
  }
  fs::remove_all(tree);
}

class NoFlush : public FileIo {
 public:
  bool Sync(int) override { return true; }
};

void BM_SaveFloppy(benchmark::State& state) {
  const fs::path target = Scratch("save.dsk");
  const std::vector<std::uint8_t> bytes = BuildNewImage(*GeometryForSize("720"));
  NoFlush unflushed;
  FileIo& io = state.range(0) != 0 ? DefaultFileIo() : unflushed;
  for (auto _ : state) benchmark::DoNotOptimize(WriteAtomically(target, bytes, io));
  fs::remove(target);
}

BENCHMARK(BM_PackTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFloppy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
