// Changes on disks whose FAT and directories disagree: refused before anything is written when
// they would write over or free data that an entry still uses.
#include "core/change_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/fat.h"
#include "core/host_tree.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

std::string NeedsCheck(const std::string& what) {
  return "The disk needs checking: " + what + "; nothing was changed.";
}

class ChangeGuardTest : public ::testing::Test {
 protected:
  void Load(const ImageBuilder& b) {
    ws = Workspace{};
    ws.LoadImageBytes(b.Bytes(), "disk.dsk");
    ASSERT_TRUE(ws.HasImage());
    ui.messages.clear();
  }
  std::optional<FileEntry> Entry(const std::string& caption) {
    for (const auto& e : ws.Entries())
      if (e.Caption() == caption) return e;
    ADD_FAILURE() << "no entry " << caption;
    return std::nullopt;
  }
  AddOutcome Add(const std::string& name, std::size_t size) {
    NewFile f;
    f.name = name;
    f.bytes = test::Pattern(size, 7);
    return AddFileData(ws.image, ws.CurrentDir(), f);
  }
  // Deletes the entry of the shown directory captioned `caption`.
  DeleteOutcome Delete(const std::string& caption) {
    auto e = Entry(caption);
    if (!e) return DeleteStatus::NoImage;
    return DeleteEntry(ws.image, ws.listing, *e);
  }
  Workspace ws;
  test::ScriptedUi ui;
};

TEST_F(ChangeGuardTest, AddThatWouldWriteOverLiveDataIsRefused) {
  const struct {
    const char* name;
    std::function<void(ImageBuilder&)> build;
    std::uint16_t freeInFirstCopy;  // a cluster marked free in the first FAT copy alone, or 0
    std::string message;
  } cases[] = {
      {"the FAT copies differ on the cluster to take",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(1500));  // 2, 3
         b.SetFat(4, test::kFatEndOfChain);
       },
       4, NeedsCheck("its FAT copies disagree on cluster 4")},
      {"a directory cluster marked free",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(1500));
         b.SetFat(b.AddDirectory(kRoot, "SUB"), kFatFree);  // 4
       },
       0, NeedsCheck("cluster 4 is marked free but SUB uses it")},
      {"a file of a subdirectory on a cluster marked free",
       [](ImageBuilder& b) {
         b.SetFat(b.AddFile(b.AddDirectory(kRoot, "SUB"), "DATA.BIN", test::Pattern(100)),
                  kFatFree);  // 3
       },
       0, NeedsCheck("cluster 3 is marked free but SUB\\DATA.BIN uses it")},
      {"a replaced file leading into the unused tail of another's chain",
       [](ImageBuilder& b) {
         b.AddEntry(kRoot, EntrySpec{"A.BIN", 0, 2, 100});  // needs 1 cluster, chain 2 -> 3
         b.Chain({2, 3});
         b.AddEntry(kRoot, EntrySpec{"NEW.BIN", 0, 5, 100});
         b.SetFat(5, 3);
       },
       0, NeedsCheck("cluster 3 is also used by A.BIN")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageBuilder b;
    c.build(b);
    Load(b);
    if (c.freeInFirstCopy) WriteFatEntry(ws.image, c.freeInFirstCopy, kFatFree);
    const auto before = ws.image.Memory();
    const AddOutcome o = Add("NEW.BIN", 100);
    EXPECT_EQ(o, AddStatus::NeedsCheck);
    EXPECT_EQ(o.message, c.message);
    EXPECT_TRUE(ws.image.Memory() == before);
  }
}

