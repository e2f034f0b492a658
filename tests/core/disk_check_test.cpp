// The whole-disk check on one crafted image per kind of damage, and repair of each: afterwards a
// second check finds nothing, every file that read whole before reads the same bytes, and
// fsck.fat finds nothing to fix.
#include "core/disk_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/change_guard.h"
#include "core/change_witness.h"
#include "core/dir_entry.h"
#include "core/disk_repair.h"
#include "core/fat.h"
#include "core/message_text.h"
#include "core/messages.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/real_data.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

using Seen = std::tuple<std::string, std::string, std::vector<std::uint16_t>>;

DiskImage Load(const std::vector<std::uint8_t>& bytes) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(bytes, "disk.dsk");
  return ws.image;
}

std::vector<Seen> Summary(const std::vector<DiskFinding>& findings) {
  std::vector<Seen> out;
  for (const auto& f : findings)
    out.emplace_back(std::string(FindingKindName(f.kind)), f.path, f.clusters);
  return out;
}

// The first FAT only: the builder writes every copy.
void SetFirstFat(ImageBuilder& b, std::uint32_t n, std::uint16_t v) {
  DiskImage img = Load(b.Bytes());
  WriteFatEntry(img, n, v);
  b.bytes().assign(img.Memory().begin(), img.Memory().end());
}

// The bytes of every file that reads whole, by entry offset.
std::map<std::size_t, std::vector<std::uint8_t>> WholeFiles(const DiskImage& img) {
  std::map<std::size_t, std::vector<std::uint8_t>> out;
  for (const auto& e : MapTreeClusters(img).entries) {
    if (e.attribute & (kAttrDirectory | kAttrVolume)) continue;
    auto r = ReadChainBytes(img, e.firstCluster, e.size);
    if (r.complete) out[e.offset] = r.bytes;
  }
  return out;
}

struct Case {
  const char* name;
  std::function<void(ImageBuilder&)> damage;
  std::vector<Seen> expected;
  std::size_t imageSize = 0;
};

std::vector<Case> Cases() {
  return {
      {"clean",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
         auto sub = b.AddDirectory(kRoot, "SUB");
         b.AddFile(sub, "B.BIN", test::Pattern(1500, 2));
       },
       {}},
      {"fat copies differ",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000));  // clusters 2-6
         SetFirstFat(b, 3, 0);
       },
       {{"fat-copies-differ", "", {3}},
        {"chain-free", "DATA.BIN", {3}},
        {"lost-chain", "", {4, 5, 6}}}},
      {"media byte",
       [](ImageBuilder& b) {
         b.Poke(512, 0xF8);
         b.Poke(512 + 3 * 512, 0xF8);
       },
       {{"media-byte", "", {}}}},
      {"chain loops",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
         b.SetFat(4, 2);
       },
       {{"chain-loop", "A.BIN", {4, 2}}}},
      {"chain leaves the data area",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
         b.SetFat(3, 2000);
       },
       {{"chain-outside", "A.BIN", {3}}, {"lost-chain", "", {4}}}},
      {"chain reaches a free value",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
         b.SetFat(3, 0);
       },
       {{"chain-free", "A.BIN", {3}}, {"lost-chain", "", {4}}}},
      {"chain ends early",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
         b.SetFat(3, 0xFFF);
       },
       {{"chain-short", "A.BIN", {3}}, {"lost-chain", "", {4}}}},
      {"chain longer than the size",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(1000));
         b.Chain({2, 3, 4});
       },
       {{"chain-long", "A.BIN", {3, 4}}}},
      {"cross-linked files",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "A.BIN", test::Pattern(2000));     // 2, 3
         b.AddFile(kRoot, "B.BIN", test::Pattern(2000, 5));  // 4, 5
         b.SetFat(4, 3);
       },
       {{"cross-linked", "B.BIN", {3}}, {"lost-chain", "", {5}}}},
      {"lost chains",
       [](ImageBuilder& b) {
         b.Chain({10, 11});
         b.SetFat(20, 21);  // a ring
         b.SetFat(21, 20);
       },
       {{"lost-chain", "", {10, 11}}, {"lost-chain", "", {20, 21}}}},
      {"impossible first clusters",
       [](ImageBuilder& b) {
         b.AddEntry(kRoot, EntrySpec{"ONE.BIN", 0x20, 1, 10});
         b.AddEntry(kRoot, EntrySpec{"NONE.BIN", 0x20, 0, 10});
         b.AddEntry(kRoot, EntrySpec{"DIR", kAttrDirectory, 3000, 0});
       },
       {{"bad-first-cluster", "ONE.BIN", {}},
        {"bad-first-cluster", "NONE.BIN", {}},
        {"bad-first-cluster", "DIR", {}}}},
      {"size beyond the disk",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "HUGE.BIN", test::Pattern(1000));
         b.PokeBytes(b.EntryOffset(kRoot, 0) + 28, {0, 0, 0, 0x80});
       },
       {{"bad-size", "HUGE.BIN", {}}}},
      {"names",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "LOWER.TXT", test::Pattern(10));
         b.Poke(b.EntryOffset(kRoot, 0) + 1, 'o');
         b.AddFile(kRoot, "CTRL.TXT", test::Pattern(10));
         b.Poke(b.EntryOffset(kRoot, 1) + 2, 0x07);
         b.AddFile(kRoot, "TWICE.TXT", test::Pattern(10));
         b.AddFile(kRoot, "TWICE.TXT", test::Pattern(20));
       },
       {{"bad-name", "LoWER.TXT", {}},
        {"bad-name", "CT?L.TXT", {}},
        {"duplicate-name", "TWICE.TXT", {}}}},
      {"dot entries",
       [](ImageBuilder& b) {
         const auto sub = b.AddDirectory(kRoot, "SUB");
         const auto deep = b.AddDirectory(sub, "DEEP");
         b.Poke16(b.EntryOffset(deep, 1) + 26, 7);      // ".." elsewhere
         b.Poke(b.EntryOffset(sub, 0), kEntryDeleted);  // no "."
       },
       {{"dot-entries", "SUB", {2}}, {"dot-entries", "SUB\\DEEP", {3}}}},
      {"directory leads back up",
       [](ImageBuilder& b) {
         const auto sub = b.AddDirectory(kRoot, "SUB");
         b.AddEntry(sub, EntrySpec{"BACK", kAttrDirectory, sub, 0});
       },
       {{"directory-loop", "SUB\\BACK", {2}}}},
      {"directory chain runs into a file",
       [](ImageBuilder& b) {
         b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000));  // 2-6
         const auto sub = b.AddDirectory(kRoot, "SUB");      // 7
         b.SetFat(sub, 6);
       },
       {{"cross-linked", "SUB", {6}}}},
      {"file marked a directory",
       [](ImageBuilder& b) { b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000), kAttrDirectory); },
       {{"bad-size", "DATA.BIN", {}},
        {"dot-entries", "DATA.BIN", {2}},
        {"dot-entries", "DATA.BIN", {2}}}},
      {"image longer than the boot sector says",
       [](ImageBuilder&) {},
       {{"boot-sector", "", {}}},
       737280 + 9216},
  };
}

