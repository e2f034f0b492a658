// Adding files: MSX names, the free-slot rule, allocation, replacement decided before deleting,
// the rename question and the drop of several files.
#include "core/add_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "change_witness.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/read_file.h"
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
    ws.LoadImageBytes(b.Bytes(), "disk.dsk", ui);
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
    return ws.image.bytes.data() + ws.image.geometry.rootOffset + slot * 32;
  }
  DirEntry RootEntry(int slot) const {
    return *DirEntryAt(ws.image.View(), ws.image.geometry.rootOffset + slot * 32);
  }
  std::vector<std::uint8_t> Read(const std::string& caption) {
    ReadDirectory(ws, ui);
    FileRead r = ReadEntryByCaption(ws, caption, ui);
    EXPECT_TRUE(r.ok()) << caption;
    return r.bytes;
  }
  bool FatCopiesEqual() const {
    const auto& g = ws.image.geometry;
    return std::memcmp(ws.image.bytes.data() + g.fatOffset,
                       ws.image.bytes.data() + g.fatOffset + g.FatBytes(), g.FatBytes()) == 0;
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
  ASSERT_EQ(AddFileData(ws, f, ui), AddStatus::Added);
  EXPECT_TRUE(ui.messages.empty());
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
  EXPECT_TRUE(ws.image.changed);
  EXPECT_EQ(Read("GAME.BAS"), f.bytes);
  // The tail of the last cluster is cleared.
  auto off = ClusterOffset(ws.image.geometry, 7) + (2500 - 2048);
  EXPECT_EQ(std::count(ws.image.bytes.begin() + off, ws.image.bytes.begin() + off + 1024 - 452, 0),
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
  EXPECT_EQ(AddFileData(ws, f, ui), AddStatus::DiskFull);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{std::string(msg::kDiskFull)}));
  EXPECT_EQ(Root(0)[0], 0);  // nothing written
}

TEST_F(AddFileTest, ReplacementReusesTheFreedClusters) {
  ImageBuilder b;
  b.AddFile(kRoot, "GAME.BAS", test::Pattern(3000, 2));  // clusters 2-4
  b.AddFile(kRoot, "OTHER.TXT", test::Pattern(10, 3));   // cluster 5
  Load(b);
  const std::int32_t freeBefore = FreeBytes(ws.image);
  NewFile f = File("game.bas", 2000, 9);
  ASSERT_EQ(AddFileData(ws, f, ui), AddStatus::Added);
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
  ASSERT_EQ(AddFileData(ws, File("readme", 20, 3), ui), AddStatus::Added);
  ASSERT_EQ(AddFileData(ws, File("game.ba", 30, 4), ui), AddStatus::Added);
  ReadDirectory(ws, ui);
  ASSERT_EQ(ws.fileList.rows.size(), 2u);  // one entry per name, as MSX-DOS needs it
  EXPECT_EQ(ws.fileList.rows[0].size, 20);
  EXPECT_EQ(ws.fileList.rows[1].size, 30);
}

TEST_F(AddFileTest, DiskFullKeepsTheOldFile) {
  ImageBuilder b;
  b.AddFile(kRoot, "GAME.BAS", test::Pattern(2048, 2));  // 2 clusters
  b.AddFile(kRoot, "FILL.BIN", test::Pattern(710 * 1024, 3));
  Load(b);  // 1 cluster free; the replacement would free 2: 3 in all
  auto before = ws.image.bytes;
  EXPECT_EQ(AddFileData(ws, File("GAME.BAS", 3 * 1024 + 1, 5), ui), AddStatus::DiskFull);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDiskFull)});
  EXPECT_TRUE(ws.image.bytes == before);
  EXPECT_TRUE(ws.image.changed);  // as the command always marks it
  // Exactly as much as there will be: added.
  ui.messages.clear();
  NewFile fits = File("GAME.BAS", 3 * 1024, 6);
  ASSERT_EQ(AddFileData(ws, fits, ui), AddStatus::Added);
  EXPECT_EQ(FreeBytes(ws.image), 0);
  EXPECT_EQ(Read("GAME.BAS"), fits.bytes);
}

