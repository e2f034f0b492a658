// Adding files: MSX names, the free-slot rule, allocation, replacement decided before deleting,
// the rename question and what a drop of host files does.
#include "core/add_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "change_witness.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/image_path.h"
#include "core/messages.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

std::string Name11(std::string_view host) {
  auto n = MakeMsxName(host);
  return std::string(n.begin(), n.end());
}

TEST(MakeMsxName, WorkedExamples) {
  EXPECT_EQ(Name11("game.bas"), "GAME    BAS");
  EXPECT_EQ(Name11("VERYLONGNAME"), "VERYLONGNAM");
  EXPECT_EQ(Name11("ABCDEFGHI.X"), "ABCDEFGHX  ");
  EXPECT_EQ(Name11("A.B.C"), "A       C  ");
  EXPECT_EQ(Name11("a.b"), "A       B  ");
  EXPECT_EQ(Name11("README"), "README     ");
  EXPECT_EQ(Name11("x{y}.z~"), "X{Y}    Z~ ");  // no other character is checked or replaced
}

TEST(MakeMsxName, ValidityOfTypedNames) {
  EXPECT_TRUE(IsValidMsxName("ABCDEFGH.TXT"));
  EXPECT_TRUE(IsValidMsxName("a.b"));
  EXPECT_FALSE(IsValidMsxName("ABCDEFGHI"));      // 9 characters without a dot
  EXPECT_FALSE(IsValidMsxName("ABCDEFGHI.TXT"));  // 13 characters
  EXPECT_FALSE(IsValidMsxName("A.TEXT"));         // extension of 5 with its dot
  EXPECT_FALSE(IsValidMsxName(""));
  EXPECT_FALSE(IsValidMsxName(".TXT"));
  EXPECT_FALSE(IsValidMsxName(" A.TXT"));
  // A kana first (0xE5 marks deleted entries) is stored as 0x05; other bytes from 0x80 are kept.
  EXPECT_TRUE(IsValidMsxName("\xE5X.TXT"));
  EXPECT_EQ(Name11("\xE5X.TXT"), "\x05X      TXT");
  EXPECT_TRUE(IsValidMsxName("\xB1\xB2.TXT"));
}

TEST(MakeMsxName, NamesMsxDosCannotUseAreRefusedWithTheirReason) {
  const struct {
    const char* name;
    NameProblem problem;
  } cases[] = {
      {"A/B.TXT", NameProblem::ForbiddenChar}, {"A\\B.TXT", NameProblem::ForbiddenChar},
      {"A*.TXT", NameProblem::ForbiddenChar},  {"A?.TXT", NameProblem::ForbiddenChar},
      {"A:B", NameProblem::ForbiddenChar},     {"\"AB\"", NameProblem::ForbiddenChar},
      {"A|B<C>", NameProblem::ForbiddenChar},  {"A B.TXT", NameProblem::Blank},
      {"A\x01.TXT", NameProblem::ControlByte}, {"A\x7F", NameProblem::ControlByte},
      {"X.Y.Z", NameProblem::SeveralDots},     {"ABCDEFGHI", NameProblem::TooLong},
      {"A.TEXT", NameProblem::TooLong},        {".TXT", NameProblem::Empty},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckMsxName(c.name), c.problem);
  }
}

class AddFileTest : public ::testing::Test {
 protected:
  void Load(const ImageBuilder& b) {
    ws.LoadImageBytes(b.Bytes(), "disk.dsk");
    ASSERT_TRUE(ws.HasImage());
    ui.messages.clear();
  }
  NewFile File(std::string name, std::size_t size, std::uint32_t seed = 1) {
    NewFile f;
    f.name = std::move(name);
    f.bytes = test::Pattern(size, seed);
    f.modified = {2002, 4, 5, 13, 5, 9};
    return f;
  }
  const std::uint8_t* Root(int slot) const {
    return ws.image.Memory().data() + ws.image.geometry.rootOffset + slot * 32;
  }
  DirEntry RootEntry(int slot) const {
    return *DirEntryAt(ws.image.View(), ws.image.geometry.rootOffset + slot * 32);
  }
  // Adds to the shown directory, as the Add command does.
  AddOutcome Add(const NewFile& f) { return AddFileData(ws.image, ws.CurrentDir(), f); }
  AddOutcome AddHost(const fs::path& p, std::string_view entryName) {
    return AddFile(ws.image, ws.CurrentDir(), p, entryName);
  }
  std::vector<std::uint8_t> Read(const std::string& caption) {
    ws.Refresh();
    auto e = FindEntry(ws, caption);
    if (!e) {
      ADD_FAILURE() << "no entry " << caption;
      return {};
    }
    FileRead r = ReadFile(ws.image, *e);
    EXPECT_TRUE(r.ok()) << caption;
    return r.bytes;
  }
  bool FatCopiesEqual() const {
    const auto& g = ws.image.geometry;
    return std::memcmp(ws.image.Memory().data() + g.fatOffset,
                       ws.image.Memory().data() + g.fatOffset + g.FatBytes(), g.FatBytes()) == 0;
  }

