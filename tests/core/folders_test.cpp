// Directories both ways: making them, adding into them (and growing them), deleting whole trees,
// adding host folder trees, and new MSX-DOS 2 disks; checked by fsck.fat and mtools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <set>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/host_tree.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ImageBuilder;
using test::kRoot;

const LocalDateTime kWhen{2024, 3, 9, 10, 20, 30};

NewFile File(std::string name, std::size_t size, std::uint32_t seed = 1) {
  NewFile f;
  f.name = std::move(name);
  f.bytes = test::Pattern(size, seed);
  f.modified = kWhen;
  return f;
}

class Folders : public ::testing::Test {
 protected:
  void Load(const std::vector<std::uint8_t>& bytes) {
    ws.LoadImageBytes(bytes, "disk.dsk");
    ASSERT_TRUE(ws.HasImage());
  }
  DiskImage& img() { return ws.image; }

  // The entry of `dir` named `name` (8.3, compared as stored).
  std::optional<FileEntry> Find(DirRef dir, std::string_view name) const {
    const auto contents = ListDirectory(ws.image, dir);
    if (!contents) return std::nullopt;
    const auto n11 = MakeMsxName(name);
    for (const FileEntry& e : EntriesOf(*contents))
      if (std::equal(n11.begin(), n11.end(), ws.image.Memory().begin() + e.offset)) return e;
    return std::nullopt;
  }
  DirRef Sub(DirRef dir, std::string_view name) const {
    auto d = FindSubdirectory(ws.image, dir, name);
    EXPECT_TRUE(d) << name;
    return d.value_or(kRootDir);
  }
  std::vector<std::uint8_t> Read(DirRef dir, std::string_view name) const {
    auto e = Find(dir, name);
    if (!e) return {0xBA, 0xD0};
    return ReadFile(ws.image, *e).bytes;
  }
  std::vector<std::uint16_t> ChainOf(DirRef dir) const {
    return FollowChain(ws.image, dir.firstCluster).clusters;
  }

  // fsck.fat finds nothing, mdir lists exactly `names` ("D/" for directories) and mtype gives
  // back `files`.
  void Witness(const std::set<std::string>& names,
               const std::map<std::string, std::vector<std::uint8_t>>& files) {
    if (!test::HaveWitnesses()) return;
    test::TempDir tmp;
    const auto path = tmp / "w.dsk";
    test::WriteHostFile(path, ws.image.Memory());
    EXPECT_EQ(test::FsckFindings(path), std::vector<std::string>{});
    EXPECT_EQ(test::MdirNames(path), names);
    for (const auto& [n, bytes] : files) EXPECT_TRUE(test::Mtype(path, n) == bytes) << n;
  }

  Workspace ws;
  test::ScriptedUi ui;
};

TEST_F(Folders, MakeDirectoryWritesItsEntryAndTheDotEntries) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.BIN", test::Pattern(1500));  // clusters 2-3
  Load(b.Bytes());
  ASSERT_EQ(MakeDirectory(img(), kRootDir, "games", kWhen), AddStatus::Added);
  const DirRef games = Sub(kRootDir, "GAMES");
  ASSERT_EQ(MakeDirectory(img(), games, "MSX2", kWhen), AddStatus::Added);
  const DirRef msx2 = Sub(games, "MSX2");
  EXPECT_EQ(games.firstCluster, 4);  // the lowest free clusters
  EXPECT_EQ(msx2.firstCluster, 5);
  const auto e = Find(kRootDir, "GAMES");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->attribute, kAttrDirectory);
  EXPECT_EQ(e->fullSize, 0u);
  EXPECT_EQ(e->year, 2024);
  EXPECT_EQ(e->minute, 20);
  EXPECT_EQ(ReadFatEntry(img(), 5), test::kFatEndOfChain);
  // "." names the directory itself, ".." its parent: 0 for the root.
  struct Dot {
    DirRef dir;
    int slot;
    const char* name;
    std::uint16_t cluster;
  } dots[] = {{games, 0, ".          ", 4},
              {games, 1, "..         ", 0},
              {msx2, 0, ".          ", 5},
              {msx2, 1, "..         ", 4}};
  for (const Dot& d : dots) {
    SCOPED_TRACE(std::to_string(d.dir.firstCluster) + d.name);
    const std::size_t off = ClusterOffset(img().geometry, d.dir.firstCluster) + d.slot * 32;
    const auto entry = DirEntryAt(img().View(), off);
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::memcmp(img().Memory().data() + off, d.name, 11), 0);
    EXPECT_EQ(entry->attribute, kAttrDirectory);
    EXPECT_EQ(entry->firstCluster.Get(), d.cluster);
    EXPECT_EQ(entry->date.Get(), FatDate(kWhen));
  }
  // Everything after the two dot entries is zero: no stale bytes read as entries.
  const std::size_t data = ClusterOffset(img().geometry, 5);
  EXPECT_TRUE(std::all_of(img().Memory().begin() + data + 64,
                          img().Memory().begin() + data + img().geometry.clusterBytes,
                          [](std::uint8_t v) { return v == 0; }));
  Witness({"A.BIN", "GAMES/", "GAMES/MSX2/"}, {{"A.BIN", test::Pattern(1500)}});
}

