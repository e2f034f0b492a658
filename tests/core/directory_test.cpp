// Directory listings as entries, captions, the volume-name rule, and moving between levels on
// hostile disks.
#include <gtest/gtest.h>

#include <cstring>

#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"
#include "core/rename.h"
#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

struct Session {
  Workspace ws;
  test::ScriptedUi ui;
  explicit Session(const ImageBuilder& b) { ws.LoadImageBytes(b.Bytes(), "/i/t.dsk"); }
  FileEntry Entry(std::string_view caption) const {
    for (const auto& e : ws.Entries())
      if (e.Caption() == caption) return e;
    ADD_FAILURE() << "no entry " << caption;
    return {};
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& e : ws.Entries()) out.push_back(e.Caption());
    return out;
  }
  EnterOutcome Enter(std::string_view caption) { return ws.Enter(Entry(caption), caption); }
};

TEST(Listing, CaptionsAsListed) {
  ImageBuilder b;
  b.AddFile(kRoot, "BIG.BIN", test::Pattern(70000), kAttrArchive | kAttrReadOnly);
  b.AddEntry(kRoot, EntrySpec{".", kAttrDirectory});
  b.AddEntry(kRoot, EntrySpec{"..", kAttrDirectory});
  std::array<std::uint8_t, 32> raw{};
  std::memcpy(raw.data(), "A B     TXT", 11);
  b.PutRawEntry(kRoot, 3, raw);
  b.AddEntry(kRoot, EntrySpec{"README"});
  b.AddEntry(kRoot, EntrySpec{"PROG.C"});
  b.AddDirectory(kRoot, "GAMES");
  Session s(b);
  // A blank inside a name is part of it: "A B.TXT" and "AB.TXT" are two names.
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"BIG.BIN", ".", "..", "A B.TXT", "README.   ",
                                                    "PROG.C  ", "GAMES.   "}));
  const FileEntry big = s.Entry("BIG.BIN");
  EXPECT_EQ(big.slot, 0);
  EXPECT_EQ(big.size, 70000);
  EXPECT_EQ(big.attribute, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(big.day, 5);
  EXPECT_EQ(big.month, 4);
  EXPECT_EQ(big.year, 2002);
  EXPECT_EQ(big.hour, 13);
  EXPECT_EQ(big.minute, 5);
  EXPECT_EQ(big.second, 8);
  EXPECT_TRUE(s.Entry("GAMES.   ").IsDirectory());
  EXPECT_EQ(s.ws.Entries().size(), 7u);
}

TEST(Listing, SkippedSlotsAndSlotIndex) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"ONE.TXT"});
  b.AddEntry(kRoot, EntrySpec{"GONE.TXT"});
  b.Poke(b.EntryOffset(kRoot, 1), 0xE5);
  b.PutEntry(kRoot, 5, EntrySpec{"AFTER.TXT"});  // after never-used slots
  b.PutEntry(kRoot, 6, EntrySpec{"HIGH.TXT"});
  b.Poke(b.EntryOffset(kRoot, 6), 0x85);  // first byte 0x80 or more: a name too
  Session s(b);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"ONE.TXT", "AFTER.TXT", "\x85IGH.TXT"}));
  EXPECT_EQ(s.Entry("AFTER.TXT").slot, 5);
  ASSERT_TRUE(s.ws.EntryAt(5));
  EXPECT_EQ(s.ws.EntryAt(5)->Caption(), "AFTER.TXT");
  EXPECT_EQ(s.ws.EntryAt(5)->offset, b.EntryOffset(kRoot, 5));
  EXPECT_FALSE(s.ws.EntryAt(1));  // deleted
  EXPECT_FALSE(s.ws.EntryAt(2));  // never used
}

TEST(Listing, LongNamePiecesAndControlCharacters) {
  ImageBuilder b;
  // A VFAT long-name piece before its short entry, as PC systems write it.
  std::array<std::uint8_t, 32> lfn{};
  lfn[0] = 0x41;
  lfn[1] = 'T';
  lfn[3] = 'r';
  lfn[11] = 0x0F;
  b.PutRawEntry(kRoot, 0, lfn);
  b.PutEntry(kRoot, 1, EntrySpec{"TRASHE~1", kAttrDirectory | kAttrHidden, 0, 0});
  std::array<std::uint8_t, 32> ctl{};
  std::memcpy(ctl.data(), "CTL\x01    A\x02", 11);
  ctl[10] = 'B';
  b.PutRawEntry(kRoot, 2, ctl);
  Session s(b);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"TRASHE~1.   ", "CTL?.A?B"}));
  EXPECT_EQ(VolumeNameOf(s.ws.image), "");  // the piece's bit 0x08 makes no volume name
  // The piece belongs to the entry after it.
  EXPECT_EQ(LongNamePieceOffsets(s.ws.listing, 1),
            std::vector<std::size_t>{s.ws.image.geometry.rootOffset});
  // The long-name piece is still on disk, untouched.
  EXPECT_EQ(s.ws.image.Memory()[s.ws.image.geometry.rootOffset + 11], 0x0F);
}

TEST(Listing, VolumeNameOnlyFromTheFirstLabel) {
  ImageBuilder b;
  b.AddVolume("MY.DISK");
  std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddEntry(sub, EntrySpec{"OTHER", kAttrVolume});
  Session s(b);
  EXPECT_TRUE(s.Entry("MYDISK   ").IsVolume());
  EXPECT_EQ(VolumeNameOf(s.ws.image), "MY.DISK");
  ASSERT_EQ(s.Enter("SUB.   "), EnterOutcome::Entered);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "OTHER   "}));
  EXPECT_EQ(VolumeNameOf(s.ws.image), "MY.DISK");
}