  Workspace ws;
  test::ScriptedUi ui;
};

TEST_F(AddFileTest, WritesEntryDataAndChainInTheLowestFreeClusters) {
  ImageBuilder b;
  b.AddFile(kRoot, "FIRST.BIN", test::Pattern(1500));  // clusters 2-3
  b.AddFile(kRoot, "GAP.BIN", test::Pattern(1024));    // cluster 4
  b.AddFile(kRoot, "LAST.BIN", test::Pattern(100));    // cluster 5
  b.SetFat(4, 0);                                      // a hole at 4
  b.Poke(b.geometry().rootOffset + 32, kEntryDeleted);
  Load(b);
  NewFile f = File("game.bas", 2500, 7);  // three clusters: 4, 6, 7
  const AddOutcome added = Add(f);
  ASSERT_EQ(added, AddStatus::Added);
  EXPECT_EQ(added.message, "");
  DirEntry e = RootEntry(1);  // the deleted slot is reused
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e.name), 11), "GAME    BAS");
  EXPECT_EQ(e.attribute, 0x20);
  EXPECT_EQ(e.firstCluster.Get(), 4);
  EXPECT_EQ(e.size.Get(), 2500u);
  EXPECT_EQ(e.time.Get(), (13 << 11) | (5 << 5) | 4);  // 13:05:09 stored as 13:05:08
  EXPECT_EQ(e.date.Get(), (22 << 9) | (4 << 5) | 5);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(e.reserved[i], 0);
  EXPECT_EQ(ReadFatEntry(ws.image, 4), 6);
  EXPECT_EQ(ReadFatEntry(ws.image, 6), 7);
  EXPECT_EQ(ReadFatEntry(ws.image, 7), 0xFFF);
  EXPECT_TRUE(FatCopiesEqual());
  EXPECT_EQ(Read("GAME.BAS"), f.bytes);
  // The tail of the last cluster is cleared.
  auto off = ClusterOffset(ws.image.geometry, 7) + (2500 - 2048);
  EXPECT_EQ(
      std::count(ws.image.Memory().begin() + off, ws.image.Memory().begin() + off + 1024 - 452, 0),
      572);
}

TEST_F(AddFileTest, ClustersBeyondTheFirstFatAreNeverAllocated) {
  // One FAT of one sector covers clusters up to 340, the disk has 715: the entries of the others
  // would lie in the root directory, where a chain cannot be written.
  test::GeometryLayout g = test::GeometryLayout::Msx720();
  g.fatCount = 1;
  g.sectorsPerFat = 1;
  ImageBuilder b(g);
  for (std::uint32_t c = 2; c <= 340; ++c) b.SetFat(c, 0xFFF);
  Load(b);
  EXPECT_EQ(FreeBytes(ws.image), 0);
  NewFile f = File("NEW.DAT", 2048, 4);
  const AddOutcome full = Add(f);
  EXPECT_EQ(full, AddStatus::DiskFull);
  EXPECT_EQ(full.message, msg::kDiskFull);
  EXPECT_EQ(Root(0)[0], 0);  // nothing written
}