TEST_F(Folders, NameClashesChangeNothing) {
  ImageBuilder b;
  b.AddFile(kRoot, "FILE.TXT", test::Pattern(10));
  b.AddDirectory(kRoot, "DIR");
  Load(b.Bytes());
  const auto before = img().Memory();
  const struct {
    const char* what;
    AddStatus status;
    std::function<AddOutcome()> run;
  } cases[] = {
      {"a directory where a file is", AddStatus::NameIsFile,
       [&] { return MakeDirectory(img(), kRootDir, "file.txt", kWhen); }},
      {"a directory where one is", AddStatus::DirectoryExists,
       [&] { return MakeDirectory(img(), kRootDir, "DIR", kWhen); }},
      {"a file where a directory is", AddStatus::NameIsDirectory,
       [&] { return AddFileData(img(), kRootDir, File("dir", 10)); }},
      {"no 8.3 name", AddStatus::InvalidName,
       [&] { return MakeDirectory(img(), kRootDir, "TOOLONGNAME", kWhen); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.run(), c.status);
    EXPECT_TRUE(img().Memory() == before);
  }
}

TEST_F(Folders, FilesGoIntoSubdirectoriesAndReplaceThereOnly) {
  ImageBuilder b;
  b.AddFile(kRoot, "GAME.BAS", test::Pattern(100, 9));
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  Load(b.Bytes());
  ASSERT_EQ(AddFileData(img(), DirRef{sub}, File("game.bas", 3000, 1)), AddStatus::Added);
  const auto firstChain = FollowChain(img(), Find(DirRef{sub}, "GAME.BAS")->firstCluster).clusters;
  EXPECT_EQ(firstChain, (std::vector<std::uint16_t>{4, 5, 6}));
  // The same name again replaces the file in the subdirectory, reusing its clusters; the root's
  // file of that name stays.
  ASSERT_EQ(AddFileData(img(), DirRef{sub}, File("GAME.BAS", 2000, 2)), AddStatus::Added);
  EXPECT_EQ(FollowChain(img(), Find(DirRef{sub}, "GAME.BAS")->firstCluster).clusters,
            (std::vector<std::uint16_t>{4, 5}));
  EXPECT_EQ(Read(DirRef{sub}, "GAME.BAS"), test::Pattern(2000, 2));
  EXPECT_EQ(Read(kRootDir, "GAME.BAS"), test::Pattern(100, 9));
  Witness({"GAME.BAS", "SUB/", "SUB/GAME.BAS"},
          {{"GAME.BAS", test::Pattern(100, 9)}, {"SUB/GAME.BAS", test::Pattern(2000, 2)}});
}

TEST_F(Folders, ASubdirectoryGrowsToASecondAndAThirdCluster) {
  ImageBuilder b;  // 1024-byte clusters: 32 slots, 30 after the dot entries
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  Load(b.Bytes());
  std::set<std::string> names{"SUB/"};
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (int i = 0; i < 80; ++i) {
    const std::string name = "F" + std::to_string(i) + ".BIN";
    ASSERT_EQ(AddFileData(img(), DirRef{sub}, File(name, 700, i)), AddStatus::Added) << name;
    names.insert("SUB/" + name);
    if (i % 10 == 0) files["SUB/" + name] = test::Pattern(700, i);
    if (i == 29) {
      EXPECT_EQ(ChainOf(DirRef{sub}).size(), 1u);
    }
  }
  // The 31st file took the lowest free cluster for the directory, its data the next one.
  const auto chain = ChainOf(DirRef{sub});
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[1], 2 + 1 + 30);
  EXPECT_EQ(Find(DirRef{sub}, "F30.BIN")->firstCluster, chain[1] + 1);
  EXPECT_EQ(Find(DirRef{sub}, "F30.BIN")->offset, ClusterOffset(img().geometry, chain[1]));
  EXPECT_EQ(Read(DirRef{sub}, "F79.BIN"), test::Pattern(700, 79));
  Witness(names, files);
}

