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
    ws.LoadImageBytes(b.Bytes(), "disk.dsk", ui);
    ASSERT_TRUE(ws.HasImage());
    ui.messages.clear();
  }
  const FileRow& Row(const std::string& caption) {
    for (const auto& r : ws.fileList.rows)
      if (r.caption == caption) return r;
    ADD_FAILURE() << "no row " << caption;
    static FileRow none;
    return none;
  }
  std::string Name11At(std::size_t off) const {
    return std::string(reinterpret_cast<const char*>(ws.image.bytes.data() + off), 11);
  }
  std::size_t RootOff(int slot) const { return ws.image.geometry.rootOffset + slot * 32; }
  bool FatCopiesEqual() const {
    const auto& g = ws.image.geometry;
    return std::memcmp(ws.image.bytes.data() + g.fatOffset,
                       ws.image.bytes.data() + g.fatOffset + g.FatBytes(), g.FatBytes()) == 0;
  }
  Workspace ws;
  test::ScriptedUi ui;
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
    return std::vector<std::uint8_t>(ws.image.bytes.begin() + 512, ws.image.bytes.begin() + 2048);
  };
  // Size 0: only the entry changes.
  auto fatBefore = fat();
  EXPECT_EQ(DeleteSelected(ws, {Row("EMPTY.TXT").slot}, ui), 1);
  EXPECT_EQ(fat(), fatBefore);
  EXPECT_EQ(ws.image.bytes[RootOff(1)], kEntryDeleted);
  EXPECT_EQ(Name11At(RootOff(1)).substr(1), "MPTY   TXT");
  // Three at once, in list order; the list is read again.
  EXPECT_EQ(DeleteSelected(ws, {Row("A.BIN").slot, Row("C.BIN").slot, Row("D.BIN").slot}, ui), 3);
  EXPECT_TRUE(ws.fileList.rows.empty());
  EXPECT_EQ(FreeBytes(ws.image), freeBefore + (3 + 5 + 1) * 1024);
  EXPECT_TRUE(FatCopiesEqual());
  EXPECT_TRUE(ws.image.changed);
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
  b.SetFat(31, kFatBad);
  b.AddEntry(kRoot, EntrySpec{"FAR.BIN", 0, 0x900, 5000});  // first cluster outside
  Load(b);
  EXPECT_EQ(DeleteSelected(ws, {0, 1, 2, 3}, ui), 4);
  for (std::uint16_t c : {10, 11, 12, 20, 30}) EXPECT_EQ(ReadFatEntry(ws.image, c), 0) << c;
  EXPECT_EQ(ReadFatEntry(ws.image, 31), kFatBad);  // a bad cluster stays marked bad
  EXPECT_EQ(ws.image.bytes[512], 0xF9);            // the reserved entries are untouched
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
  EXPECT_EQ(DeleteSelected(ws, {Row("EMPTY.   ").slot}, ui), 1);
  EXPECT_EQ(FreeBytes(ws.image), freeBefore + 2 * 1024);
  EXPECT_EQ(ReadFatEntry(ws.image, empty), 0);
  EXPECT_EQ(DeleteSelected(ws, {Row("FULL.   ").slot}, ui), 0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
  EXPECT_EQ(ws.fileList.rows.size(), 1u);
  EXPECT_NE(ReadFatEntry(ws.image, full), 0);
}

