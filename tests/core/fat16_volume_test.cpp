// FAT16 and large FAT12 volumes: boot sectors of hard-disk volumes, images made by mkfs.fat and
// mtools read in place, changed in place, and checked by fsck.fat and mtools afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/disk_check.h"
#include "core/disk_repair.h"
#include "core/fat.h"
#include "core/rename.h"
#include "core/save_image.h"
#include "core/save_in_place.h"
#include "core/sector_store.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::GeometryLayout;
using test::ImageBuilder;

// A boot sector of a hard-disk volume: 4 sectors per cluster, 4 reserved, 512 root entries.
GeometryLayout HardDiskLayout(std::uint16_t totalSectors, std::uint16_t sectorsPerFat) {
  GeometryLayout g;
  g.sectorsPerCluster = 4;
  g.reservedSectors = 4;
  g.rootEntries = 512;
  g.totalSectors = totalSectors;
  g.media = 0xF8;
  g.sectorsPerFat = sectorsPerFat;
  g.sectorsPerTrack = 63;
  g.sides = 16;
  return g;
}

// Each boot sector of a volume larger than a floppy read as its fields say: the 32-bit count
// when the 16-bit one is 0, no tracks needed; a floppy keeps its rules.
TEST(LargeVolumeGeometry, ReadsHardDiskBootSectors) {
  struct Case {
    const char* what;
    std::uint16_t total16;
    std::uint32_t total32;
    std::uint16_t sectorsPerTrack;
    std::uint16_t sides;
    std::uint64_t volumeBytes;
    GeometryFault fault;
    std::uint32_t totalSectors;
    FatKind kind;
  };
  constexpr std::uint64_t k128Mb = 262144ull * 512;
  const Case cases[] = {
      {"32-bit count", 0, 262144, 63, 16, k128Mb, GeometryFault::None, 262144, FatKind::Fat16},
      {"16-bit count wins", 60000, 262144, 63, 16, k128Mb, GeometryFault::None, 60000,
       FatKind::Fat16},
      {"no tracks on a hard disk", 0, 262144, 0, 0, k128Mb, GeometryFault::None, 262144,
       FatKind::Fat16},
      {"count past the volume", 0, 262145, 63, 16, k128Mb, GeometryFault::DiskLarger, 262145,
       FatKind::Fat16},
      {"more clusters than FAT16 numbers", 0, 4000000, 63, 16, 4000000ull * 512,
       GeometryFault::TooManyClusters, 4000000, FatKind::Fat16},
      {"few clusters: FAT12 whatever it claims", 0, 12000, 63, 16, 12000ull * 512,
       GeometryFault::None, 12000, FatKind::Fat12},
      // A floppy's boot program may lie at +32: its count is never read there.
      {"floppy ignores +32", 0, 1440, 9, 2, 737280, GeometryFault::SystemOutside, 0,
       FatKind::Fat12},
      {"floppy needs tracks", 1440, 0, 0, 2, 737280, GeometryFault::ZeroField, 1440,
       FatKind::Fat12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeometryLayout g = HardDiskLayout(c.total16, 256);
    g.sectorsPerTrack = c.sectorsPerTrack;
    g.sides = c.sides;
    ImageBuilder b(g, 64 * 512);  // the system area is all the reading needs
    b.Poke16(0x20, static_cast<std::uint16_t>(c.total32 & 0xFFFF));
    b.Poke16(0x22, static_cast<std::uint16_t>(c.total32 >> 16));
    const GeometryReading r = ReadGeometry(b.Bytes(), c.volumeBytes);
    EXPECT_EQ(r.fault, c.fault) << r.detail;
    EXPECT_EQ(r.geometry.totalSectors, c.totalSectors);
    if (r.Usable()) {
      EXPECT_EQ(r.geometry.fatKind, c.kind);
    }
  }
}

// A FAT16 volume with enough clusters that its byte offsets pass 4 GB: offsets are exact.
TEST(LargeVolumeGeometry, OffsetsPastFourGigabytes) {
  GeometryLayout g = HardDiskLayout(0, 1024);  // FATs of 512 KB before the clusters
  g.sectorsPerCluster = 128;
  ImageBuilder b(g, 64 * 512);
  const std::uint32_t total = 65524 * 128 + 4 + 2048 + 32;  // the most FAT16 clusters of 64 KB
  b.Poke16(0x20, static_cast<std::uint16_t>(total & 0xFFFF));
  b.Poke16(0x22, static_cast<std::uint16_t>(total >> 16));
  const GeometryReading r = ReadGeometry(b.Bytes(), std::uint64_t{total} * 512);
  ASSERT_TRUE(r.Usable()) << r.detail;
  EXPECT_EQ(r.geometry.fatKind, FatKind::Fat16);
  const std::uint32_t last = r.geometry.LastDataCluster();
  EXPECT_EQ(ClusterOffset(r.geometry, last),
            r.geometry.dataOffset + std::uint64_t{last - 2} * 65536);
  EXPECT_GT(ClusterOffset(r.geometry, last), 0xFFFFFFFFull);
  EXPECT_LE(ClusterOffset(r.geometry, last) + 65536, r.geometry.DiskBytes());
}

std::string Said(const LoadReport& report) {
  std::string out;
  for (const auto& m : report.messages) out += std::string(m) + "\n";
  return out;
}

std::string Mkfs(const std::filesystem::path& img, int sizeKb, int fat, int spc) {
  const auto r = test::Run({"mkfs.fat", "-C", "-F", std::to_string(fat), "-s", std::to_string(spc),
                            "-S", "512", img.string(), std::to_string(sizeKb)});
  return r.exitCode == 0 ? std::string() : r.err;
}

std::optional<FileEntry> Named(const std::vector<FileEntry>& entries, const std::string& caption) {
  for (const FileEntry& e : entries)
    if (e.Caption() == caption) return e;
  return std::nullopt;
}

// A FAT16 volume from mkfs.fat, filled by mtools, loaded by path: it is read in place (never
// whole), lists and reads as mtools wrote it and checks clean.
TEST(Fat16Volume, MtoolsVolumeReadsInPlace) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mkfs.fat") || !test::HaveProgram("mmd"))
    GTEST_SKIP() << "needs mkfs.fat and mtools";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 20480, 16, 1), "");
  const auto data = test::Pattern(300000, 3);
  test::WriteHostFile(tmp / "DATA.BIN", data);
  for (const auto& argv : std::vector<std::vector<std::string>>{
           {"mmd", "-i", img.string(), "::GAMES"},
           {"mcopy", "-i", img.string(), (tmp / "DATA.BIN").string(), "::"},
           {"mcopy", "-i", img.string(), (tmp / "DATA.BIN").string(), "::GAMES/COPY.BIN"}})
    ASSERT_EQ(test::Run(argv, test::kMtoolsEnv).exitCode, 0) << argv[0];

  Workspace ws;
  const LoadReport loaded_ws = ws.LoadImage(img.string());
  ASSERT_TRUE(ws.HasImage()) << Said(loaded_ws);
  EXPECT_TRUE(ws.image.Memory().empty()) << "read whole";
  const DiskGeometry& g = ws.image.geometry;
  EXPECT_EQ(g.fatKind, FatKind::Fat16);
  EXPECT_GT(g.dataClusters, kMostFat12Clusters);
  const auto file = Named(ws.Entries(), "DATA.BIN");
  const auto games = Named(ws.Entries(), "GAMES.   ");
  ASSERT_TRUE(file && games);
  const FileRead read = ReadFile(ws.image, *file);
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_TRUE(read.bytes == data);
  const auto inside = ListDirectory(ws.image, DirRef{games->firstCluster});
  ASSERT_TRUE(inside);
  const auto copy = Named(EntriesOf(*inside), "COPY.BIN");
  ASSERT_TRUE(copy);
  EXPECT_TRUE(ReadFile(ws.image, *copy).bytes == data);

  const DiskCheck check = CheckDisk(ws.image);
  EXPECT_TRUE(check.Clean()) << check.findings.front().message;
}