TEST_F(Folders, TheRootStaysFixedAndAFullDiskRefusesGrowthWhole) {
  {
    ImageBuilder b(test::GeometryLayout::Msx160());  // 64 root slots
    for (int i = 0; i < 64; ++i) b.AddEntry(kRoot, {"R" + std::to_string(i) + ".TXT"});
    Load(b.Bytes());
    const auto before = img().Memory();
    for (const AddOutcome& out : {AddFileData(img(), kRootDir, File("NEW.TXT", 10)),
                                  MakeDirectory(img(), kRootDir, "NEWDIR", kWhen)}) {
      EXPECT_EQ(out, AddStatus::DirectoryFull);
      EXPECT_EQ(out.message, msg::kDirectoryFull);
    }
    EXPECT_TRUE(img().Memory() == before);
  }
  {
    ImageBuilder b(test::GeometryLayout::Msx160());  // 512-byte clusters: 14 free slots
    const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
    for (int i = 0; i < 14; ++i) b.AddEntry(sub, {"S" + std::to_string(i) + ".TXT"});
    for (std::uint32_t c = 2; c <= b.geometry().LastDataCluster(); ++c)
      if (b.Fat(c) == 0) b.SetFat(c, 0xFFF);
    Load(b.Bytes());
    const auto before = img().Memory();
    // Even an empty file needs a slot, and the slot a cluster.
    EXPECT_EQ(AddFileData(img(), DirRef{sub}, File("E.TXT", 0)), AddStatus::DiskFull);
    EXPECT_EQ(MakeDirectory(img(), DirRef{sub}, "D", kWhen), AddStatus::DiskFull);
    EXPECT_TRUE(img().Memory() == before);
  }
}

TEST_F(Folders, ABrokenOrLoopingTargetDirectoryRefusesAdds) {
  for (bool loop : {false, true}) {
    SCOPED_TRACE(loop ? "loop" : "broken");
    ImageBuilder b;
    const std::uint16_t sub = b.AddDirectory(kRoot, "SUB", 2);
    const std::uint16_t second = b.Fat(sub);
    b.SetFat(second, loop ? sub : 0);  // back to its start, or a free link
    ws = Workspace();
    Load(b.Bytes());
    const auto before = img().Memory();
    EXPECT_EQ(AddFileData(img(), DirRef{sub}, File("A.TXT", 10)), AddStatus::BrokenDirectory);
    EXPECT_EQ(MakeDirectory(img(), DirRef{sub}, "D", kWhen), AddStatus::BrokenDirectory);
    EXPECT_TRUE(img().Memory() == before);
  }
}