TEST_F(AddFileTest, ReplacementReusesTheFreedClusters) {
  ImageBuilder b;
  b.AddFile(kRoot, "GAME.BAS", test::Pattern(3000, 2));  // clusters 2-4
  b.AddFile(kRoot, "OTHER.TXT", test::Pattern(10, 3));   // cluster 5
  Load(b);
  const std::int32_t freeBefore = FreeBytes(ws.image);
  NewFile f = File("game.bas", 2000, 9);
  ASSERT_EQ(Add(f), AddStatus::Added);
  // The old entry is deleted and its slot, the first free one then, takes the new entry.
  EXPECT_EQ(Root(0)[0], 'G');
  EXPECT_EQ(RootEntry(0).size.Get(), 2000u);
  EXPECT_EQ(RootEntry(0).firstCluster.Get(), 2);
  EXPECT_EQ(Root(2)[0], 0);
  EXPECT_EQ(ReadFatEntry(ws.image, 2), 3);
  EXPECT_EQ(ReadFatEntry(ws.image, 3), 0xFFF);
  EXPECT_EQ(ReadFatEntry(ws.image, 4), 0);
  EXPECT_EQ(FreeBytes(ws.image), freeBefore + 1024);
  EXPECT_EQ(Read("GAME.BAS"), f.bytes);
}

TEST_F(AddFileTest, NamesWithoutThreeCharacterExtensionAreReplacedToo) {
  ImageBuilder b;
  b.AddFile(kRoot, "README", test::Pattern(10, 1));
  b.AddFile(kRoot, "GAME.BA", test::Pattern(10, 2));
  Load(b);
  ASSERT_EQ(Add(File("readme", 20, 3)), AddStatus::Added);
  ASSERT_EQ(Add(File("game.ba", 30, 4)), AddStatus::Added);
  ws.Refresh();
  const auto entries = ws.Entries();
  ASSERT_EQ(entries.size(), 2u);  // one entry per name, as MSX-DOS needs it
  EXPECT_EQ(entries[0].size, 20);
  EXPECT_EQ(entries[1].size, 30);
}

TEST_F(AddFileTest, DiskFullKeepsTheOldFile) {
  ImageBuilder b;
  b.AddFile(kRoot, "GAME.BAS", test::Pattern(2048, 2));  // 2 clusters
  b.AddFile(kRoot, "FILL.BIN", test::Pattern(710 * 1024, 3));
  Load(b);  // 1 cluster free; the replacement would free 2: 3 in all
  auto before = ws.image.Memory();
  const AddOutcome full = Add(File("GAME.BAS", 3 * 1024 + 1, 5));
  EXPECT_EQ(full, AddStatus::DiskFull);
  EXPECT_EQ(full.message, msg::kDiskFull);
  EXPECT_TRUE(ws.image.Memory() == before);
  // Exactly as much as there will be: added.
  NewFile fits = File("GAME.BAS", 3 * 1024, 6);
  ASSERT_EQ(Add(fits), AddStatus::Added);
  EXPECT_EQ(FreeBytes(ws.image), 0);
  EXPECT_EQ(Read("GAME.BAS"), fits.bytes);
}

TEST_F(AddFileTest, DirectoryFullKeepsTheOldFileButAReplacedSlotIsReused) {
  test::GeometryLayout g = test::GeometryLayout::Msx160();
  ImageBuilder b(g);
  for (int i = 0; i < 64; ++i)
    b.AddFile(kRoot, "F" + std::to_string(i) + ".TXT", {static_cast<std::uint8_t>(i)});
  Load(b);
  auto before = ws.image.Memory();
  const AddOutcome full = Add(File("NEW.TXT", 5));
  EXPECT_EQ(full, AddStatus::DirectoryFull);
  EXPECT_EQ(full.message, msg::kDirectoryFull);
  EXPECT_TRUE(ws.image.Memory() == before);
  // Replacing in a full directory: the replaced entry's slot takes the new file.
  NewFile f = File("F10.TXT", 700, 4);
  ASSERT_EQ(Add(f), AddStatus::Added);
  EXPECT_EQ(RootEntry(10).size.Get(), 700u);
  EXPECT_EQ(Read("F10.TXT"), f.bytes);
  // A name that starts with a byte of 0x80 or more (kana) or a control byte is an entry that
  // stays; only a deleted entry's slot is free again.
  for (std::uint8_t first : {0x80, 0xB1, 0x01, 0x20}) {
    b.Poke(b.geometry().rootOffset + 5 * 32, first);
    Load(b);
    EXPECT_EQ(Add(File("NEW.TXT", 5)), AddStatus::DirectoryFull) << int(first);
  }
  b.Poke(b.geometry().rootOffset + 5 * 32, kEntryDeleted);
  Load(b);
  ASSERT_EQ(Add(File("NEW.TXT", 5)), AddStatus::Added);
  EXPECT_EQ(Root(5)[0], 'N');
}