// Changes of a FAT16 volume reach the file in place: only the sectors they touch (adding 1 MB
// writes little more than 1 MB), the file is never replaced, and fsck.fat and mtools agree.
TEST(Fat16Volume, ChangesAreWrittenInPlaceAndWitnessed) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mkfs.fat"))
    GTEST_SKIP() << "needs mkfs.fat and mtools";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 16384, 16, 1), "");
  const auto old = test::Pattern(5000, 9);
  test::WriteHostFile(tmp / "OLD.TXT", old);
  ASSERT_EQ(
      test::Run({"mcopy", "-i", img.string(), (tmp / "OLD.TXT").string(), "::"}, test::kMtoolsEnv)
          .exitCode,
      0);
  struct stat before {};
  ASSERT_EQ(::stat(img.c_str(), &before), 0);

  Workspace ws;
  const LoadReport loaded_ws = ws.LoadImage(img.string());
  ASSERT_TRUE(ws.HasImage()) << Said(loaded_ws);
  const auto big = test::Pattern(1 << 20, 4);
  NewFile f;
  f.name = "BIG.BIN";
  f.bytes = big;
  ASSERT_EQ(AddFileData(ws.image, kRootDir, f), AddStatus::Added);
  ws.MarkChanged();
  ASSERT_EQ(Save(ws), SaveStatus::Saved);
  const auto* store = dynamic_cast<const FileStore*>(ws.image.Store());
  ASSERT_TRUE(store);
  EXPECT_GE(store->BytesWritten(), big.size());
  EXPECT_LT(store->BytesWritten(), 1200u * 1024);

  ASSERT_EQ(MakeDirectory(ws.image, kRootDir, "GAMES", LocalDateTime{}), AddStatus::Added);
  ws.Refresh();
  const auto games = Named(ws.Entries(), "GAMES.   ");
  ASSERT_TRUE(games);
  f.name = "ZORK.TXT";
  f.bytes = test::Pattern(70000, 5);
  ASSERT_EQ(AddFileData(ws.image, DirRef{games->firstCluster}, f), AddStatus::Added);
  const auto oldEntry = Named(ws.Entries(), "OLD.TXT");
  ASSERT_TRUE(oldEntry);
  ASSERT_EQ(RenameEntry(ws.image, ws.listing, *oldEntry, "NEW.TXT"), RenameStatus::Renamed);
  ws.Refresh();
  ASSERT_EQ(Save(ws), SaveStatus::Saved);

  struct stat after {};
  ASSERT_EQ(::stat(img.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
  EXPECT_EQ(test::MdirNames(img),
            (std::set<std::string>{"BIG.BIN", "GAMES/", "GAMES/ZORK.TXT", "NEW.TXT"}));
  EXPECT_TRUE(test::Mtype(img, "BIG.BIN") == big);
  EXPECT_TRUE(test::Mtype(img, "GAMES/ZORK.TXT") == f.bytes);
  EXPECT_TRUE(test::Mtype(img, "NEW.TXT") == old);

  // Deleting puts everything back: the FAT copies agree and fsck.fat finds nothing.
  ws.Refresh();
  const auto bigEntry = Named(ws.Entries(), "BIG.BIN");
  ASSERT_TRUE(bigEntry);
  ASSERT_EQ(DeleteEntry(ws.image, ws.listing, *bigEntry), DeleteStatus::Deleted);
  ASSERT_EQ(Save(ws), SaveStatus::Saved);
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
  EXPECT_EQ(test::MdirNames(img), (std::set<std::string>{"GAMES/", "GAMES/ZORK.TXT", "NEW.TXT"}));
}

// A file larger than 16 MB: its size takes all four bytes of the entry in the listing (three
// bytes cut 17 MB to 1 MB), and its add writes each sector once (the in-place store once copied
// every write into every block it had read, which made a 30 MB add take minutes).
TEST(Fat16Volume, FilesPastSixteenMegabytesKeepTheirSize) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mkfs.fat"))
    GTEST_SKIP() << "needs mkfs.fat and mtools";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 40 * 1024, 16, 4), "");
  Workspace ws;
  ws.LoadImage(img.string());
  ASSERT_TRUE(ws.HasImage());
  NewFile f;
  f.name = "BIG.BIN";
  f.bytes = test::Pattern(17 << 20, 6);
  ASSERT_EQ(AddFileData(ws.image, kRootDir, f), AddStatus::Added);
  ws.MarkChanged();
  ASSERT_EQ(Save(ws), SaveStatus::Saved);
  ws.Refresh();
  const auto big = Named(ws.Entries(), "BIG.BIN");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->size, 17 << 20);
  EXPECT_TRUE(test::Mtype(img, "BIG.BIN") == f.bytes);
}