TEST_F(Folders, AFullDirectoryWhoseLastClusterAFileSharesDoesNotGrow) {
  ImageBuilder b;
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  for (int i = 0; i < 30; ++i) b.AddEntry(sub, {"S" + std::to_string(i) + ".TXT"});
  // A damaged disk: a file whose entry starts at the directory's only cluster.
  b.AddEntry(kRoot, {"CROSS.BIN", 0x20, sub, 1024});
  Load(b.Bytes());
  const auto before = img().Memory();
  // Linking a new cluster after the directory's last one would lengthen the file's chain too.
  EXPECT_EQ(AddFileData(img(), DirRef{sub}, File("NEW.TXT", 10)), AddStatus::NeedsCheck);
  EXPECT_TRUE(img().Memory() == before);
}

TEST_F(Folders, DeleteTreeFreesEveryClusterBelow) {
  ImageBuilder b;
  b.AddFile(kRoot, "KEEP.TXT", test::Pattern(2000, 5));
  Load(b.Bytes());
  const std::size_t freeBefore = FreeClusterCount(img());
  ASSERT_EQ(MakeDirectory(img(), kRootDir, "TOP", kWhen), AddStatus::Added);
  const DirRef top = Sub(kRootDir, "TOP");
  ASSERT_EQ(MakeDirectory(img(), top, "MID", kWhen), AddStatus::Added);
  const DirRef mid = Sub(top, "MID");
  ASSERT_EQ(MakeDirectory(img(), mid, "LOW", kWhen), AddStatus::Added);
  for (int i = 0; i < 40; ++i)  // MID grows to two clusters
    ASSERT_EQ(AddFileData(img(), mid, File("M" + std::to_string(i), 1500, i)), AddStatus::Added);
  ASSERT_EQ(AddFileData(img(), Sub(mid, "LOW"), File("L.BIN", 5000)), AddStatus::Added);
  ASSERT_EQ(AddFileData(img(), top, File("T.BIN", 0)), AddStatus::Added);
  // Plain deletion refuses a directory that holds anything.
  auto rootList = *ListDirectory(img(), kRootDir);
  EXPECT_EQ(DeleteEntry(img(), rootList, *Find(kRootDir, "TOP")), DeleteStatus::NotEmpty);
  EXPECT_EQ(DeleteTree(img(), rootList, *Find(kRootDir, "TOP")), DeleteStatus::Deleted);
  EXPECT_EQ(FreeClusterCount(img()), freeBefore);
  EXPECT_FALSE(Find(kRootDir, "TOP"));
  Witness({"KEEP.TXT"}, {{"KEEP.TXT", test::Pattern(2000, 5)}});
}