TEST_F(ChangeTest, ADirectoryWhoseTwoEntriesAreFilesIsNotEmpty) {
  // Two live entries, but no "." and "..": deleting it would lose the two files.
  ImageBuilder b;
  std::uint16_t odd = b.AddDirectory(kRoot, "ODD");
  b.PutRawEntry(odd, 0, {'K', 'E', 'E', 'P', '1', ' ', ' ', ' ', 'T', 'X', 'T'});
  b.PutRawEntry(odd, 1, {'K', 'E', 'E', 'P', '2', ' ', ' ', ' ', 'T', 'X', 'T'});
  Load(b);
  EXPECT_EQ(DeleteSelected(ws, {Row("ODD.   ").slot}, ui), 0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
  EXPECT_NE(ReadFatEntry(ws.image, odd), 0);
}

TEST_F(ChangeTest, AnEmptyDirectoryWhoseChainLoopsIsNotEmpty) {
  // Its one cluster leads back to itself: walked as a directory, it comes again and again.
  ImageBuilder b;
  std::uint16_t loop = b.AddDirectory(kRoot, "LOOP");
  b.SetFat(loop, loop);
  Load(b);
  EXPECT_EQ(DeleteSelected(ws, {Row("LOOP.   ").slot}, ui), 0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDirectoryNotEmpty)});
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
  const auto rootBefore = std::vector<std::uint8_t>(ws.image.bytes.begin() + RootOff(0),
                                                    ws.image.bytes.begin() + RootOff(8));
  ASSERT_EQ(EnterDirectory(ws, Row("SUB.   "), ui), EnterOutcome::Entered);
  EXPECT_EQ(RenameEntry(ws, Row("KEEP.BIN").slot, "kept.dat"), RenameStatus::Renamed);
  EXPECT_EQ(Row("kept.dat").slot, 3);
  const std::uint16_t inner = ws.listing[2].firstCluster;
  EXPECT_EQ(DeleteSelected(ws, {Row("INNER.BIN").slot}, ui), 1);
  EXPECT_EQ(ReadFatEntry(ws.image, inner), 0);
  // The dot entries hold the directory together.
  EXPECT_EQ(DeleteSelected(ws, {Row(".").slot, Row("..").slot}, ui), 0);
  EXPECT_EQ(RenameEntry(ws, Row("..").slot, "UP"), RenameStatus::DotEntry);
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, std::string(msg::kDotEntryKept)));
  // The root is as it was; the subdirectory lists the change.
  EXPECT_TRUE(
      std::equal(rootBefore.begin(), rootBefore.end(), ws.image.bytes.begin() + RootOff(0)));
  std::vector<std::string> captions;
  for (const auto& r : ws.fileList.rows) captions.push_back(r.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{".", "..", "KEPT.DAT"}));
  if (test::HaveWitnesses()) {
    test::TempDir tmp;
    test::WriteHostFile(tmp / "d.dsk", ws.image.bytes);
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
  EXPECT_EQ(RenameEntry(ws, 0, "a.b"), RenameStatus::Renamed);
  EXPECT_EQ(Name11At(RootOff(0)), "A       B  ");
  EXPECT_EQ(ws.image.bytes[RootOff(0) + 11], kAttrDirectory);
  EXPECT_EQ(ws.fileList.rows[0].caption, "a.b");  // as typed
  EXPECT_EQ(RenameEntry(ws, 1, "ABCDEFGH.XYZ"), RenameStatus::Renamed);
  EXPECT_EQ(ws.image.bytes[RootOff(1) + 11], kAttrHidden);
  auto before = ws.image.bytes;
  EXPECT_EQ(RenameEntry(ws, 1, "ABCDEFGHI"), RenameStatus::Invalid);
  EXPECT_EQ(RenameEntry(ws, 1, "other.txt"), RenameStatus::Duplicate);
  EXPECT_EQ(RenameEntry(ws, 5, "X.TXT"), RenameStatus::NoEntry);
  EXPECT_TRUE(ws.image.bytes == before);
  EXPECT_EQ(ws.fileList.rows[1].caption, "ABCDEFGH.XYZ");
}