TEST_F(AddFileTest, EmptyFileTakesNoClusterEvenOnAFullDisk) {
  ImageBuilder b;
  b.AddFile(kRoot, "FILL.BIN", test::Pattern(713 * 1024));
  Load(b);
  auto fatBefore = std::vector<std::uint8_t>(ws.image.Memory().begin() + 512,
                                             ws.image.Memory().begin() + 512 + 1536);
  ASSERT_EQ(Add(File("EMPTY.TXT", 0)), AddStatus::Added);
  EXPECT_EQ(RootEntry(1).firstCluster.Get(), 0);
  EXPECT_EQ(RootEntry(1).size.Get(), 0u);
  EXPECT_TRUE(std::equal(fatBefore.begin(), fatBefore.end(), ws.image.Memory().begin() + 512));
  EXPECT_EQ(Add(File("ONE.TXT", 1)), AddStatus::DiskFull);
}

TEST_F(AddFileTest, OneSectorClusters) {
  ImageBuilder b(test::GeometryLayout::Msx160());
  Load(b);
  ASSERT_EQ(Add(File("A.BIN", 600)), AddStatus::Added);
  EXPECT_EQ(ReadFatEntry(ws.image, 2), 3);
  EXPECT_EQ(ReadFatEntry(ws.image, 3), 0xFFF);
  EXPECT_EQ(ReadFatEntry(ws.image, 4), 0);
}

TEST_F(AddFileTest, ADirectoryOfTheSameNameIsNeverReplaced) {
  ImageBuilder b;
  b.AddDirectory(kRoot, "GAMES.BAS");
  Load(b);
  auto before = ws.image.Memory();
  EXPECT_EQ(Add(File("games.bas", 10)), AddStatus::NameIsDirectory);
  EXPECT_TRUE(ws.image.Memory() == before);
}

TEST_F(AddFileTest, RefusedWithoutImageAndAddedInASubdirectory) {
  const AddOutcome none = Add(File("A.TXT", 1));
  EXPECT_EQ(none, AddStatus::NoImage);
  EXPECT_EQ(none.message, msg::kNoImageSelected);
  ImageBuilder b;
  b.AddDirectory(kRoot, "SUB");
  Load(b);
  const auto entries = ws.Entries();
  ASSERT_EQ(entries.size(), 1u);
  ASSERT_EQ(ws.Enter(entries[0], entries[0].Caption()), EnterOutcome::Entered);
  // Adding below the root is no longer refused ("Only in Root Dir"): the file goes into the
  // shown subdirectory, not into the root.
  const AddOutcome sub = Add(File("A.TXT", 1));
  EXPECT_EQ(sub, AddStatus::Added);
  EXPECT_EQ(Read("A.TXT"), test::Pattern(1, 1));
  ws.Leave();
  ws.Refresh();
  EXPECT_FALSE(FindEntry(ws, "A.TXT"));
}

TEST(LowestFreeClusters, OnePassGivesTheLowestInOrder) {
  ImageBuilder b;
  for (std::uint16_t c = 2; c < 20; c += 2) b.SetFat(c, 0xFFF);
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImageBytes(b.Bytes(), "d.dsk");
  EXPECT_EQ(LowestFreeClusters(ws.image, 5), (std::vector<std::uint16_t>{3, 5, 7, 9, 11}));
  EXPECT_EQ(FreeClusterCount(ws.image), 713u - 9u);
  EXPECT_EQ(LowestFreeClusters(ws.image, 10000).size(), 713u - 9u);
}

class AddHostFileTest : public AddFileTest {
 protected:
  fs::path Host(const std::string& name, std::size_t size, std::uint32_t seed = 1) {
    fs::path p = tmp / name;
    test::WriteHostFile(p, test::Pattern(size, seed));
    return p;
  }
  test::TempDir tmp;
};