TEST_F(Folders, DeleteTreeRefusesADirectoryThatLeadsBackUp) {
  const struct {
    const char* what;
    bool toRoot;
  } cases[] = {{"to its parent", false}, {"to the root", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageBuilder b;
    const std::uint16_t top = b.AddDirectory(kRoot, "TOP");
    b.AddFile(top, "A.BIN", test::Pattern(3000));
    b.AddEntry(top, {"BACK", kAttrDirectory, static_cast<std::uint16_t>(c.toRoot ? 0 : top)});
    ws = Workspace();
    Load(b.Bytes());
    const auto before = img().Memory();
    const DeleteOutcome out =
        DeleteTree(img(), *ListDirectory(img(), kRootDir), *Find(kRootDir, "TOP"));
    EXPECT_EQ(out, DeleteStatus::NeedsCheck);
    EXPECT_NE(out.message.find("BACK"), std::string::npos) << out.message;
    EXPECT_TRUE(img().Memory() == before);
  }
}

// What a directory holds at every level, asked about before it goes; a directory that leads back
// up is counted as an entry and not listed again, so the count ends.
TEST_F(Folders, CountBelowCountsEveryLevelOnce) {
  const struct {
    const char* what;
    std::optional<bool> backToRoot;  // a directory BACK inside TOP leading to the root or to TOP
    std::size_t files, folders;
  } cases[] = {{"a plain tree", std::nullopt, 3, 1},
               {"a loop to its parent", false, 3, 2},
               {"a loop to the root", true, 3, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageBuilder b;
    b.AddFile(kRoot, "OUT.BIN", test::Pattern(10));
    const std::uint16_t top = b.AddDirectory(kRoot, "TOP");
    b.AddFile(top, "A.BIN", test::Pattern(3000));
    const std::uint16_t sub = b.AddDirectory(top, "SUB");
    b.AddFile(sub, "B.BIN", test::Pattern(30));
    b.AddFile(sub, "C.BIN", test::Pattern(0));
    if (c.backToRoot)
      b.AddEntry(top,
                 {"BACK", kAttrDirectory, static_cast<std::uint16_t>(*c.backToRoot ? 0 : top)});
    ws = Workspace();
    Load(b.Bytes());
    const TreeCount n = CountBelow(img(), *Find(kRootDir, "TOP"));
    EXPECT_EQ(n.files, c.files);
    EXPECT_EQ(n.folders, c.folders);
  }
  EXPECT_TRUE(CountBelow(img(), *Find(kRootDir, "OUT.BIN")).Empty());
}

TEST_F(Folders, DirectoriesMadeByMmdTakeOurAdds) {
  if (!test::HaveWitnesses() || !test::HaveProgram("mmd")) GTEST_SKIP() << "mtools missing";
  test::TempDir tmp;
  const auto path = tmp / "m.dsk";
  test::WriteHostFile(path, BuildNewImage(GeometryTable[7]));
  ASSERT_EQ(test::Run({"mmd", "-i", path.string(), "::A", "::A/B"}, test::kMtoolsEnv).exitCode, 0);
  Load(test::ReadHostFile(path));
  const DirRef inner = Sub(Sub(kRootDir, "A"), "B");
  ASSERT_EQ(AddFileData(img(), inner, File("X.BIN", 4000, 3)), AddStatus::Added);
  Witness({"A/", "A/B/", "A/B/X.BIN"}, {{"A/B/X.BIN", test::Pattern(4000, 3)}});
}

// A few hundred random changes across three levels of directories, held against a model and
// against the witnesses.
TEST_F(Folders, RandomChangesAcrossLevelsAgreeWithTheWitnesses) {
  Load(BuildNewImage(GeometryTable[7]));
  std::mt19937 rng(20240309);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  std::map<std::string, DirRef> dirs{{"", kRootDir}};  // "A/B/" -> directory
  std::map<std::string, std::vector<std::uint8_t>> files;
  int made = 0;
  auto dirAt = [&]() {
    auto it = dirs.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(pick(dirs.size())));
    return *it;
  };
  auto check = [&](bool mtype) {
    std::set<std::string> names;
    for (const auto& [p, _] : dirs)
      if (!p.empty()) names.insert(p);
    for (const auto& [p, _] : files) names.insert(p);
    for (const auto& [p, bytes] : files) {
      const auto slash = p.rfind('/');
      const std::string dir = slash == std::string::npos ? "" : p.substr(0, slash + 1);
      EXPECT_EQ(Read(dirs.at(dir), p.substr(dir.size())), bytes) << p;
    }
    Witness(names, mtype ? files : std::map<std::string, std::vector<std::uint8_t>>{});
  };
  for (int step = 0; step < 300; ++step) {
    const auto [dirPath, dir] = dirAt();
    const int op = static_cast<int>(pick(10));
    if (op < 2 && std::count(dirPath.begin(), dirPath.end(), '/') < 3) {
      const std::string name = "D" + std::to_string(made++);
      ASSERT_EQ(MakeDirectory(img(), dir, name, kWhen), AddStatus::Added) << step;
      dirs[dirPath + name + "/"] = Sub(dir, name);
    } else if (op < 6) {
      const std::string name = "F" + std::to_string(pick(8)) + ".BIN";
      const NewFile f = File(name, pick(4000), static_cast<std::uint32_t>(step));
      ASSERT_EQ(AddFileData(img(), dir, f), AddStatus::Added) << step;
      files[dirPath + name] = f.bytes;
    } else if (op < 8 && !files.empty()) {
      auto it = files.begin();
      std::advance(it, static_cast<std::ptrdiff_t>(pick(files.size())));
      const std::string path = it->first;
      const auto slash = path.rfind('/');
      const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash + 1);
      const std::string name = path.substr(parent.size());
      const std::string to = "R" + std::to_string(step) + ".REN";
      const auto list = *ListDirectory(img(), dirs.at(parent));
      if (op == 6) {
        ASSERT_EQ(RenameEntry(img(), list, *Find(dirs.at(parent), name), to), RenameStatus::Renamed)
            << step;
        files[parent + to] = it->second;
      } else {
        ASSERT_EQ(DeleteEntry(img(), list, *Find(dirs.at(parent), name)), DeleteStatus::Deleted);
      }
      files.erase(path);
    } else if (!dirPath.empty() && pick(3) == 0) {
      const std::string trimmed = dirPath.substr(0, dirPath.size() - 1);
      const auto slash = trimmed.rfind('/');
      const std::string parent = slash == std::string::npos ? "" : trimmed.substr(0, slash + 1);
      const std::string name = trimmed.substr(parent.size());
      const auto list = *ListDirectory(img(), dirs.at(parent));
      ASSERT_EQ(DeleteTree(img(), list, *Find(dirs.at(parent), name)), DeleteStatus::Deleted);
      std::erase_if(dirs, [&](const auto& d) { return d.first.rfind(dirPath, 0) == 0; });
      std::erase_if(files, [&](const auto& f) { return f.first.rfind(dirPath, 0) == 0; });
    }
    if (step % 60 == 59) check(false);
  }
  check(true);
}