TEST_F(AddFileTest, DirectoryFullKeepsTheOldFileButAReplacedSlotIsReused) {
  test::GeometryLayout g = test::GeometryLayout::Msx160();
  ImageBuilder b(g);
  for (int i = 0; i < 64; ++i)
    b.AddFile(kRoot, "F" + std::to_string(i) + ".TXT", {static_cast<std::uint8_t>(i)});
  Load(b);
  auto before = ws.image.bytes;
  EXPECT_EQ(AddFileData(ws, File("NEW.TXT", 5), ui), AddStatus::DirectoryFull);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDirectoryFull)});
  EXPECT_TRUE(ws.image.bytes == before);
  // Replacing in a full directory: the replaced entry's slot takes the new file.
  ui.messages.clear();
  NewFile f = File("F10.TXT", 700, 4);
  ASSERT_EQ(AddFileData(ws, f, ui), AddStatus::Added);
  EXPECT_EQ(RootEntry(10).size.Get(), 700u);
  EXPECT_EQ(Read("F10.TXT"), f.bytes);
  // A name that starts with a byte of 0x80 or more (kana) or a control byte is an entry that
  // stays; only a deleted entry's slot is free again.
  for (std::uint8_t first : {0x80, 0xB1, 0x01, 0x20}) {
    b.Poke(b.geometry().rootOffset + 5 * 32, first);
    Load(b);
    EXPECT_EQ(AddFileData(ws, File("NEW.TXT", 5), ui), AddStatus::DirectoryFull) << int(first);
  }
  b.Poke(b.geometry().rootOffset + 5 * 32, kEntryDeleted);
  Load(b);
  ASSERT_EQ(AddFileData(ws, File("NEW.TXT", 5), ui), AddStatus::Added);
  EXPECT_EQ(Root(5)[0], 'N');
}

TEST_F(AddFileTest, EmptyFileTakesNoClusterEvenOnAFullDisk) {
  ImageBuilder b;
  b.AddFile(kRoot, "FILL.BIN", test::Pattern(713 * 1024));
  Load(b);
  auto fatBefore =
      std::vector<std::uint8_t>(ws.image.bytes.begin() + 512, ws.image.bytes.begin() + 512 + 1536);
  ASSERT_EQ(AddFileData(ws, File("EMPTY.TXT", 0), ui), AddStatus::Added);
  EXPECT_EQ(RootEntry(1).firstCluster.Get(), 0);
  EXPECT_EQ(RootEntry(1).size.Get(), 0u);
  EXPECT_TRUE(std::equal(fatBefore.begin(), fatBefore.end(), ws.image.bytes.begin() + 512));
  EXPECT_EQ(AddFileData(ws, File("ONE.TXT", 1), ui), AddStatus::DiskFull);
}

TEST_F(AddFileTest, OneSectorClusters) {
  ImageBuilder b(test::GeometryLayout::Msx160());
  Load(b);
  ASSERT_EQ(AddFileData(ws, File("A.BIN", 600), ui), AddStatus::Added);
  EXPECT_EQ(ReadFatEntry(ws.image, 2), 3);
  EXPECT_EQ(ReadFatEntry(ws.image, 3), 0xFFF);
  EXPECT_EQ(ReadFatEntry(ws.image, 4), 0);
}

TEST_F(AddFileTest, ADirectoryOfTheSameNameIsNeverReplaced) {
  ImageBuilder b;
  b.AddDirectory(kRoot, "GAMES.BAS");
  Load(b);
  auto before = ws.image.bytes;
  EXPECT_EQ(AddFileData(ws, File("games.bas", 10), ui), AddStatus::NameIsDirectory);
  EXPECT_TRUE(ws.image.bytes == before);
}

TEST_F(AddFileTest, RefusedWithoutImageAndOutsideTheRoot) {
  EXPECT_EQ(AddFileData(ws, File("A.TXT", 1), ui), AddStatus::NoImage);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kNoImageSelected)});
  ImageBuilder b;
  b.AddDirectory(kRoot, "SUB");
  Load(b);
  ASSERT_EQ(ws.fileList.rows.size(), 1u);
  ASSERT_EQ(EnterDirectory(ws, ws.fileList.rows[0], ui), EnterOutcome::Entered);
  auto before = ws.image.bytes;
  EXPECT_EQ(AddFileData(ws, File("A.TXT", 1), ui), AddStatus::NotInRoot);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kOnlyInRootDir)});
  EXPECT_TRUE(ws.image.bytes == before);
}

TEST(LowestFreeClusters, OnePassGivesTheLowestInOrder) {
  ImageBuilder b;
  for (std::uint16_t c = 2; c < 20; c += 2) b.SetFat(c, 0xFFF);
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImageBytes(b.Bytes(), "d.dsk", ui);
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
  ASSERT_EQ(AddFile(ws, p, "Prog.Com", ui), AddStatus::Added);
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
  ASSERT_EQ(AddFile(ws, twelve, "ABCDEFGH.TXT", ui), AddStatus::Added);
  // A name that does not fit 8.3 is refused without a word, and nothing changes.
  auto before = ws.image.bytes;
  for (const char* bad : {"TOOLONGNAME.TXT", ".TXT", "A B.TXT", "ABCDEFGHI.TXT"})
    EXPECT_EQ(AddFile(ws, thirteen, bad, ui), AddStatus::InvalidName) << bad;
  EXPECT_TRUE(ws.image.bytes == before);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(AddFile(ws, thirteen, "short.txt", ui), AddStatus::Added);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Root(1)), 11), "SHORT   TXT");
}