TEST_F(ChangeGuardTest, DeleteThatWouldFreeAnotherEntrysClustersIsRefused) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"A.BIN", 0, 2, 2000});
  b.Chain({2, 3});
  b.AddEntry(kRoot, EntrySpec{"B.BIN", 0, 3, 1000});  // cross-linked into A.BIN
  b.AddEntry(kRoot, EntrySpec{"C.BIN", 0, 4, 1000});
  b.SetFat(4, test::kFatEndOfChain);
  b.AddEntry(kRoot, EntrySpec{"D.BIN", 0, 7, 2000});  // its chain runs on into EMPTY's cluster
  b.Chain({7, 6});
  b.AddEntry(kRoot, EntrySpec{"EMPTY", kAttrDirectory, 6, 0});
  b.PutEntry(6, 0, EntrySpec{".", kAttrDirectory, 6, 0});
  b.PutEntry(6, 1, EntrySpec{"..", kAttrDirectory, 0, 0});
  b.AddEntry(kRoot, EntrySpec{"E.BIN", 0, 8, 1000});
  b.SetFat(8, test::kFatEndOfChain);
  b.SetFat(9, test::kFatEndOfChain);  // an unused cluster on which the copies will differ
  const struct {
    const char* caption;
    std::string message;  // empty: deleted
  } cases[] = {
      {"A.BIN", NeedsCheck("cluster 3 is also used by B.BIN")},
      {"B.BIN", NeedsCheck("cluster 3 is also used by A.BIN")},
      {"C.BIN", NeedsCheck("its FAT copies disagree on cluster 4")},
      {"EMPTY.   ", NeedsCheck("cluster 6 is also used by D.BIN")},
      {"E.BIN", ""},  // copies that differ elsewhere do not matter
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    Load(b);
    WriteFatEntry(ws.image, 4, 0xFF8);  // first copy only: another end mark
    WriteFatEntry(ws.image, 9, kFatFree);
    const auto before = ws.image.Memory();
    const DeleteOutcome s = Delete(c.caption);
    EXPECT_EQ(s.message, c.message);
    if (c.message.empty()) {
      EXPECT_EQ(s, DeleteStatus::Deleted);
      continue;
    }
    EXPECT_EQ(s, DeleteStatus::NeedsCheck);
    EXPECT_TRUE(ws.image.Memory() == before);
  }
}

TEST_F(ChangeGuardTest, DeletingAnEntryInADirectoryClusterThatAFileUsesIsRefused) {
  ImageBuilder b;
  const auto sub = b.AddDirectory(kRoot, "SUB");  // 2
  b.AddFile(sub, "X.TXT", test::Pattern(10));     // 3
  b.AddEntry(kRoot, EntrySpec{"F.BIN", 0, 4, 2000});
  b.Chain({4, 2});  // runs on into SUB's cluster: marking X.TXT deleted would change F.BIN
  Load(b);
  auto subEntry = Entry("SUB.   ");
  ASSERT_TRUE(subEntry);
  ASSERT_EQ(ws.Enter(*subEntry, subEntry->Caption()), EnterOutcome::Entered);
  const auto before = ws.image.Memory();
  const DeleteOutcome o = Delete("X.TXT");
  EXPECT_EQ(o, DeleteStatus::NeedsCheck);
  EXPECT_EQ(o.message, NeedsCheck("cluster 2 is also used by F.BIN"));
  EXPECT_TRUE(ws.image.Memory() == before);
}

TEST_F(ChangeGuardTest, NoEntryIsWrittenIntoAFilesDataMarkedADirectory) {
  ImageBuilder b;
  b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000));  // 2-6, with a free-looking slot in 6
  b.Poke(b.EntryOffset(kRoot, 0) + 11, kAttrDirectory);
  Load(b);
  const DirRef data{2};
  const auto before = ws.image.Memory();
  NewFile f;
  f.name = "X.BIN";
  f.bytes = test::Pattern(10);
  const AddOutcome made = MakeDirectory(ws.image, data, "X", {});
  const AddOutcome added = AddFileData(ws.image, data, f);
  for (const AddOutcome& o : {made, added}) {
    EXPECT_EQ(o, AddStatus::NeedsCheck);
    EXPECT_EQ(o.message.rfind("The disk needs checking: cluster ", 0), 0u) << o.message;
  }
  EXPECT_TRUE(ws.image.Memory() == before);
}

