// Loading images: size checks, boot-sector checks, geometry, the save prompt, host-file kinds.
#include <gtest/gtest.h>

#include "core/fat.h"
#include "core/messages.h"
#include "core/rename.h"
#include "core/rounding.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::GeometryLayout;
using test::ImageBuilder;
using test::ScriptedUi;

struct Loaded {
  Workspace ws;
  ScriptedUi ui;
};

void LoadBytes(Loaded& l, std::vector<std::uint8_t> bytes) {
  NotifyAll(l.ui, l.ws.LoadImageBytes(std::move(bytes), "/x/test.dsk").messages);
}

TEST(LoadImage, SizeLimitsAndWarnings) {
  struct Case {
    std::size_t size;
    std::vector<std::string> messages;
    bool loaded;
  } cases[] = {
      {1474560, {}, true},
      {1474561, {std::string(msg::kFileTooBig)}, false},
      {163840, {}, true},
      {163839, {std::string(msg::kFileTooSmall)}, false},
      {200000, {std::string(msg::kOddDiskSize)}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    // A small sound geometry that fits every size from 163,840 on.
    GeometryLayout g = GeometryLayout::Msx160();
    ImageBuilder b(g, c.size);
    Loaded l;
    LoadBytes(l, b.Bytes());
    EXPECT_EQ(l.ui.messages, c.messages);
    EXPECT_EQ(l.ws.HasImage(), c.loaded);
    EXPECT_EQ(l.ws.image.loadFailed, !c.loaded);
    EXPECT_FALSE(l.ws.IsChanged());
    if (!c.loaded) {
      EXPECT_TRUE(l.ws.image.Empty());
    }
  }
}

TEST(LoadImage, FromHostFileAndMissingFile) {
  test::TempDir dir;
  ImageBuilder b;
  b.AddFile(test::kRoot, "A.TXT", test::Pattern(10));
  b.WriteTo(dir / "disk.dsk");
  Loaded l;
  NotifyAll(l.ui, l.ws.LoadImage((dir / "disk.dsk").string()).messages);
  EXPECT_TRUE(l.ws.HasImage());
  EXPECT_EQ(l.ws.image.Size(), 737280u);
  EXPECT_EQ(l.ws.Entries().size(), 1u);
  EXPECT_EQ(OemSignatureOf(l.ws.image), "QRNLTEST");
  // A missing file: the previous image is gone, nothing listed, no message.
  NotifyAll(l.ui, l.ws.LoadImage((dir / "gone.dsk").string()).messages);
  EXPECT_TRUE(l.ui.messages.empty());
  EXPECT_FALSE(l.ws.HasImage());
  EXPECT_TRUE(l.ws.imagePath.empty());
  EXPECT_TRUE(l.ws.Entries().empty());
}

TEST(LoadImage, SectorSizeAndZeroFields) {
  struct Case {
    const char* what;
    void (*edit)(GeometryLayout&);
    std::string_view message;
    bool loadFailed;
  } cases[] = {
      {"bps 513", [](GeometryLayout& g) { g.bytesPerSector = 513; }, msg::kSectorTooBig, true},
      {"bps 1024", [](GeometryLayout& g) { g.bytesPerSector = 1024; }, msg::kSectorTooBig, true},
      {"bps 0", [](GeometryLayout& g) { g.bytesPerSector = 0; }, msg::kBootSectorError, false},
      {"spc 0", [](GeometryLayout& g) { g.sectorsPerCluster = 0; }, msg::kBootSectorError, false},
      {"spt 0", [](GeometryLayout& g) { g.sectorsPerTrack = 0; }, msg::kBootSectorError, false},
      {"sides 0", [](GeometryLayout& g) { g.sides = 0; }, msg::kBootSectorError, false},
      {"FAT past the end", [](GeometryLayout& g) { g.sectorsPerFat = 3000; },
       msg::kSystemAreaOutside, false},
      {"root past the end", [](GeometryLayout& g) { g.rootEntries = 65535; },
       msg::kSystemAreaOutside, false},
      {"system area above total", [](GeometryLayout& g) { g.totalSectors = 5; },
       msg::kSystemAreaOutside, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeometryLayout g;
    c.edit(g);
    // Build with a sound layout, then overwrite the boot sector fields.
    ImageBuilder b(GeometryLayout{}, 737280);
    b.Poke16(11, g.bytesPerSector);
    b.Poke(13, g.sectorsPerCluster);
    b.Poke16(17, g.rootEntries);
    b.Poke16(19, g.totalSectors);
    b.Poke16(22, g.sectorsPerFat);
    b.Poke16(24, g.sectorsPerTrack);
    b.Poke16(26, g.sides);
    Loaded l;
    LoadBytes(l, b.Bytes());
    ASSERT_EQ(l.ui.messages.size(), 1u);
    EXPECT_EQ(l.ui.messages[0], c.message);
    EXPECT_TRUE(l.ws.image.bootError);
    EXPECT_EQ(l.ws.image.loadFailed, c.loadFailed);
    EXPECT_EQ(l.ws.image.Size(), 737280u);  // bytes stay for the sector view
    EXPECT_FALSE(l.ws.HasImage());
    EXPECT_TRUE(l.ws.Entries().empty());
  }
}

TEST(LoadImage, SectorSize256Loads) {
  GeometryLayout g;
  g.bytesPerSector = 256;
  g.totalSectors = 2880;
  g.sectorsPerFat = 6;
  ImageBuilder b(g);
  b.AddFile(test::kRoot, "X.BIN", test::Pattern(700));
  Loaded l;
  LoadBytes(l, b.Bytes());
  EXPECT_TRUE(l.ui.messages.empty());
  ASSERT_TRUE(l.ws.HasImage());
  EXPECT_EQ(l.ws.image.geometry.clusterBytes, 512u);
}

TEST(LoadImage, Geometry720) {
  Loaded l;
  LoadBytes(l, ImageBuilder().Bytes());
  const DiskGeometry& g = l.ws.image.geometry;
  EXPECT_EQ(g.fatOffset, 512u);
  EXPECT_EQ(g.rootOffset, 3584u);
  EXPECT_EQ(g.dataOffset, 7168u);
  EXPECT_EQ(g.clusterBytes, 1024u);
  EXPECT_EQ(g.dataSectors, 1426);
  EXPECT_EQ(g.dataClusters, 713);
  EXPECT_EQ(g.fatKind, FatKind::Fat12);
  EXPECT_EQ(g.tracks, 80u);
  EXPECT_EQ(l.ws.CurrentPath(), "\\");
  EXPECT_TRUE(l.ws.AtRoot());
  EXPECT_EQ(l.ws.listing.table.size(), 112u);
  EXPECT_EQ(l.ws.imagePath, "/x/test.dsk");
}

TEST(LoadImage, RoundHalfEven) {
  EXPECT_EQ(RoundHalfEven(1440, 2), 720);
  EXPECT_EQ(RoundHalfEven(5, 2), 2);   // 2.5 -> 2
  EXPECT_EQ(RoundHalfEven(7, 2), 4);   // 3.5 -> 4
  EXPECT_EQ(RoundHalfEven(10, 4), 2);  // 2.5 -> 2
  EXPECT_EQ(RoundHalfEven(11, 4), 3);  // 2.75 -> 3
}

TEST(LoadImage, GeometryLargerThanFileByOneByte) {
  // 1440 sectors of 512 bytes against a file one byte shorter than that.
  for (std::size_t size : {737279u, 737280u, 737281u}) {
    SCOPED_TRACE(size);
    ImageBuilder b(GeometryLayout{}, size);
    Loaded l;
    LoadBytes(l, b.Bytes());
    bool refused = size < 737280;
    EXPECT_EQ(l.ws.image.bootError, refused);
    if (refused) {
      EXPECT_EQ(l.ui.messages.back(), msg::kDiskSmallerThanGeometry);
    }
  }
}

// The front end saves unsaved changes as the user answers, then loads: the load itself drops
// whatever is still unsaved.
TEST(LoadImage, UnsavedChangesAreSavedAsAnsweredBeforeReplacing) {
  test::TempDir dir;
  ImageBuilder b;
  b.WriteTo(dir / "old.dsk");
  ImageBuilder other;
  other.AddFile(test::kRoot, "NEW.TXT", test::Pattern(5));
  other.WriteTo(dir / "new.dsk");
  Loaded l;
  NotifyAll(l.ui, l.ws.LoadImage((dir / "old.dsk").string()).messages);
  l.ws.image.MutableView()[3] = 'Z';  // an edit
  l.ws.MarkChanged();
  ASSERT_EQ(SaveAs(l.ws, dir / "saved.dsk"), SaveStatus::Saved);
  NotifyAll(l.ui, l.ws.LoadImage((dir / "new.dsk").string()).messages);
  auto saved = test::ReadHostFile(dir / "saved.dsk");
  ASSERT_EQ(saved.size(), 737280u);
  EXPECT_EQ(saved[3], 'Z');
  EXPECT_FALSE(l.ws.IsChanged());
  EXPECT_EQ(l.ws.Entries().size(), 1u);
  // Cancel: the changes are dropped, nothing written.
  l.ws.image.MutableView()[3] = 'Y';
  l.ws.MarkChanged();
  NotifyAll(l.ui, l.ws.LoadImage((dir / "old.dsk").string()).messages);
  EXPECT_FALSE(l.ws.IsChanged());
  EXPECT_EQ(test::ReadHostFile(dir / "saved.dsk"), saved);
  EXPECT_EQ(test::ReadHostFile(dir / "new.dsk")[3], test::ReadHostFile(dir / "old.dsk")[3]);
}

TEST(HostFileKindOf, ByTheExtensionCutToFourCharacters) {
  const struct {
    const char* path;
    HostFileKind kind;
  } cases[] = {
      {"/x/a.di1", HostFileKind::DiskImage},     {"/x/b.DI2", HostFileKind::DiskImage},
      {"/x/c.dsk", HostFileKind::DiskImage},     {"/x/d.DSKX", HostFileKind::DiskImage},
      {"/x/tape.cas", HostFileKind::Cassette},   {"/x/disk.xsa", HostFileKind::Conversion},
      {"/x/disk.DDI", HostFileKind::Conversion}, {"/x/disk.img", HostFileKind::Conversion},
      {"/x/disk.msx", HostFileKind::Conversion}, {"/x/readme", HostFileKind::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(HostFileKindOf(c.path), c.kind);
  }
}

}  // namespace
}  // namespace quarnel