TEST(DiskCheck, FindsEachKindOfDamageWithItsClustersAndPath) {
  for (const auto& c : Cases()) {
    ImageBuilder b(test::GeometryLayout::Msx720(), c.imageSize);
    c.damage(b);
    const DiskImage img = Load(b.Bytes());
    ASSERT_TRUE(img.Usable()) << c.name;
    EXPECT_EQ(Summary(CheckDisk(img).findings), c.expected) << c.name;
  }
}

// fsck.fat sees less than we do (media bytes, lower-case names, an image longer than its boot
// sector); whatever it reports on a crafted image, we report too.
TEST(DiskCheck, FindsDamageWhereverFsckDoes) {
  if (!test::HaveProgram("fsck.fat")) GTEST_SKIP();
  for (const auto& c : Cases()) {
    ImageBuilder b(test::GeometryLayout::Msx720(), c.imageSize);
    c.damage(b);
    test::TempDir dir;
    b.WriteTo(dir / "d.dsk");
    const auto fsck = test::FsckFindings(dir / "d.dsk");
    if (!fsck.empty()) {
      EXPECT_FALSE(c.expected.empty()) << c.name << ": " << fsck[0];
    }
    if (c.expected.empty()) {
      EXPECT_TRUE(fsck.empty()) << c.name;
    }
    std::string all;
    for (const auto& l : fsck) all += l + " | ";
    RecordProperty(c.name, all);
  }
}

TEST(DiskRepair, LeavesNothingRepairableAndKeepsEveryWholeFile) {
  for (const auto& c : Cases()) {
    ImageBuilder b(test::GeometryLayout::Msx720(), c.imageSize);
    c.damage(b);
    const DiskImage img = Load(b.Bytes());
    const auto before = WholeFiles(img);
    const RepairPlan plan = PlanRepair(img, {false, {2024, 1, 2, 3, 4, 6}});
    for (const auto& f : plan.left) EXPECT_EQ(f.kind, FindingKind::BootSector) << c.name;
    EXPECT_EQ(plan.changed, !c.expected.empty() && c.imageSize == 0) << c.name;
    const auto after = WholeFiles(plan.repaired);
    for (const auto& [off, bytes] : before) {
      ASSERT_TRUE(after.count(off)) << c.name << " entry at " << off;
      EXPECT_EQ(after.at(off), bytes) << c.name << " entry at " << off;
    }
    for (const auto& a : plan.actions) EXPECT_FALSE(a.remedy.empty()) << c.name;
    if (c.imageSize == 0 && test::HaveProgram("fsck.fat")) {
      test::TempDir dir;
      test::WriteHostFile(dir / "r.dsk", plan.repaired.Memory());
      EXPECT_EQ(test::FsckFindings(dir / "r.dsk"), std::vector<std::string>{}) << c.name;
    }
  }
}

