// Deleting, renaming, the volume name and the OEM signature.
#include <gtest/gtest.h>

#include <cstring>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/rename.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

class ChangeTest : public ::testing::Test {
 protected:
  void Load(const ImageBuilder& b) {
    ws.LoadImageBytes(b.Bytes(), "disk.dsk");
    ASSERT_TRUE(ws.HasImage());
    ui.messages.clear();
  }
  int Slot(const std::string& caption) const {
    for (const auto& e : ws.Entries())
      if (e.Caption() == caption) return e.slot;
    ADD_FAILURE() << "no entry " << caption;
    return -1;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& e : ws.Entries()) out.push_back(e.Caption());
    return out;
  }
  // The Delete command on `slots`: how many entries went; the messages it gave are in `said`.
  int Delete(const std::vector<int>& slots) {
    int deleted = 0;
    for (const DeleteOutcome& o : DeleteSelected(ws, slots)) {
      if (o == DeleteStatus::Deleted) ++deleted;
      if (!o.message.empty()) said.push_back(o.message);
    }
    return deleted;
  }
  // Renames the entry in slot `slot` of the shown directory, then lists it again.
  RenameOutcome Rename(int slot, std::string_view name) {
    auto e = ws.EntryAt(slot);
    if (!e) {
      ADD_FAILURE() << "no entry in slot " << slot;
      return RenameStatus::NoImage;
    }
    RenameOutcome o = RenameEntry(ws.image, ws.listing, *e, name);
    ws.Refresh();
    return o;
  }
  std::string Name11At(std::size_t off) const {
    return std::string(reinterpret_cast<const char*>(ws.image.Memory().data() + off), 11);
  }
  std::size_t RootOff(int slot) const { return ws.image.geometry.rootOffset + slot * 32; }
  bool FatCopiesEqual() const {
    const auto& g = ws.image.geometry;
    return std::memcmp(ws.image.Memory().data() + g.fatOffset,
                       ws.image.Memory().data() + g.fatOffset + g.FatBytes(), g.FatBytes()) == 0;
  }
  Workspace ws;
  test::ScriptedUi ui;
  std::vector<std::string> said;
};

TEST_F(ChangeTest, DeletingFreesTheChainAndKeepsTheOtherEntryBytes) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.BIN", test::Pattern(3000));
  b.AddFile(kRoot, "EMPTY.TXT", {});
  b.AddFile(kRoot, "C.BIN", test::Pattern(5000));
  b.AddFile(kRoot, "D.BIN", test::Pattern(10));
  Load(b);
  const std::int32_t freeBefore = FreeBytes(ws.image);
  auto fat = [&] {
    return std::vector<std::uint8_t>(ws.image.Memory().begin() + 512,
                                     ws.image.Memory().begin() + 2048);
  };
  // Size 0: only the entry changes.
  auto fatBefore = fat();
  EXPECT_EQ(Delete({Slot("EMPTY.TXT")}), 1);
  EXPECT_EQ(fat(), fatBefore);
  EXPECT_EQ(ws.image.Memory()[RootOff(1)], kEntryDeleted);
  EXPECT_EQ(Name11At(RootOff(1)).substr(1), "MPTY   TXT");
  // Three at once, in list order; the list is read again.
  EXPECT_EQ(Delete({Slot("A.BIN"), Slot("C.BIN"), Slot("D.BIN")}), 3);
  EXPECT_TRUE(ws.Entries().empty());
  EXPECT_EQ(FreeBytes(ws.image), freeBefore + (3 + 5 + 1) * 1024);
  EXPECT_TRUE(FatCopiesEqual());
  EXPECT_TRUE(ws.IsChanged());
}