TEST(Dos2BootSector, CarriesVolIdAVolumeIdAndTheJumpOverThem) {
  const VolumeId id = VolumeIdFrom(0xF1E2D3C4);
  EXPECT_EQ(id, (VolumeId{0x44, 0x53, 0x62, 0x71}));  // the top bit of each byte cleared
  const auto dos1 = BuildNewImage(GeometryTable[7]);
  const auto dos2 = BuildNewImage(GeometryTable[7], id);
  EXPECT_NE(std::string(dos1.begin() + kVolIdOffset, dos1.begin() + kVolIdOffset + 6), "VOL_ID");
  EXPECT_EQ(std::string(dos2.begin() + kVolIdOffset, dos2.begin() + kVolIdOffset + 6), "VOL_ID");
  EXPECT_EQ(dos2[0x1E], 0x18);  // jr 030H
  EXPECT_EQ(0x20 + static_cast<std::int8_t>(dos2[0x1F]), 0x30);
  EXPECT_EQ(dos2[kDirtyFlagOffset], 0);
  EXPECT_TRUE(std::equal(id.begin(), id.end(), dos2.begin() + kVolumeIdOffset));
  EXPECT_TRUE(std::all_of(dos2.begin() + 0x2B, dos2.begin() + 0x30, [](auto v) { return v == 0; }));
  // The boot code moved whole (it addresses only the FCB and message, which stay).
  constexpr std::size_t kCode = 0x63 - 0x1E;
  EXPECT_TRUE(std::equal(dos1.begin() + 0x1E, dos1.begin() + 0x1E + kCode, dos2.begin() + 0x30));
  EXPECT_TRUE(std::equal(dos1.begin() + 0x79, dos1.begin() + 512, dos2.begin() + 0x79));
  // Everything but the boot program is as a DOS 1 image has it.
  EXPECT_TRUE(std::equal(dos1.begin(), dos1.begin() + 0x1E, dos2.begin()));
  EXPECT_TRUE(std::equal(dos1.begin() + 512, dos1.end(), dos2.begin() + 512));
  if (!test::HaveWitnesses()) return;
  test::TempDir tmp;
  test::WriteHostFile(tmp / "d2.dsk", dos2);
  EXPECT_EQ(test::FsckFindings(tmp / "d2.dsk"), std::vector<std::string>{});
  EXPECT_EQ(test::Run({"mdir", "-i", (tmp / "d2.dsk").string(), "::"}, test::kMtoolsEnv).exitCode,
            0);
}