TEST(DiskRepair, ChoosesTheFatThatReadsBestAndSaysSo) {
  ImageBuilder b;
  b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000));
  SetFirstFat(b, 3, 0);
  const RepairPlan plan = PlanRepair(Load(b.Bytes()));
  ASSERT_FALSE(plan.actions.empty());
  EXPECT_NE(plan.actions[0].remedy.find("FAT 2 was copied"), std::string::npos)
      << plan.actions[0].remedy;
  EXPECT_EQ(plan.fatCopied, 1);
  EXPECT_EQ(ReadFatEntry(plan.repaired, 3), 4);
  EXPECT_TRUE(plan.left.empty());
}

TEST(DiskRepair, LostChainsBecomeChkFilesOrAreFreed) {
  ImageBuilder b;
  b.Chain({10, 11});
  b.WriteData(10, test::Pattern(2048, 9));
  const DiskImage img = Load(b.Bytes());
  const RepairPlan kept = PlanRepair(img);
  ASSERT_TRUE(kept.left.empty());
  const auto entries = MapTreeClusters(kept.repaired).entries;
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(std::string(entries[0].name.begin(), entries[0].name.end()), "FILE0000CHK");
  EXPECT_EQ(ReadChainBytes(kept.repaired, entries[0].firstCluster, entries[0].size).bytes,
            test::Pattern(2048, 9));
  const RepairPlan freed = PlanRepair(img, {true, {}});
  EXPECT_TRUE(freed.left.empty());
  EXPECT_EQ(ReadFatEntry(freed.repaired, 10), kFatFree);
  EXPECT_EQ(ReadFatEntry(freed.repaired, 11), kFatFree);
}

TEST(DiskRepair, CrossLinkWithoutRoomIsLeftAndSaidSo) {
  test::GeometryLayout small = test::GeometryLayout::Msx720();
  ImageBuilder b(small);
  b.AddFile(kRoot, "A.BIN", test::Pattern(2000));
  b.AddFile(kRoot, "B.BIN", test::Pattern(2000, 5));
  b.SetFat(4, 3);
  for (std::uint16_t c = 5; c <= 714; ++c) b.SetFat(c, 0xFF7);  // no free cluster
  const RepairPlan plan = PlanRepair(Load(b.Bytes()));
  ASSERT_EQ(plan.left.size(), 1u);
  EXPECT_EQ(plan.left[0].kind, FindingKind::CrossLinked);
  ASSERT_EQ(plan.actions.size(), 1u);
  EXPECT_FALSE(plan.actions[0].done);

  // A short file starting inside a longer one: its chain is too long for its size, but ending it
  // there would cut the longer file short, so it is left while the two share clusters.
  ImageBuilder inside(small);
  const auto longBytes = test::Pattern(4000, 7);
  const std::uint16_t first = inside.AddFile(kRoot, "LONG.BIN", longBytes);
  inside.AddEntry(kRoot, EntrySpec{"SHORT.BIN", 0x20, static_cast<std::uint16_t>(first + 1), 500});
  for (std::uint16_t c = first + 4; c <= 714; ++c) inside.SetFat(c, 0xFF7);
  const RepairPlan kept = PlanRepair(Load(inside.Bytes()));
  const auto read = ReadChainBytes(kept.repaired, first, 4000);
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.bytes, longBytes);
}

// Five files over many clusters, one of them in a subdirectory.
ImageBuilder FiveFiles() {
  ImageBuilder b;
  b.AddFile(kRoot, "HELLO.BAS", test::Pattern(459, 1));
  b.AddFile(kRoot, "DATA.BIN", test::Pattern(5000, 2));
  b.AddFile(kRoot, "PIC.SC2", test::Pattern(14343, 3));
  b.AddFile(kRoot, "README.TXT", test::Pattern(31, 4));
  b.AddFile(b.AddDirectory(kRoot, "SUB"), "INNER.TXT", test::Pattern(3000, 5));
  return b;
}

