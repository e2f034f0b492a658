// New images of every geometry, saving (atomic, read-only targets, injected write faults) and
// extracting with size, read-only bit and date.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "change_witness.h"
#include "core/add_file.h"
#include "core/extract.h"
#include "core/fat.h"
#include "core/host_file.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/save_image.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& b, std::size_t off,
                                std::size_t n) {
  return std::vector<std::uint8_t>(b.begin() + off, b.begin() + off + n);
}

TEST(NewImage, The720KbRowAsStoredOnDisk) {
  auto img = BuildNewImage(*GeometryForSize("720"));
  ASSERT_EQ(img.size(), 737280u);
  EXPECT_EQ(Slice(img, 512, 3), (std::vector<std::uint8_t>{0xF9, 0xFF, 0xFF}));
  EXPECT_EQ(Slice(img, 2048, 3), (std::vector<std::uint8_t>{0xF9, 0xFF, 0xFF}));
  EXPECT_EQ(Slice(img, 11, 19),
            (std::vector<std::uint8_t>{0x00, 0x02, 0x02, 0x01, 0x00, 0x02, 0x70, 0x00, 0xA0, 0x05,
                                       0xF9, 0x03, 0x00, 0x09, 0x00, 0x02, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Slice(img, 0, 11),
            (std::vector<std::uint8_t>{0xEB, 0xFE, 0x90, 'Q', 'u', 'a', 'r', 'n', 'e', 'l', '1'}));
  EXPECT_EQ(std::string(img.begin() + 122, img.begin() + 133), "MSXDOS  SYS");
  EXPECT_EQ(std::string(img.begin() + 158, img.begin() + 196),
            "Boot error\r\nPress any key for retry\r\n$");
  EXPECT_EQ(img[30], 0xD0);  // ret nc: the first call of the disk ROM returns at once
  EXPECT_EQ(std::count(img.begin() + 196, img.begin() + 512, 0), 512 - 196);
  // Apart from the boot sector and the FATs' first bytes, everything is 0.
  std::size_t nonzero = 0;
  for (std::size_t i = 512; i < img.size(); ++i) nonzero += img[i] != 0;
  EXPECT_EQ(nonzero, 6u);
}

TEST(NewImage, EveryRowLoadsEmptyAndPassesTheWitnesses) {
  test::TempDir tmp;
  test::ScriptedUi ui;
  for (const auto& row : GeometryTable) {
    SCOPED_TRACE(std::string(row.size));
    fs::path p = tmp / NewImageName(row);
    ASSERT_EQ(NewImage(row, p), NewImageStatus::Written);
    EXPECT_EQ(fs::file_size(p), row.sizeKb * 1024u);
    Workspace ws;
    ws.LoadImage(p.string());
    ASSERT_TRUE(ws.HasImage());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ws.Entries().empty());
    EXPECT_EQ(VolumeNameOf(ws.image), "");
    const auto& g = ws.image.geometry;
    EXPECT_EQ(FreeBytes(ws.image), g.dataClusters * static_cast<std::int32_t>(g.clusterBytes));
    EXPECT_EQ(ws.image.geometry.media, row.media);
    const auto bytes = test::ReadHostFile(p);
    const std::size_t fat2 = 512 + row.sectorsPerFat * 512u;
    EXPECT_EQ(Slice(bytes, fat2, 3), (std::vector<std::uint8_t>{row.media, 0xFF, 0xFF}));
    if (test::HaveWitnesses()) test::ExpectWitnessesAgree(p, {});
  }
  // Names and the two rows sharing a size.
  EXPECT_EQ(NewImageName(*GeometryForSize("160")), "New160.dsk");
  EXPECT_EQ(GeometryForSize("320s")->sides, 1);
  EXPECT_EQ(GeometryForSize("320")->sides, 2);
  EXPECT_EQ(GeometryForSize("360s")->media, 0xF8);
  EXPECT_EQ(GeometryForSize("360")->media, 0xFD);
  EXPECT_FALSE(GeometryForSize("1440"));
  // The 160 KB disk: one-sector clusters, 64 root entries, FAT 2 at byte 1024.
  auto small = BuildNewImage(*GeometryForSize("160"));
  EXPECT_EQ(small[13], 1);
  EXPECT_EQ(small[17], 64);
  EXPECT_EQ(Slice(small, 1024, 3), (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF}));
}

