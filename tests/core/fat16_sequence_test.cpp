// A random sequence of adds, deletes and new folders (fixed seed) on a 256 MB FAT16 partition of
// nearly 65,500 clusters, read and saved in place. After every step the volume reads back as the
// model says, the FAT accounts for every cluster and the check is clean; every few steps the
// changes are saved and fsck.fat, mdir and mtype check the file independently.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/disk_check.h"
#include "core/fat.h"
#include "core/free_clusters.h"
#include "core/image_path.h"
#include "core/new_hard_disk.h"
#include "core/partition_store.h"
#include "core/save_image.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

struct Model {
  std::map<std::string, std::vector<std::uint8_t>> files;  // "DIR/NAME.EXT" or "NAME.EXT"
  std::map<std::string, std::uint16_t> folders;            // "DIR" -> first cluster
};

// The clusters of `size` bytes.
std::size_t ClustersOf(std::size_t size, std::uint32_t clusterBytes) {
  return (size + clusterBytes - 1) / clusterBytes;
}

void ExpectVolumeIsModel(const Workspace& ws, const Model& model) {
  std::size_t used = model.folders.size();
  for (const auto& [path, bytes] : model.files) {
    const Resolved found = Resolve(ws.image, path);
    ASSERT_TRUE(found.entry) << path;
    ASSERT_EQ(found.entry->size, static_cast<std::int32_t>(bytes.size())) << path;
    if (!bytes.empty()) {
      const FileRead r = ReadFile(ws.image, *found.entry);
      ASSERT_TRUE(r.ok() && r.bytes == bytes) << path;
    }
    used += ClustersOf(bytes.size(), ws.image.geometry.clusterBytes);
  }
  const auto& g = ws.image.geometry;
  ASSERT_EQ(FreeClusterCount(ws.image) + used, static_cast<std::size_t>(g.dataClusters));
  const Bytes first = FatCopyBytes(ws.image, 0), second = FatCopyBytes(ws.image, 1);
  ASSERT_TRUE(std::equal(first.begin(), first.end(), second.begin(), second.end()));
  const DiskCheck check = CheckDisk(ws.image);
  ASSERT_TRUE(check.Clean()) << check.findings.front().message;
}

TEST(Fat16Sequence, AddsDeletesAndFoldersStayConsistent) {
  if (!test::HaveWitnesses()) GTEST_SKIP() << "needs fsck.fat and mtools";
  test::TempDir tmp;
  // A card image (sparse) with one partition of 256 MB: 4 KB clusters, nearly 65,500 of them.
  const auto img = tmp / "card.img";
  const HardDiskPlan plan = PlanHardDisk(257ull << 20, {256ull << 20}, FatChoice::BySize);
  ASSERT_TRUE(plan.layout) << plan.message;
  ASSERT_EQ(WriteHardDisk(*plan.layout, img, 1).status, NewImageStatus::Written);
  PartitionOpening opened = OpenPartitionStore(img.string(), 1, true);
  ASSERT_TRUE(opened.store) << opened.message;
  const std::uint64_t start = opened.partition.Offset(), length = opened.partition.Length();
  Workspace ws;
  ws.LoadVolume(std::move(opened.store), img.string());
  ASSERT_TRUE(ws.HasImage());
  ASSERT_EQ(ws.image.geometry.fatKind, FatKind::Fat16);
  ASSERT_GT(ws.image.geometry.dataClusters, 65000);
  // The witnesses read the partition where it lies (mtools) or cut out, still sparse (fsck.fat).
  const std::string inPlace = img.string() + "@@" + std::to_string(start);
  const auto volume = tmp / "volume.img";
  auto cutVolume = [&] {
    return test::Run({"dd", "if=" + img.string(), "of=" + volume.string(), "bs=1M",
                      "skip=" + std::to_string(start), "count=" + std::to_string(length),
                      "iflag=skip_bytes,count_bytes", "conv=sparse", "status=none"})
               .exitCode == 0;
  };

  Model model;
  std::mt19937 rng(20260101);
  const int steps = 80;
  for (int step = 0; step < steps; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int op = static_cast<int>(rng() % 10);
    if (op < 6 || model.files.empty()) {
      // Into the root or a folder; sizes from empty to some that span many clusters.
      std::string dir;
      DirRef where = kRootDir;
      if (!model.folders.empty() && rng() % 2 == 0) {
        auto it = std::next(model.folders.begin(),
                            static_cast<std::ptrdiff_t>(rng() % model.folders.size()));
        dir = it->first;
        where = DirRef{it->second};
      }
      NewFile f;
      f.name = "F" + std::to_string(rng() % 60) + ".BIN";
      const std::size_t size = rng() % 5 == 0 ? rng() % 3 : rng() % 300000;
      f.bytes = test::Pattern(size, static_cast<std::uint32_t>(step));
      ASSERT_EQ(AddFileData(ws.image, where, f), AddStatus::Added);
      model.files[dir.empty() ? f.name : dir + "/" + f.name] = f.bytes;
    } else if (op < 9) {
      auto it =
          std::next(model.files.begin(), static_cast<std::ptrdiff_t>(rng() % model.files.size()));
      const Resolved found = Resolve(ws.image, it->first);
      ASSERT_TRUE(found.entry) << it->first;
      const auto dir = ListDirectory(ws.image, found.entry->dir);
      ASSERT_TRUE(dir);
      ASSERT_EQ(DeleteEntry(ws.image, *dir, *found.entry), DeleteStatus::Deleted);
      model.files.erase(it);
    } else if (model.folders.size() < 6) {
      const std::string name = "DIR" + std::to_string(model.folders.size());
      ASSERT_EQ(MakeDirectory(ws.image, kRootDir, name, LocalDateTime{}), AddStatus::Added);
      const Resolved made = Resolve(ws.image, name);
      ASSERT_TRUE(made.entry);
      model.folders[name] = made.entry->firstCluster;
    }
    ws.MarkChanged();
    ASSERT_NO_FATAL_FAILURE(ExpectVolumeIsModel(ws, model));
    if (step % 20 == 19 || step == steps - 1) {
      ASSERT_EQ(Save(ws), SaveStatus::Saved);
      ASSERT_TRUE(cutVolume());
      EXPECT_EQ(test::FsckFindings(volume), std::vector<std::string>{});
      std::set<std::string> names;
      for (const auto& [path, bytes] : model.files) names.insert(path);
      for (const auto& [path, cluster] : model.folders) names.insert(path + "/");
      EXPECT_EQ(test::MdirNames(inPlace), names);
      const auto& [path, bytes] = *model.files.begin();
      EXPECT_TRUE(test::Mtype(inPlace, path) == bytes) << path;
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace quarnel