// The order a change reaches the file in: an add writes its data, then the FAT copies, then the
// directory entry; a delete marks the entry before it frees the FAT.
TEST(Fat16Volume, WriteOrderKeepsTheDiskConsistent) {
  if (!test::HaveProgram("mkfs.fat")) GTEST_SKIP() << "needs mkfs.fat";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 8192, 16, 1), "");
  Workspace ws;
  const LoadReport loaded_ws = ws.LoadImage(img.string());
  ASSERT_TRUE(ws.HasImage()) << Said(loaded_ws);
  const DiskGeometry& g = ws.image.geometry;
  ASSERT_EQ(g.fatKind, FatKind::Fat16);
  enum Region { Data, Fat, Directory };
  auto regionOf = [&g](std::uint64_t sector) {
    const std::uint64_t at = sector * 512;
    if (at >= g.fatOffset && at < g.rootOffset) return Fat;
    return at >= g.dataOffset ? Data : Directory;
  };
  auto regions = [&](const std::vector<std::uint64_t>& order) {
    std::vector<Region> out;
    for (auto s : order)
      if (out.empty() || out.back() != regionOf(s)) out.push_back(regionOf(s));
    return out;
  };
  NewFile f;
  f.name = "A.BIN";
  f.bytes = test::Pattern(20000, 1);
  ASSERT_EQ(AddFileData(ws.image, kRootDir, f), AddStatus::Added);
  const auto addOrder = InPlaceWriteOrder(ws.image);
  EXPECT_EQ(addOrder.size(), ws.image.Store()->StagedSectors().size());
  EXPECT_EQ(regions(addOrder), (std::vector<Region>{Data, Fat, Directory}));
  ASSERT_TRUE(CommitInPlace(ws.image));
  EXPECT_TRUE(ws.image.Store()->StagedSectors().empty());

  ws.Refresh();
  const auto entry = Named(ws.Entries(), "A.BIN");
  ASSERT_TRUE(entry);
  ASSERT_EQ(DeleteEntry(ws.image, ws.listing, *entry), DeleteStatus::Deleted);
  EXPECT_EQ(regions(InPlaceWriteOrder(ws.image)), (std::vector<Region>{Directory, Fat}));
}