TEST_F(AddHostFileTest, TakesTimeAndReadOnlyFromTheHost) {
  Load(ImageBuilder());
  fs::path p = Host("Prog.Com", 3000);
  std::tm tm{};
  tm.tm_year = 2001 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 24;
  tm.tm_hour = 18;
  tm.tm_min = 30;
  tm.tm_sec = 59;
  tm.tm_isdst = -1;
  fs::last_write_time(p, std::chrono::file_clock::from_sys(
                             std::chrono::system_clock::from_time_t(std::mktime(&tm))));
  fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_EQ(AddHost(p, "Prog.Com"), AddStatus::Added);
  DirEntry e = RootEntry(0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e.name), 11), "PROG    COM");
  EXPECT_EQ(e.attribute, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(e.time.Get(), (18 << 11) | (30 << 5) | 29);
  EXPECT_EQ(e.date.Get(), ((2001 - 1980) << 9) | (12 << 5) | 24);
}

TEST_F(AddHostFileTest, LongNamesNeedANewNameAndOnlyAValidOneIsTaken) {
  Load(ImageBuilder());
  fs::path twelve = Host("ABCDEFGH.TXT", 10);
  fs::path thirteen = Host("ABCDEFGHI.TXT", 10);
  EXPECT_FALSE(NeedsEntryName(twelve));
  EXPECT_TRUE(NeedsEntryName(thirteen));
  ASSERT_EQ(AddHost(twelve, "ABCDEFGH.TXT"), AddStatus::Added);
  // A name that does not fit 8.3 is refused without a word, and nothing changes.
  auto before = ws.image.Memory();
  for (const char* bad : {"TOOLONGNAME.TXT", ".TXT", "A B.TXT", "ABCDEFGHI.TXT"}) {
    const AddOutcome o = AddHost(thirteen, bad);
    EXPECT_EQ(o, AddStatus::InvalidName) << bad;
    EXPECT_EQ(o.message, "") << bad;
  }
  EXPECT_TRUE(ws.image.Memory() == before);
  ASSERT_EQ(AddHost(thirteen, "short.txt"), AddStatus::Added);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Root(1)), 11), "SHORT   TXT");
}

TEST_F(AddHostFileTest, AwkwardHostNamesNeverMakeAnEntryThatLooksFree) {
  Load(ImageBuilder());
  // A leading dot would make a blank entry name; such names need a new one.
  fs::path dotted = Host(".profile", 10);
  EXPECT_TRUE(NeedsEntryName(dotted));
  EXPECT_EQ(AddHost(dotted, ".profile"), AddStatus::InvalidName);
  ASSERT_EQ(AddHost(dotted, "PROFILE"), AddStatus::Added);
  EXPECT_EQ(Root(0)[0], 'P');
  // Missing file and a folder: no new name is needed, "read ERROR!" comes before the name is
  // looked at, and nothing changes.
  auto before = ws.image.Memory();
  EXPECT_FALSE(NeedsEntryName(tmp / "missing-long-name.txt"));
  EXPECT_FALSE(NeedsEntryName(tmp.path()));
  for (const fs::path& p : {tmp / "missing-long-name.txt", tmp.path()}) {
    SCOPED_TRACE(p.string());
    const AddOutcome o = AddHost(p, p.filename().string());
    EXPECT_EQ(o, AddStatus::ReadError);
    EXPECT_EQ(o.message, msg::kHostReadError);
  }
  EXPECT_TRUE(ws.image.Memory() == before);
}

TEST_F(AddHostFileTest, SeveralFilesOneAfterAnotherAndTheSameNameAgain) {
  Load(ImageBuilder());
  ASSERT_EQ(AddHost(Host("A.TXT", 10, 1), "A.TXT"), AddStatus::Added);
  ASSERT_EQ(AddHost(Host("B.TXT", 2000, 2), "B.TXT"), AddStatus::Added);
  ASSERT_EQ(AddHost(Host("A.TXT", 30, 3), "A.TXT"), AddStatus::Added);
  // The second A.TXT replaced the first.
  ws.Refresh();
  const auto entries = ws.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].Caption(), "B.TXT");
  EXPECT_EQ(entries[0].size + entries[1].size, 2030);
  EXPECT_EQ(Read("A.TXT"), test::Pattern(30, 3));
  if (test::HaveWitnesses()) {
    test::WriteHostFile(tmp / "out.dsk", ws.image.Memory());
    test::ExpectWitnessesAgree(
        tmp / "out.dsk", {{"A.TXT", test::Pattern(30, 3)}, {"B.TXT", test::Pattern(2000, 2)}});
  }
}

}  // namespace
}  // namespace quarnel