TEST_F(ChangeTest, BrokenAndLoopingChainsEndTheWalkInsideTheDataArea) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"LOOP.BIN", 0, 10, 5000});
  b.SetFat(10, 11);
  b.SetFat(11, 12);
  b.SetFat(12, 10);  // back to the start
  b.AddEntry(kRoot, EntrySpec{"OUT.BIN", 0, 20, 5000});
  b.SetFat(20, 0x900);  // past the data area
  b.AddEntry(kRoot, EntrySpec{"BAD.BIN", 0, 30, 5000});
  b.SetFat(30, 31);
  b.SetFat(31, test::kFatBad);
  b.AddEntry(kRoot, EntrySpec{"FAR.BIN", 0, 0x900, 5000});  // first cluster outside
  Load(b);
  EXPECT_EQ(Delete({0, 1, 2, 3}), 4);
  for (std::uint16_t c : {10, 11, 12, 20, 30}) EXPECT_EQ(ReadFatEntry(ws.image, c), 0) << c;
  EXPECT_EQ(ReadFatEntry(ws.image, 31), test::kFatBad);  // a bad cluster stays marked bad
  EXPECT_EQ(ws.image.Memory()[512], 0xF9);               // the reserved entries are untouched
  EXPECT_EQ(ReadFatEntry(ws.image, 1), 0xFFF);
}