// Writes half of what it is given, then fails as a full disk does.
class HalfWayFault : public FileIo {
 public:
  long Write(int fd, const std::uint8_t* data, std::size_t n) override {
    if (written_ > 0) {
      errno = ENOSPC;
      return -1;
    }
    written_ = FileIo::Write(fd, data, n / 2);
    return written_;
  }

 private:
  long written_ = 0;
};

class RenameFault : public FileIo {
 public:
  bool Rename(const fs::path&, const fs::path&) override { return false; }
};

// Adds NEW.BIN, 50,000 bytes, to the folder shown: the change the save tests save.
AddStatus AddNewBin(Workspace& ws) {
  NewFile f;
  f.name = "NEW.BIN";
  f.bytes = test::Pattern(50000, 4);
  return AddFileData(ws.image, ws.CurrentDir(), f).status;
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = tmp / "disk.dsk";
    ImageBuilder b;
    b.AddFile(kRoot, "OLD.TXT", test::Pattern(100));
    b.WriteTo(path);
    old = test::ReadHostFile(path);
    ws.LoadImage(path.string());
    ASSERT_TRUE(ws.HasImage());
    ASSERT_EQ(AddNewBin(ws), AddStatus::Added);
    ws.MarkChanged();  // as the Add command marks it
  }
  std::size_t FilesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
  test::TempDir tmp;
  fs::path path;
  std::vector<std::uint8_t> old;
  Workspace ws;
  test::ScriptedUi ui;
};

TEST_F(SaveTest, AFaultHalfWayLeavesTheOldFileByteForByte) {
  HalfWayFault fault;
  const SaveOutcome failed = SaveImageFile(ws, path, fault);
  EXPECT_EQ(failed, SaveStatus::CannotSave);
  EXPECT_EQ(failed.message, msg::kCannotSave);
  EXPECT_TRUE(test::ReadHostFile(path) == old);
  EXPECT_TRUE(ws.IsChanged());
  EXPECT_EQ(FilesIn(tmp.path()), 1u);  // no temporary file left behind
  RenameFault renameFault;
  EXPECT_EQ(SaveImageFile(ws, path, renameFault), SaveStatus::CannotSave);
  EXPECT_TRUE(test::ReadHostFile(path) == old);
  EXPECT_EQ(FilesIn(tmp.path()), 1u);
  // Without a fault the save goes through.
  EXPECT_EQ(Save(ws), SaveStatus::Saved);
  EXPECT_FALSE(ws.IsChanged());
  EXPECT_TRUE(std::ranges::equal(test::ReadHostFile(path), ws.image.Memory()));
}

TEST(WriteNewOrReplace, AFaultLeavesNothingUnderANewNameAndTheOldFileUnderATakenOne) {
  const std::vector<std::uint8_t> bytes = test::Pattern(5000, 2);
  for (const bool taken : {false, true}) {
    SCOPED_TRACE(taken ? "a name already taken" : "a new name");
    test::TempDir dir;
    const fs::path target = dir / "out.bin";
    const std::vector<std::uint8_t> old{1, 2, 3};
    if (taken) test::WriteHostFile(target, old);
    HalfWayFault fault;
    EXPECT_FALSE(WriteNewOrReplace(target, bytes, fault));
    EXPECT_EQ(fs::exists(target), taken);
    if (taken) {
      EXPECT_EQ(test::ReadHostFile(target), old);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              taken ? 1 : 0);  // no temporary file left either
    EXPECT_TRUE(WriteNewOrReplace(target, bytes, DefaultFileIo()));
    EXPECT_EQ(test::ReadHostFile(target), bytes);
  }
}