TEST_F(AddHostFileTest, AwkwardHostNamesNeverMakeAnEntryThatLooksFree) {
  Load(ImageBuilder());
  // A leading dot would make a blank entry name; such names need a new one.
  fs::path dotted = Host(".profile", 10);
  EXPECT_TRUE(NeedsEntryName(dotted));
  EXPECT_EQ(AddFile(ws, dotted, ".profile", ui), AddStatus::InvalidName);
  ASSERT_EQ(AddFile(ws, dotted, "PROFILE", ui), AddStatus::Added);
  EXPECT_EQ(Root(0)[0], 'P');
  // Missing file and a folder: no new name is needed, "read ERROR!" comes before the name is
  // looked at, and nothing changes.
  auto before = ws.image.bytes;
  EXPECT_FALSE(NeedsEntryName(tmp / "missing-long-name.txt"));
  EXPECT_FALSE(NeedsEntryName(tmp.path()));
  EXPECT_EQ(AddFile(ws, tmp / "missing-long-name.txt", "missing-long-name.txt", ui),
            AddStatus::ReadError);
  EXPECT_EQ(AddFile(ws, tmp.path(), tmp.path().filename().string(), ui), AddStatus::ReadError);
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, std::string(msg::kHostReadError)));
  EXPECT_TRUE(ws.image.bytes == before);
}

TEST_F(AddHostFileTest, DropAddsEachFileWithStatusTexts) {
  Load(ImageBuilder());
  ws.SetStatus("before", ui);
  ui.statuses.clear();
  std::vector<DroppedFile> files = {{Host("A.TXT", 10, 1), "A.TXT"},
                                    {Host("B.TXT", 2000, 2), "B.TXT"},
                                    {Host("A.TXT", 30, 3), "A.TXT"}};
  EXPECT_EQ(DropFiles(ws, files, ui), DropOutcome::Added);
  ASSERT_GE(ui.statuses.size(), 4u);
  EXPECT_EQ(ui.statuses[0], "Adding file 0 of 3");
  EXPECT_EQ(ui.statuses[1], "Adding file 1 of 3");
  EXPECT_EQ(ui.statuses[2], "Adding file 2 of 3");
  EXPECT_EQ(ui.statuses[3], "before");
  // The list was read again; the second A.TXT replaced the first.
  ASSERT_EQ(ws.fileList.rows.size(), 2u);
  EXPECT_EQ(ws.fileList.rows[1].caption, "B.TXT");
  EXPECT_EQ(ws.fileList.rows[0].size + ws.fileList.rows[1].size, 2030);
  EXPECT_EQ(DropFiles(ws, {{tmp / "x.dsk", "X.DSK"}}, ui), DropOutcome::OpenImage);
  EXPECT_EQ(DropFiles(ws, {{tmp / "x.cas", "X.CAS"}}, ui), DropOutcome::OpenCassette);
  if (test::HaveWitnesses()) {
    test::WriteHostFile(tmp / "out.dsk", ws.image.bytes);
    test::ExpectWitnessesAgree(
        tmp / "out.dsk", {{"A.TXT", test::Pattern(30, 3)}, {"B.TXT", test::Pattern(2000, 2)}});
  }
}

TEST_F(AddHostFileTest, ADropSkipsFilesWhoseRenameWasCancelled) {
  Load(ImageBuilder());
  ui.statuses.clear();
  std::vector<DroppedFile> files = {{Host("a-long-name.txt", 10, 1), std::nullopt},
                                    {Host("B.TXT", 20, 2), "B.TXT"},
                                    {Host("c-long-name.txt", 30, 3), "C.TXT"}};
  EXPECT_EQ(DropFiles(ws, files, ui), DropOutcome::SomeFailed);
  ASSERT_EQ(ws.fileList.rows.size(), 2u);
  EXPECT_EQ(ws.fileList.rows[0].caption, "B.TXT");
  EXPECT_EQ(ws.fileList.rows[1].caption, "C.TXT");
  EXPECT_EQ(ui.statuses.at(0), "Adding file 0 of 3");  // the skipped file still counts
  // One image or tape is opened, not added; the extension is cut to four characters.
  EXPECT_EQ(DropKindOf({tmp / "x.dskx"}), DropOutcome::OpenImage);
  EXPECT_EQ(DropKindOf({tmp / "x.dsk", tmp / "y.dsk"}), DropOutcome::Added);
}

}  // namespace
}  // namespace quarnel