TEST_F(ChangeTest, EmptyDirectoriesGoWithTheirClusters) {
  ImageBuilder b;
  std::uint16_t empty = b.AddDirectory(kRoot, "EMPTY", 2);
  b.PutRawEntry(empty, 2, {0xE5, 'X'});  // a deleted entry does not count
  std::uint16_t full = b.AddDirectory(kRoot, "FULL");
  b.PutRawEntry(full, 3,
                {'L', 'I', 'V', 'E', ' ', ' ', ' ', ' ', 'T', 'X', 'T'});  // after a 0x00 slot
  Load(b);
  const std::int32_t freeBefore = FreeBytes(ws.image);
  EXPECT_EQ(Delete({Slot("EMPTY.   ")}), 1);
  EXPECT_EQ(FreeBytes(ws.image), freeBefore + 2 * 1024);
  EXPECT_EQ(ReadFatEntry(ws.image, empty), 0);
  EXPECT_EQ(Delete({Slot("FULL.   ")}), 0);
  EXPECT_EQ(said, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
  EXPECT_EQ(ws.Entries().size(), 1u);
  EXPECT_NE(ReadFatEntry(ws.image, full), 0);
}

TEST_F(ChangeTest, ADirectoryWhoseTwoEntriesAreFilesIsNotEmpty) {
  // Two live entries, but no "." and "..": deleting it would lose the two files.
  ImageBuilder b;
  std::uint16_t odd = b.AddDirectory(kRoot, "ODD");
  b.PutRawEntry(odd, 0, {'K', 'E', 'E', 'P', '1', ' ', ' ', ' ', 'T', 'X', 'T'});
  b.PutRawEntry(odd, 1, {'K', 'E', 'E', 'P', '2', ' ', ' ', ' ', 'T', 'X', 'T'});
  Load(b);
  EXPECT_EQ(Delete({Slot("ODD.   ")}), 0);
  EXPECT_EQ(said, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
  EXPECT_NE(ReadFatEntry(ws.image, odd), 0);
}

TEST_F(ChangeTest, AnEmptyDirectoryWhoseChainLoopsIsNotEmpty) {
  // Its one cluster leads back to itself: walked as a directory, it comes again and again.
  ImageBuilder b;
  std::uint16_t loop = b.AddDirectory(kRoot, "LOOP");
  b.SetFat(loop, loop);
  Load(b);
  EXPECT_EQ(Delete({Slot("LOOP.   ")}), 0);
  EXPECT_EQ(said, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
  EXPECT_EQ(ReadFatEntry(ws.image, loop), loop);
}

TEST_F(ChangeTest, ChangesInASubdirectoryLandInItsOwnClusters) {
  ImageBuilder b;
  b.AddFile(kRoot, "ROOT0.TXT", {1});
  b.AddFile(kRoot, "ROOT1.TXT", {2});
  b.AddFile(kRoot, "ROOT2.TXT", {3});
  std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "INNER.BIN", test::Pattern(2000));  // slot 2 of SUB
  b.AddFile(sub, "KEEP.BIN", test::Pattern(10));
  Load(b);
  const auto rootBefore = std::vector<std::uint8_t>(ws.image.Memory().begin() + RootOff(0),
                                                    ws.image.Memory().begin() + RootOff(8));
  ASSERT_EQ(ws.Enter(*ws.EntryAt(Slot("SUB.   ")), "SUB.   "), EnterOutcome::Entered);
  EXPECT_EQ(Rename(Slot("KEEP.BIN"), "kept.dat"), RenameStatus::Renamed);
  EXPECT_EQ(Slot("KEPT.DAT"), 3);
  const std::uint16_t inner = ws.listing.table[2].record.firstCluster;
  EXPECT_EQ(Delete({Slot("INNER.BIN")}), 1);
  EXPECT_EQ(ReadFatEntry(ws.image, inner), 0);
  // The dot entries hold the directory together.
  EXPECT_EQ(Delete({Slot("."), Slot("..")}), 0);
  EXPECT_EQ(Rename(Slot(".."), "UP"), RenameStatus::DotEntry);
  EXPECT_EQ(said, std::vector<std::string>(2, std::string(msg::kDotEntryKept)));
  // The root is as it was; the subdirectory lists the change.
  EXPECT_TRUE(
      std::equal(rootBefore.begin(), rootBefore.end(), ws.image.Memory().begin() + RootOff(0)));
  EXPECT_EQ(Captions(), (std::vector<std::string>{".", "..", "KEPT.DAT"}));
  if (test::HaveWitnesses()) {
    test::TempDir tmp;
    test::WriteHostFile(tmp / "d.dsk", ws.image.Memory());
    EXPECT_EQ(test::FsckFindings(tmp / "d.dsk"), std::vector<std::string>{});
    EXPECT_EQ(
        test::MdirNames(tmp / "d.dsk"),
        (std::set<std::string>{"ROOT0.TXT", "ROOT1.TXT", "ROOT2.TXT", "SUB/", "SUB/KEPT.DAT"}));
  }
}

TEST_F(ChangeTest, RenameKeepsAttributesAndRefusesBadNames) {
  ImageBuilder b;
  b.AddDirectory(kRoot, "DIR");
  b.AddFile(kRoot, "HIDDEN.TXT", {1}, kAttrHidden);
  b.AddFile(kRoot, "OTHER.TXT", {2});
  Load(b);
  EXPECT_EQ(Rename(0, "a.b"), RenameStatus::Renamed);
  EXPECT_EQ(Name11At(RootOff(0)), "A       B  ");
  EXPECT_EQ(ws.image.Memory()[RootOff(0) + 11], kAttrDirectory);
  EXPECT_EQ(ws.EntryAt(0)->Caption(), "A.B  ");
  EXPECT_TRUE(ws.EntryAt(0)->IsDirectory());
  EXPECT_EQ(Rename(1, "ABCDEFGH.XYZ"), RenameStatus::Renamed);
  EXPECT_EQ(ws.image.Memory()[RootOff(1) + 11], kAttrHidden);
  auto before = ws.image.Memory();
  EXPECT_EQ(Rename(1, "ABCDEFGHI"), RenameStatus::Invalid);
  EXPECT_EQ(Rename(1, "other.txt"), RenameStatus::Duplicate);
  EXPECT_FALSE(ws.EntryAt(5));  // no entry there to rename
  EXPECT_TRUE(ws.image.Memory() == before);
  EXPECT_EQ(ws.EntryAt(1)->Caption(), "ABCDEFGH.XYZ");
}

TEST_F(ChangeTest, VolumeNameEdits) {
  FixedClock clock({2024, 2, 29, 17, 45, 3});
  ImageBuilder b;
  b.AddVolume("OLDNAME");
  b.AddFile(kRoot, "A.TXT", {1});
  Load(b);
  ASSERT_EQ(VolumeNameOf(ws.image), "OLDNAME");
  EXPECT_EQ(SetVolumeName(ws.image, "New disk", clock), VolumeStatus::Written);
  EXPECT_EQ(Name11At(RootOff(0)), "New disk   ");
  EXPECT_EQ(VolumeNameOf(ws.image), "New disk");
  EXPECT_EQ(SetVolumeName(ws.image, "New disk", clock), VolumeStatus::Unchanged);
  // The stored name typed again after a fresh load, also as the list shows it (with the blanks
  // of the extension field).
  ws.LoadImageBytes(ws.image.Memory(), "disk.dsk");
  const auto loaded = ws.image.Memory();
  EXPECT_EQ(SetVolumeName(ws.image, "New disk", clock), VolumeStatus::Unchanged);
  EXPECT_EQ(SetVolumeName(ws.image, "New disk   ", clock), VolumeStatus::Unchanged);
  EXPECT_TRUE(ws.image.Memory() == loaded);
  // A leading blank is refused; clearing deletes the volume entry (11 blanks would be no name).
  const VolumeOutcome blank = SetVolumeName(ws.image, " X", clock);
  EXPECT_EQ(blank, VolumeStatus::LeadingBlank);
  EXPECT_EQ(blank.message, msg::kVolumeLeadingBlank);
  EXPECT_EQ(VolumeNameOf(ws.image), "New disk");
  EXPECT_EQ(SetVolumeName(ws.image, "", clock), VolumeStatus::Cleared);
  EXPECT_EQ(ws.image.Memory()[RootOff(0)], kEntryDeleted);
  EXPECT_EQ(VolumeNameOf(ws.image), "");
  EXPECT_EQ(FindFreeRootSlot(ws.image), 0);
  EXPECT_EQ(SetVolumeName(ws.image, "", clock), VolumeStatus::Unchanged);
}

TEST_F(ChangeTest, NewVolumeEntryIsDatedTodayInTheFirstFreeSlot) {
  FixedClock clock({2024, 2, 29, 17, 45, 3});
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", {1});
  // A PC long-name piece carries bit 0x08 but is no volume entry.
  std::array<std::uint8_t, 32> lfn{};
  lfn[0] = 0x41;
  lfn[11] = 0x0F;
  b.PutRawEntry(kRoot, 1, lfn);
  Load(b);
  EXPECT_EQ(SetVolumeName(ws.image, "MSXDISK", clock), VolumeStatus::Created);
  DirEntry e = *DirEntryAt(ws.image.View(), RootOff(2));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e.name), 11), "MSXDISK    ");
  EXPECT_EQ(e.attribute, kAttrVolume);
  EXPECT_EQ(e.time.Get(), 0);
  EXPECT_EQ(e.date.Get(), ((2024 - 1980) << 9) | (2 << 5) | 29);
  EXPECT_EQ(e.firstCluster.Get(), 0);
  EXPECT_EQ(e.size.Get(), 0u);
  EXPECT_EQ(ws.image.Memory()[RootOff(1) + 11], 0x0F);
  EXPECT_EQ(VolumeNameOf(ws.image), "MSXDISK");
  // A full root: "Directory full", the field cleared, the text remembered.
  ImageBuilder full(test::GeometryLayout::Msx160());
  for (int i = 0; i < 64; ++i) full.AddEntry(kRoot, EntrySpec{"F" + std::to_string(i) + ".TXT"});
  Load(full);
  const auto before = ws.image.Memory();
  const VolumeOutcome noSlot = SetVolumeName(ws.image, "TYPED", clock);
  EXPECT_EQ(noSlot, VolumeStatus::DirectoryFull);
  EXPECT_EQ(noSlot.message, msg::kDirectoryFull);
  EXPECT_TRUE(ws.image.Memory() == before);
  EXPECT_EQ(VolumeNameOf(ws.image), "");
}