bool SameBytes(const ImageBytes& a, const std::vector<std::uint8_t>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

TEST(DiskRepair, OneWrongBootByteIsMendedByTheStandardLayoutAlone) {
  const struct {
    const char* what;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  } kCases[] = {
      {"32-byte sectors", 11, {32, 0}},
      {"256-byte sectors", 11, {0, 1}},
      {"511-byte sectors", 11, {0xFF, 1}},
      {"3 sectors per cluster", 13, {3}},
      {"4 sectors per cluster", 13, {4}},
      {"64 sectors per cluster", 13, {64}},
      {"255 sectors per cluster", 13, {255}},
      {"2 reserved sectors", 14, {2, 0}},
      {"no reserved sector", 14, {0, 0}},
      {"3 FATs", 16, {3}},
      {"255 FATs", 16, {255}},
      {"16 root entries", 17, {16, 0}},
      {"no root entries", 17, {0, 0}},
      {"media byte 0", 21, {0}},
      {"1 sector per FAT", 22, {1, 0}},
  };
  const ImageBuilder sound = FiveFiles();
  for (const auto& c : kCases) {
    ImageBuilder b = sound;
    b.PokeBytes(c.offset, c.bytes);
    const DiskImage img = Load(b.Bytes());
    const auto check = CheckDisk(img);
    ASSERT_FALSE(check.findings.empty()) << c.what;
    EXPECT_EQ(check.findings[0].kind, FindingKind::BootSector) << c.what;
    EXPECT_NE(check.findings[0].message.find("720 KB"), std::string::npos) << c.what;
    for (bool freeLost : {false, true}) {
      const RepairPlan plan = PlanRepair(img, {freeLost, {}});
      EXPECT_TRUE(plan.left.empty()) << c.what;
      // The boot sector gets its byte back; nothing else is written.
      EXPECT_TRUE(SameBytes(plan.repaired.Memory(), sound.Bytes())) << c.what;
    }
  }
}

TEST(DiskRepair, UnconfirmedLayoutChangesNothing) {
  ImageBuilder b = FiveFiles();
  b.Poke(16, 3);   // 3 FATs
  b.Poke(512, 0);  // and no FAT where the standard layout has its first one
  const DiskImage img = Load(b.Bytes());
  const auto check = CheckDisk(img);
  ASSERT_EQ(check.findings.size(), 1u);
  EXPECT_EQ(check.findings[0].kind, FindingKind::BootSector);
  const RepairPlan plan = PlanRepair(img, {true, {}});
  EXPECT_FALSE(plan.changed);
  EXPECT_TRUE(SameBytes(plan.repaired.Memory(), b.Bytes()));
  for (const auto& a : plan.actions) EXPECT_FALSE(a.done);
}

// Every later entry whose name folds to an earlier one's in the same directory names the first of
// them; the same name in another directory is no duplicate.
TEST(DiskCheck, DuplicatesNameTheFirstEntryOfTheirDirectory) {
  ImageBuilder b;
  const auto sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "TWICE.TXT", test::Pattern(10));
  b.AddFile(kRoot, "TWICE.TXT", test::Pattern(10));
  b.AddFile(kRoot, "TWICE.TXT", test::Pattern(20));
  b.Poke(b.EntryOffset(kRoot, 2) + 2, 'i');  // TWiCE.TXT
  b.AddFile(kRoot, "TWICE.TXT", test::Pattern(30));
  std::vector<std::pair<std::string, std::string>> duplicates;
  for (const auto& f : CheckDisk(Load(b.Bytes())).findings)
    if (f.kind == FindingKind::DuplicateName) duplicates.emplace_back(f.path, f.message);
  const std::string first = FillText(msg::kCheckDuplicateName, {"TWICE.TXT"});
  EXPECT_EQ(duplicates, (std::vector<std::pair<std::string, std::string>>{{"TWiCE.TXT", first},
                                                                          {"TWICE.TXT", first}}));
}

TEST(DiskCheck, RefusedBootSectorIsTheOneFinding) {
  ImageBuilder b;
  b.Poke16(14, 0);  // no reserved sectors
  const auto check = CheckDisk(Load(b.Bytes()));
  ASSERT_EQ(check.findings.size(), 1u);
  EXPECT_EQ(check.findings[0].kind, FindingKind::BootSector);
}

TEST(RealDisks, GetTheirCheckVerdict) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  const auto dir = test::RealDataDir("dsk");
  int withFindings = 0;
  for (const auto& p : std::filesystem::directory_iterator(dir)) {
    const DiskImage img = Load(test::ReadHostFile(p.path()));
    if (!img.Usable()) continue;
    const auto check = CheckDisk(img);
    if (!check.Clean()) ++withFindings;
    // Whatever is found, repair leaves nothing it could mend, and no whole file changes.
    const auto before = WholeFiles(img);
    const RepairPlan plan = PlanRepair(img);
    EXPECT_TRUE(plan.left.empty()) << p.path();
    const auto after = WholeFiles(plan.repaired);
    for (const auto& [off, bytes] : before) EXPECT_EQ(after.at(off), bytes) << p.path();
  }
  EXPECT_GE(withFindings, 1);  // one runs a chain past the disk
}

}  // namespace
}  // namespace quarnel