TEST_F(ChangeGuardTest, ADirectoryThatLoopsOrLeadsBackIsReadOnce) {
  ImageBuilder b;
  const auto sub = b.AddDirectory(kRoot, "SUB");               // 2
  b.AddFile(sub, "IN.TXT", test::Pattern(10));                 // 3
  b.AddFile(kRoot, "A.BIN", test::Pattern(10));                // 4
  b.AddEntry(sub, EntrySpec{"BACK", kAttrDirectory, sub, 0});  // leads back to SUB
  b.SetFat(2, 5);
  b.SetFat(5, 2);  // and SUB's chain loops
  Load(b);
  const TreeClusters tree = MapTreeClusters(ws.image);
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < tree.entries.size(); ++i) paths.push_back(tree.PathOf(i));
  EXPECT_EQ(paths, (std::vector<std::string>{"SUB", "A.BIN", "SUB\\IN.TXT", "SUB\\BACK"}));
  EXPECT_EQ(tree.OwnersOf(5), (std::vector<std::uint32_t>{0, 3}));
  EXPECT_EQ(Add("NEW.BIN", 100), AddStatus::Added);  // nothing it touches is in doubt
}

// Whether taking, and releasing, each data cluster would be refused, and why: the guard's answers
// against those of a map made afresh from the image.
void ExpectGuardAgreesWithAFreshMap(ChangeGuard& guard, const DiskImage& image) {
  for (std::uint16_t c = 2; c <= image.geometry.LastDataCluster(); ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(guard.Check({{c}, {}, {}, {}}), CheckChange(image, {{c}, {}, {}, {}}));
    EXPECT_EQ(guard.Check({{}, {c}, {}, {}}), CheckChange(image, {{}, {c}, {}, {}}));
  }
}

TEST_F(ChangeGuardTest, AGuardKeptOverARunStillRefusesTheClustersItsAddsTook) {
  ImageBuilder b;
  const auto sub = b.AddDirectory(kRoot, "SUB");  // 2
  b.AddFile(kRoot, "OLD.BIN", test::Pattern(1500));
  Load(b);
  ChangeGuard guard(ws.image);
  auto add = [&](DirRef dir, const std::string& name, std::size_t size) {
    NewFile f;
    f.name = name;
    f.bytes = test::Pattern(size, 3);
    return AddFileData(ws.image, dir, f, &guard);
  };
  ASSERT_EQ(add(kRootDir, "A.BIN", 2500), AddStatus::Added);
  ExpectGuardAgreesWithAFreshMap(guard, ws.image);
  // 31 files fill SUB's first cluster (30 slots beside "." and ".."): it grows by a cluster.
  for (int i = 0; i < 31; ++i)
    ASSERT_EQ(add(DirRef{sub}, std::to_string(i).append(".BIN"), 10), AddStatus::Added);
  ASSERT_EQ(MakeDirectory(ws.image, DirRef{sub}, "DEEP", {}, &guard), AddStatus::Added);
  const auto deep = FindSubdirectory(ws.image, DirRef{sub}, "DEEP");
  ASSERT_TRUE(deep);
  ASSERT_EQ(add(*deep, "D.BIN", 1100), AddStatus::Added);
  ExpectGuardAgreesWithAFreshMap(guard, ws.image);
  ASSERT_EQ(add(kRootDir, "OLD.BIN", 3000), AddStatus::Added);  // replaces: the map is made again
  ExpectGuardAgreesWithAFreshMap(guard, ws.image);

  // Clusters taken by the run's adds are refused like any other file's.
  const auto root = ListDirectory(ws.image, kRootDir);
  ASSERT_TRUE(root);
  const auto entries = EntriesOf(*root);
  const auto a = std::find_if(entries.begin(), entries.end(),
                              [](const FileEntry& e) { return e.Caption() == "A.BIN"; });
  ASSERT_NE(a, entries.end());
  const std::uint16_t c = a->firstCluster;
  EXPECT_EQ(guard.Check({{c}, {}, {}, {}}),
            NeedsCheck("cluster " + std::to_string(c) + " is marked free but A.BIN uses it"));
}

// One step of a run of changes: the outcome's status as a number.
using Step = std::function<int(DiskImage&, ChangeGuard*)>;