// A batch of host files: a new file is written under its own name without a flush of its own; a
// file that stands under the name is replaced through a temporary name and a rename, which the
// batch notes (Finish then flushes once).
TEST(BatchFileIo, NewFilesInPlaceAndReplacedOnesThroughARename) {
  class Counted : public BatchFileIo {
   public:
    bool Rename(const fs::path& from, const fs::path& to) override {
      ++renames;
      return BatchFileIo::Rename(from, to);
    }
    int renames = 0;
  };
  test::TempDir dir;
  test::WriteHostFile(dir / "taken.bin", {1, 2, 3});
  const struct {
    const char* name;
    int renames;  // after it was written
  } files[] = {{"new1.bin", 0}, {"taken.bin", 1}, {"new2.bin", 1}};
  Counted io;
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::vector<std::uint8_t> bytes = test::Pattern(3000, 5);
    EXPECT_TRUE(WriteNewOrReplace(dir / f.name, bytes, io));
    EXPECT_EQ(test::ReadHostFile(dir / f.name), bytes);
    EXPECT_EQ(io.renames, f.renames);
  }
  io.Finish(dir.path());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST_F(SaveTest, ReadOnlyTargetsAndSaveAs) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Save(ws), SaveStatus::Saved);  // the read-only attribute is cleared first
  EXPECT_NE(fs::status(path).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(std::ranges::equal(test::ReadHostFile(path), ws.image.Memory()));

  ws.MarkChanged();
  fs::path other = tmp / "copy.dsk";
  EXPECT_EQ(SaveAs(ws, other), SaveStatus::Saved);
  EXPECT_EQ(ws.imagePath, path.string());
  EXPECT_FALSE(ws.IsChanged());
  EXPECT_TRUE(std::ranges::equal(test::ReadHostFile(other), ws.image.Memory()));
  ws.MarkChanged();
  EXPECT_EQ(SaveAs(ws, ""), SaveStatus::Cancelled);
  EXPECT_TRUE(ws.IsChanged());

  // A folder that cannot take the file.
  const SaveOutcome nowhere = SaveImageFile(ws, tmp / "no" / "such" / "d.dsk");
  EXPECT_EQ(nowhere, SaveStatus::CannotSave);
  EXPECT_EQ(nowhere.message, msg::kCannotSave);
  Workspace none;
  EXPECT_EQ(Save(none), SaveStatus::NothingLoaded);
}

TEST_F(SaveTest, ASaveThroughASymbolicLinkChangesTheFileItNames) {
  fs::path link = tmp / "link.dsk";
  fs::create_symlink(path, link);
  EXPECT_EQ(SaveImageFile(ws, link), SaveStatus::Saved);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(std::ranges::equal(test::ReadHostFile(path), ws.image.Memory()));
}

// An image read from a file with holes is saved with holes again, but the blocks a change wrote
// into are written, whatever was known of them at the load.
TEST(SaveImage, AFileWithHolesKeepsThemAndWhatAChangeWroteIntoThem) {
  test::TempDir tmp;
  const fs::path path = tmp / "sparse.dsk";
  ASSERT_TRUE(WriteFileAtomically(path, ImageBuilder().Bytes()));
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImage(path.string());
  ASSERT_TRUE(ws.HasImage());
  ASSERT_EQ(AddNewBin(ws), AddStatus::Added);
  ASSERT_EQ(SaveImageFile(ws, path), SaveStatus::Saved);
  EXPECT_TRUE(std::ranges::equal(test::ReadHostFile(path), ws.image.Memory()));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_LT(static_cast<std::size_t>(st.st_blocks) * 512, ws.image.Memory().size() / 2);
}

class ExtractTest : public ::testing::Test {
 protected:
  void Load(const ImageBuilder& b) {
    ws.LoadImageBytes(b.Bytes(), "disk.dsk");
    ASSERT_TRUE(ws.HasImage());
  }
  // Extracts the entry of slot `slot` of the shown directory; its message goes to `said`.
  ExtractStatus Extract(int slot, const fs::path& hostPath) {
    auto e = ws.EntryAt(slot);
    if (!e) {
      ADD_FAILURE() << "no entry in slot " << slot;
      return ExtractStatus::NoImage;
    }
    ExtractOutcome o = ExtractFile(ws.image, *e, hostPath);
    if (!o.message.empty()) said.push_back(o.message);
    return o.status;
  }
  test::TempDir tmp;
  Workspace ws;
  test::ScriptedUi ui;
  std::vector<std::string> said;
};