TEST_F(ChangeTest, OemSignatureIsPaddedWithZeros) {
  Load(ImageBuilder());
  EXPECT_EQ(OemSignatureOf(ws.image), "QRNLTEST");
  EXPECT_TRUE(SetOemSignature(ws.image, "ABC"));
  EXPECT_EQ(
      std::vector<std::uint8_t>(ws.image.Memory().begin() + 3, ws.image.Memory().begin() + 11),
      (std::vector<std::uint8_t>{'A', 'B', 'C', 0, 0, 0, 0, 0}));
  EXPECT_EQ(OemSignatureOf(ws.image), std::string("ABC\0\0\0\0\0", 8));
  EXPECT_TRUE(SetOemSignature(ws.image, "ABC"));  // an unchanged text is written too
  EXPECT_TRUE(SetOemSignature(ws.image, "LONGER THAN 8"));
  EXPECT_EQ(OemSignatureOf(ws.image), "LONGER T");
  EXPECT_TRUE(SetOemSignature(ws.image, ""));
  EXPECT_EQ(std::count(ws.image.Memory().begin() + 3, ws.image.Memory().begin() + 11, 0), 8);
  Workspace none;
  EXPECT_FALSE(SetOemSignature(none.image, "X"));
  EXPECT_EQ(OemSignatureOf(none.image), "");
}

}  // namespace
}  // namespace quarnel