// A change that is never saved leaves the file as it was, and a second volume over the same
// file sees only what was saved.
TEST(Fat16Volume, UnsavedChangesStayOutOfTheFile) {
  if (!test::HaveProgram("mkfs.fat")) GTEST_SKIP() << "needs mkfs.fat";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 8192, 16, 1), "");
  const auto original = test::ReadHostFile(img);
  {
    Workspace ws;
    ws.LoadImage(img.string());
    ASSERT_TRUE(ws.HasImage());
    NewFile f;
    f.name = "A.BIN";
    f.bytes = test::Pattern(20000, 1);
    ASSERT_EQ(AddFileData(ws.image, kRootDir, f), AddStatus::Added);
    const DiskImage copy = ws.image;  // a copy keeps what was staged, on its own
    EXPECT_TRUE(copy.SameBytes(ws.image));
    Workspace other;
    other.LoadImage(img.string());
    ASSERT_TRUE(other.HasImage());
    EXPECT_FALSE(other.image.SameBytes(ws.image));
    EXPECT_FALSE(Named(other.Entries(), "A.BIN"));
  }
  EXPECT_TRUE(test::ReadHostFile(img) == original);
}

// Damage on a FAT16 volume (values above 4095 included) is found and repaired, and fsck.fat
// agrees afterwards.
TEST(Fat16Volume, CheckAndRepairMendFat16Damage) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mkfs.fat"))
    GTEST_SKIP() << "needs mkfs.fat and fsck.fat";
  test::TempDir tmp;
  const auto img = tmp / "hd.img";
  ASSERT_EQ(Mkfs(img, 16384, 16, 1), "");
  Workspace ws;
  ws.LoadImage(img.string());
  ASSERT_TRUE(ws.HasImage());
  // Two files far into the volume, then a cross-link from the first into the second, and a
  // lost chain past cluster 4095.
  for (const char* name : {"A.BIN", "B.BIN"}) {
    NewFile f;
    f.name = name;
    f.bytes = test::Pattern(3000, 2);
    ASSERT_EQ(AddFileData(ws.image, kRootDir, f), AddStatus::Added);
  }
  ws.Refresh();
  const auto a = Named(ws.Entries(), "A.BIN");
  const auto b = Named(ws.Entries(), "B.BIN");
  ASSERT_TRUE(a && b);
  const auto aChain = FollowChain(ws.image, a->firstCluster).clusters;
  const auto bChain = FollowChain(ws.image, b->firstCluster).clusters;
  WriteFatEntry(ws.image, aChain[2], bChain[2]);
  WriteFatEntry(ws.image, 5000, 5001);
  WriteFatEntry(ws.image, 5001, FatMarksOf(FatKind::Fat16).endOfChain);
  CopyFatToMirrors(ws.image);
  std::set<FindingKind> kinds;
  for (const auto& finding : CheckDisk(ws.image).findings) kinds.insert(finding.kind);
  EXPECT_TRUE(kinds.count(FindingKind::CrossLinked));
  EXPECT_TRUE(kinds.count(FindingKind::LostChain));

  RepairPlan plan = PlanRepair(ws.image);
  EXPECT_TRUE(plan.changed);
  EXPECT_TRUE(plan.left.empty()) << plan.left.front().message;
  ws.image = std::move(plan.repaired);
  ASSERT_EQ(Save(ws), SaveStatus::Saved);
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
  EXPECT_TRUE(test::MdirNames(img).count("FILE0000.CHK"));
}

}  // namespace
}  // namespace quarnel