TEST_F(ExtractTest, SizeAttributesAndDate) {
  ImageBuilder b;
  auto content = test::Pattern(2500, 3);
  b.AddFile(kRoot, "HIDDEN.BIN", content, kAttrHidden | kAttrReadOnly);
  b.AddFile(kRoot, "EMPTY.TXT", {});
  Load(b);
  fs::path out = tmp / "hidden.bin";
  ASSERT_EQ(Extract(0, out), ExtractStatus::Written);
  EXPECT_TRUE(test::ReadHostFile(out) == content);
  EXPECT_EQ(fs::status(out).permissions() & fs::perms::owner_write, fs::perms::none);
  struct stat st {};
  ASSERT_EQ(::stat(out.c_str(), &st), 0);
  LocalDateTime t = ToLocalDateTime(st.st_mtime);
  EXPECT_EQ(t.year, 2002);
  EXPECT_EQ(t.month, 4);
  EXPECT_EQ(t.day, 5);
  EXPECT_EQ(t.hour, 13);
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 8);
  ASSERT_EQ(Extract(1, tmp / "empty.txt"), ExtractStatus::Written);
  EXPECT_EQ(fs::file_size(tmp / "empty.txt"), 0u);
  EXPECT_TRUE(said.empty());
}

TEST_F(ExtractTest, AChainEndingBeforeTheSizeWritesNothing) {
  // Viewing shows the bytes there are; a cut file on the host would pass for a whole one.
  ImageBuilder b;
  b.WriteData(5, test::Pattern(1024, 9));
  b.SetFat(5, 0xFFF);
  b.AddEntry(kRoot, EntrySpec{"SHORT.BIN", 0, 5, 3000});
  Load(b);
  EXPECT_EQ(Extract(0, tmp / "short.bin"), ExtractStatus::ClusterError);
  EXPECT_FALSE(fs::exists(tmp / "short.bin"));
  EXPECT_EQ(said, std::vector<std::string>{std::string(msg::kClusterError)});
}

TEST_F(ExtractTest, BrokenChainsStopInsideTheDataArea) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"LOOP.BIN", 0, 10, 5000});
  b.SetFat(10, 11);
  b.SetFat(11, 10);
  b.AddEntry(kRoot, EntrySpec{"LONG.BIN", 0, 20, 100});  // a chain longer than the size
  b.Chain({20, 21, 22});
  b.AddEntry(kRoot, EntrySpec{"FAR.BIN", 0, 0x900, 10});
  Load(b);
  EXPECT_EQ(Extract(0, tmp / "loop.bin"), ExtractStatus::ClusterError);
  EXPECT_FALSE(fs::exists(tmp / "loop.bin"));
  EXPECT_EQ(Extract(1, tmp / "long.bin"), ExtractStatus::Written);
  EXPECT_EQ(fs::file_size(tmp / "long.bin"), 100u);
  EXPECT_EQ(Extract(2, tmp / "far.bin"), ExtractStatus::FirstClusterOutOfBounds);
  EXPECT_FALSE(fs::exists(tmp / "far.bin"));
  EXPECT_EQ(said, (std::vector<std::string>{std::string(msg::kClusterError),
                                            std::string(msg::kFirstClusterOutOfBounds)}));
}

TEST_F(ExtractTest, ATargetThatCannotBeWrittenIsReported) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", {1});
  b.AddFile(kRoot, "B.TXT", {2});
  Load(b);
  EXPECT_EQ(Extract(1, tmp / "b"), ExtractStatus::Written);
  EXPECT_EQ(test::ReadHostFile(tmp / "b"), std::vector<std::uint8_t>{2});
  EXPECT_EQ(Extract(0, tmp / "no" / "dir" / "a"), ExtractStatus::CannotWrite);
  const std::string target = (tmp / "no" / "dir" / "a").string();
  EXPECT_EQ(said, std::vector<std::string>{std::string(msg::kCannotWriteFile) + target});
}

}  // namespace
}  // namespace quarnel