TEST(Directory, NavigationDownUpAndStay) {
  ImageBuilder b;
  std::uint16_t games = b.AddDirectory(kRoot, "GAMES", 2);
  b.AddFile(games, "ZORK.BAS", test::Pattern(3000));
  std::uint16_t old = b.AddDirectory(games, "OLD");
  b.AddFile(old, "A.TXT", test::Pattern(10));
  Session s(b);
  EXPECT_EQ(s.Enter("GAMES.   "), EnterOutcome::Entered);
  EXPECT_EQ(s.ws.Depth(), 1);
  EXPECT_EQ(s.ws.CurrentPath(), "\\GAMES.   \\");
  EXPECT_EQ(s.ws.CurrentDir(), DirRef{games});
  EXPECT_EQ(s.ws.listing.table.size(), 64u);  // two clusters of 32 slots
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "ZORK.BAS", "OLD.   "}));
  EXPECT_EQ(s.Enter("."), EnterOutcome::Entered);
  EXPECT_EQ(s.ws.Depth(), 1);
  EXPECT_EQ(s.Enter("OLD.   "), EnterOutcome::Entered);
  EXPECT_EQ(s.ws.Depth(), 2);
  EXPECT_EQ(s.ws.CurrentPath(), "\\GAMES.   \\OLD.   \\");
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "A.TXT"}));
  EXPECT_EQ(s.Enter(".."), EnterOutcome::Left);
  EXPECT_EQ(s.Enter(".."), EnterOutcome::Left);
  EXPECT_EQ(s.ws.Depth(), 0);
  EXPECT_EQ(s.ws.CurrentPath(), "\\");
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"GAMES.   "}));
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(Directory, DotDotAtTheRootStaysAtTheRoot) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"..", kAttrDirectory, 5});
  Session s(b);
  s.Enter("..");
  EXPECT_EQ(s.ws.Depth(), 0);
  EXPECT_EQ(s.ws.Entries().size(), 1u);
}

TEST(Directory, IllegalFirstClusters) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"ZERO", kAttrDirectory, 0});
  b.AddEntry(kRoot, EntrySpec{"ONE", kAttrDirectory, 1});
  b.AddEntry(kRoot, EntrySpec{"HIGH", kAttrDirectory, 721});
  b.AddEntry(kRoot, EntrySpec{"PASTDATA", kAttrDirectory,
                              716});  // below sectors / cluster size, past the image
  Session s(b);
  for (const char* name : {"ZERO.   ", "ONE.   ", "HIGH.   ", "PASTDATA.   "}) {
    SCOPED_TRACE(name);
    const EnterOutcome o = s.Enter(name);
    EXPECT_EQ(o, EnterOutcome::Illegal);
    EXPECT_EQ(EnterMessage(o), msg::kIllegalDirectory);
    EXPECT_EQ(s.ws.Depth(), 0);
    EXPECT_EQ(s.ws.Entries().size(), 4u);
  }
}

TEST(Directory, BrokenChainsFallBack) {
  ImageBuilder b;
  std::uint16_t a = b.AddDirectory(kRoot, "A");
  std::uint16_t loop = b.AddDirectory(a, "LOOP", 2);
  b.SetFat(b.Fat(loop), loop);  // second cluster points back at the first
  std::uint16_t free = b.AddDirectory(a, "FREE");
  b.SetFat(free, 0);  // into a free cluster
  std::uint16_t bad = b.AddDirectory(a, "BAD");
  b.SetFat(bad, 0xFF7);
  Session s(b);
  s.Enter("A.   ");
  for (const char* name : {"LOOP.   ", "FREE.   ", "BAD.   "}) {
    SCOPED_TRACE(name);
    const EnterOutcome o = s.Enter(name);
    EXPECT_EQ(o, EnterOutcome::BrokenChain);
    EXPECT_EQ(EnterMessage(o), "");  // no message
    EXPECT_EQ(s.ws.Depth(), 0);      // back at the root
    s.Enter("A.   ");
  }
  // The chain of the current directory breaks while it is shown: the parent is listed.
  ASSERT_EQ(s.ws.Depth(), 1);
  WriteFatEntry(s.ws.image, a, 0);
  s.ws.Refresh();
  EXPECT_EQ(s.ws.Depth(), 0);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"A.   "}));
}

TEST(Directory, SelfContainingDirectoryStopsAt32Levels) {
  ImageBuilder b;
  std::uint16_t self = b.AddDirectory(kRoot, "SELF");
  b.AddEntry(self, EntrySpec{"SELF", kAttrDirectory, self});  // contains itself
  Session s(b);
  int entered = 0;
  EnterOutcome last = EnterOutcome::Entered;
  for (int i = 0; i < 40; ++i) {
    last = s.Enter("SELF.   ");
    if (last == EnterOutcome::Entered)
      ++entered;
    else
      EXPECT_EQ(last, EnterOutcome::TooDeep);
  }
  EXPECT_EQ(entered, kDirStackDepth - 1);
  EXPECT_EQ(s.ws.Depth(), kDirStackDepth - 1);
  EXPECT_EQ(EnterMessage(last), msg::kDirectoryTooDeep);
}

TEST(Directory, NothingListedWithoutUsableImage) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(10));
  b.Poke(13, 0);  // sectors per cluster 0
  Session s(b);
  s.ws.Refresh();
  EXPECT_TRUE(s.ws.Entries().empty());
  EXPECT_TRUE(s.ws.listing.table.empty());
}

}  // namespace
}  // namespace quarnel