TEST_F(ChangeTest, VolumeNameEdits) {
  FixedClock clock({2024, 2, 29, 17, 45, 3});
  ImageBuilder b;
  b.AddVolume("OLDNAME");
  b.AddFile(kRoot, "A.TXT", {1});
  Load(b);
  ASSERT_FALSE(ws.listedVolume.empty());
  EXPECT_EQ(SetVolumeName(ws, "New disk", ui, clock), VolumeStatus::Written);
  EXPECT_EQ(Name11At(RootOff(0)), "New disk   ");
  EXPECT_EQ(VolumeNameOf(ws), "New disk");
  EXPECT_EQ(SetVolumeName(ws, "New disk", ui, clock), VolumeStatus::Unchanged);
  // The stored name typed again after a fresh load (the listed caption has trailing blanks).
  ws.image.changed = false;
  ws.LoadImageBytes(ws.image.bytes, "disk.dsk", ui);
  EXPECT_EQ(SetVolumeName(ws, "New disk", ui, clock), VolumeStatus::Unchanged);
  EXPECT_FALSE(ws.image.changed);
  // A leading blank is refused; clearing deletes the volume entry (11 blanks would be no name).
  EXPECT_EQ(SetVolumeName(ws, " X", ui, clock), VolumeStatus::LeadingBlank);
  EXPECT_EQ(VolumeNameOf(ws), "New disk");
  EXPECT_EQ(SetVolumeName(ws, "", ui, clock), VolumeStatus::Cleared);
  EXPECT_EQ(ws.image.bytes[RootOff(0)], kEntryDeleted);
  EXPECT_EQ(VolumeNameOf(ws), "");
  EXPECT_EQ(FindFreeRootSlot(ws.image), 0);
  EXPECT_EQ(SetVolumeName(ws, "", ui, clock), VolumeStatus::Unchanged);
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
  EXPECT_EQ(SetVolumeName(ws, "MSXDISK", ui, clock), VolumeStatus::Created);
  DirEntry e = *DirEntryAt(ws.image.View(), RootOff(2));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e.name), 11), "MSXDISK    ");
  EXPECT_EQ(e.attribute, kAttrVolume);
  EXPECT_EQ(e.time.Get(), 0);
  EXPECT_EQ(e.date.Get(), ((2024 - 1980) << 9) | (2 << 5) | 29);
  EXPECT_EQ(e.firstCluster.Get(), 0);
  EXPECT_EQ(e.size.Get(), 0u);
  EXPECT_EQ(ws.image.bytes[RootOff(1) + 11], 0x0F);
  EXPECT_EQ(ws.volumeField.substr(0, 7), "MSXDISK");
  // A full root: "Directory full", the field cleared, the text remembered.
  ImageBuilder full(test::GeometryLayout::Msx160());
  for (int i = 0; i < 64; ++i) full.AddEntry(kRoot, EntrySpec{"F" + std::to_string(i) + ".TXT"});
  Load(full);
  ws.volumeField = "TYPED";
  EXPECT_EQ(SetVolumeName(ws, "TYPED", ui, clock), VolumeStatus::DirectoryFull);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kDirectoryFull)});
  EXPECT_EQ(ws.volumeField, "");
  EXPECT_EQ(ws.listedVolume, "TYPED");
}

TEST_F(ChangeTest, OemSignatureIsPaddedWithZeros) {
  Load(ImageBuilder());
  ws.image.changed = false;
  EXPECT_TRUE(SetOemSignature(ws, "ABC"));
  EXPECT_EQ(std::vector<std::uint8_t>(ws.image.bytes.begin() + 3, ws.image.bytes.begin() + 11),
            (std::vector<std::uint8_t>{'A', 'B', 'C', 0, 0, 0, 0, 0}));
  EXPECT_TRUE(ws.image.changed);
  ws.image.changed = false;
  EXPECT_TRUE(SetOemSignature(ws, "ABC"));  // unchanged text still marks the image
  EXPECT_TRUE(ws.image.changed);
  EXPECT_TRUE(SetOemSignature(ws, ""));
  EXPECT_EQ(std::count(ws.image.bytes.begin() + 3, ws.image.bytes.begin() + 11, 0), 8);
  Workspace none;
  EXPECT_FALSE(SetOemSignature(none, "X"));
}

}  // namespace
}  // namespace quarnel