TEST(ClaimedNames, NamesAlikeGetDistinctEntries) {
  const std::vector<std::string> cases[][2] = {
      {{"longfilename.txt", "longfilename2.txt", "longfile.txt"},
       {"longfile.txt", "longfi~1.txt", "longfi~2.txt"}},
      {{"a.txt", "A.TXT"}, {"a.txt", "A~1.TXT"}},              // one host folder, case apart
      {{"NOTE.TXT", "NOTE.TXT"}, {"NOTE.TXT", "NOTE~1.TXT"}},  // two folders, one name
      // Through the MSX character set, "_" where it has no such character; no UTF-8: as it is.
      {{"ção.txt", "€uro.txt", "日本.txt", "\xFF.txt"},
       {"\x87\xB1o.txt", "_uro.txt", "__.txt", "\xFF.txt"}},
      {{"Ünïcode-long.txt", "a b*c.txt"},
       {"\x9An\x8B"
        "code-.txt",
        "ab_c.txt"}},
  };
  for (const auto& [hosts, expected] : cases) {
    ClaimedNames names;
    std::vector<std::string> got;
    for (const auto& h : hosts) got.push_back(names.Claim(h));
    EXPECT_EQ(got, expected);
  }
}

TEST_F(Folders, LinksInsideAHostTreeAreSkippedAndTheTopOneFollowed) {
  test::TempDir tmp;
  const fs::path top = tmp / "top", outside = tmp / "outside";
  fs::create_directories(top / "sub");
  fs::create_directories(outside);
  test::WriteHostFile(top / "a.txt", test::Pattern(10));
  test::WriteHostFile(outside / "secret.txt", test::Pattern(20));
  fs::create_symlink(outside / "secret.txt", top / "file.lnk");
  fs::create_symlink(outside, top / "dir.lnk");
  fs::create_symlink(tmp / "missing", top / "dangling");
  fs::create_symlink(top, top / "sub" / "up");
  fs::create_symlink(top, tmp / "top.lnk");
  Load(BuildNewImage(GeometryTable[7]));
  const HostTreeResult r = AddHostTree(img(), kRootDir, tmp / "top.lnk", "TOP");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.files, 1u);
  EXPECT_EQ(r.folders, 2u);
  const fs::path t = tmp / "top.lnk";
  EXPECT_EQ(r.skippedLinks, (std::vector<fs::path>{t / "dangling", t / "dir.lnk", t / "file.lnk",
                                                   t / "sub" / "up"}));
  EXPECT_EQ(Read(Sub(kRootDir, "TOP"), "A.TXT"), test::Pattern(10));
}

TEST_F(Folders, HostTreesAreAddedWholeOrReportWhatFails) {
  test::TempDir tmp;
  const fs::path top = tmp / "top";
  fs::path deep = top;
  for (int i = 0; i < kDeepestLevel + 1; ++i) deep /= "d" + std::to_string(i);
  fs::create_directories(deep);
  for (int i = 0; i < 300; ++i)  // more than a root holds; a subdirectory grows
    test::WriteHostFile(top / ("file" + std::to_string(i) + ".dat"), test::Pattern(1, i));
  Load(BuildNewImage(GeometryTable[7]));
  HostTreeOptions keepGoing;
  keepGoing.keepGoing = true;
  const HostTreeResult r = AddHostTree(img(), kRootDir, top, "TOP", keepGoing);
  EXPECT_EQ(r.files, 300u);
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].message, msg::kDirectoryTooDeep);
  EXPECT_EQ(r.failures[0].host.filename(), "d" + std::to_string(kDeepestLevel - 1));
  EXPECT_EQ(Read(Sub(kRootDir, "TOP"), "FILE299.DAT"), test::Pattern(1, 299));
  // Without keepGoing the first file that does not fit ends the run.
  ws = Workspace();
  Load(BuildNewImage(GeometryTable[0]));
  test::WriteHostFile(top / "big.bin", test::Pattern(200 * 1024));
  const HostTreeResult stop = AddHostTree(img(), kRootDir, top, "TOP");
  ASSERT_EQ(stop.failures.size(), 1u);
  EXPECT_EQ(stop.failures[0].status, AddStatus::DiskFull);
  EXPECT_EQ(stop.failures[0].host.filename(), "big.bin");
}

}  // namespace
}  // namespace quarnel