Step AddStep(std::string dir, std::string name, std::size_t size) {
  return [=](DiskImage& image, ChangeGuard* guard) {
    NewFile f;
    f.name = name;
    f.bytes = test::Pattern(size, static_cast<std::uint8_t>(size));
    const auto at =
        dir.empty() ? std::optional<DirRef>(kRootDir) : FindSubdirectory(image, kRootDir, dir);
    return at ? static_cast<int>(AddFileData(image, *at, f, guard).status) : -1;
  };
}

Step MkdirStep(std::string name) {
  return [=](DiskImage& image, ChangeGuard* guard) {
    return static_cast<int>(MakeDirectory(image, kRootDir, name, {}, guard).status);
  };
}

// Deletes `name` of the root (with everything in it when `tree`).
Step DeleteStep(std::string name, bool tree = false) {
  return [=](DiskImage& image, ChangeGuard* guard) {
    const auto root = ListDirectory(image, kRootDir);
    for (const FileEntry& e : EntriesOf(*root))
      if (e.Caption() == name)
        return static_cast<int>(tree ? DeleteTree(image, *root, e, guard).status
                                     : DeleteEntry(image, *root, e, guard).status);
    return -1;
  };
}

// A run of changes through one guard writes the same bytes, with the same outcomes, as the same
// changes each made on a map of its own: what the guard keeps for the run (the directories' free
// slots and names, where free clusters start, the tree map after deletions) stays true.
TEST_F(ChangeGuardTest, ARunThroughOneGuardWritesWhatSingleChangesWrite) {
  std::vector<Step> fill;  // 40 files into SUB: it grows twice
  for (int i = 0; i < 40; ++i) fill.push_back(AddStep("SUB", std::to_string(i) + ".BIN", 10));
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"adds grow a subdirectory, then names clash",
       [&] {
         auto steps = fill;
         steps.push_back(AddStep("SUB", "3.BIN", 3000));    // replaces
         steps.push_back(AddStep("SUB", "39.bin", 20));     // the same name, lower case
         steps.push_back(AddStep("SUB", "NEW.BIN", 1100));  // into the slot freed above
         steps.push_back(MkdirStep("SUB"));                 // exists
         steps.push_back(AddStep("", "SUB", 10));           // a directory of that name
         return steps;
       }()},
      {"deletions free clusters below those the adds took",
       {AddStep("", "A.BIN", 3000), AddStep("", "B.BIN", 1000), AddStep("", "C.BIN", 10),
        DeleteStep("A.BIN"), AddStep("", "D.BIN", 1100), DeleteStep("SUB.   ", true),
        AddStep("", "E.BIN", 5000), MkdirStep("NEW"), AddStep("NEW", "IN.BIN", 10),
        DeleteStep("C.BIN"), DeleteStep("B.BIN"), AddStep("", "F.BIN", 2000)}},
      {"a full root",
       [] {
         std::vector<Step> steps;
         for (int i = 0; i < 112; ++i) steps.push_back(AddStep("", std::to_string(i), 1));
         steps.push_back(DeleteStep("7.   "));
         steps.push_back(AddStep("", "LAST.BIN", 1));
         return steps;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageBuilder b;
    b.AddFile(b.AddDirectory(kRoot, "SUB"), "OLD.TXT", test::Pattern(100));
    b.AddFile(kRoot, "OLD.BIN", test::Pattern(1500));
    Load(b);
    DiskImage single = ws.image;
    DiskImage run = ws.image;
    ChangeGuard guard(run);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(c.steps[i](run, &guard), c.steps[i](single, nullptr));
      ASSERT_TRUE(run.Memory() == single.Memory());
    }
  }
}

TEST_F(ChangeGuardTest, AChangeMadePastAGuardIsSeenByItsNextCheck) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.BIN", test::Pattern(100));  // 2
  Load(b);
  ChangeGuard guard(ws.image);
  ASSERT_EQ(guard.Check({{3}, {}, {}, {}}), std::nullopt);
  ASSERT_EQ(Add("B.BIN", 100), AddStatus::Added);  // cluster 3, without the guard
  EXPECT_EQ(guard.Check({{3}, {}, {}, {}}), CheckChange(ws.image, {{3}, {}, {}, {}}));
  EXPECT_NE(guard.Check({{3}, {}, {}, {}}), std::nullopt);
}

}  // namespace
}  // namespace quarnel
