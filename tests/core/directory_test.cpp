// Directory listing rows, the volume-name rule, and moving between levels on hostile disks.
#include "core/directory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/fat.h"
#include "core/file_list.h"
#include "core/messages.h"
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
  explicit Session(const ImageBuilder& b) { ws.LoadImageBytes(b.Bytes(), "/i/t.dsk", ui); }
  const FileRow& Row(std::string_view caption) {
    for (const auto& r : ws.fileList.rows)
      if (r.caption == caption) return r;
    ADD_FAILURE() << "no row " << caption;
    static FileRow none;
    return none;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& r : ws.fileList.rows) out.push_back(r.caption);
    return out;
  }
};

TEST(FileList, RowsAsListed) {
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
  const FileRow& big = s.Row("BIG.BIN");
  EXPECT_EQ(big.sizeText, "  70000 Bytes");
  EXPECT_EQ(big.type, "Binary file");
  EXPECT_EQ(big.icon, 4);
  EXPECT_EQ(big.modified, "5/04/2002 13:05:08");
  EXPECT_EQ(big.attrib, "A....R");
  EXPECT_EQ(big.slot, 0);
  const FileRow& games = s.Row("GAMES.   ");
  EXPECT_EQ(games.attrib, ".D....");
  EXPECT_EQ(games.sizeText, "");
  EXPECT_EQ(games.type, "Directory");
  EXPECT_EQ(games.icon, 6);
  EXPECT_EQ(s.Row("PROG.C  ").type, "C  ");  // the extension itself
  EXPECT_EQ(s.ws.fileList.filesListed, 7);
  EXPECT_EQ(s.ws.fileList.summary,
            "7 Files Listed \n" + std::to_string(643 * 1024) + " Bytes free ");
}

TEST(FileList, TypeTable) {
  struct Case {
    const char* ext;
    std::uint8_t attr;
    const char* text;
    int icon;
  } cases[] = {{"BAS", 0, "Basic file", 3},
               {"ldr", 0, "Basic file", 3},
               {"LHA", 0, "Compressed file", 0},
               {"PMA", 0, "Compressed file", 0},
               {"BIN", 0, "Binary file", 4},
               {"BAT", 0, "Dos Batch file", 2},
               {"SYS", 0, "Dos System file", 0},
               {"COM", 0, "Dos Executable", 1},
               {"EXE", 0, "Dos Executable", 1},
               {"TXT", 0, "Text File", 0},
               {"ROM", 0, "Rom File", 5},
               {"BA ", 0, "BA ", 0},
               {"BAS", kAttrVolume, "Volume Name", 8},
               {"BAS", kAttrVolume | kAttrDirectory, "Directory", 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ext);
    TypeAndIcon t = TypeForEntry(c.ext, c.attr);
    EXPECT_EQ(t.text, c.text);
    EXPECT_EQ(t.icon, c.icon);
  }
}

TEST(FileList, DirectoryAndVolumeRowsGoByTheAttributeAsTheTypeTextDoes) {
  for (int attr = 0; attr < 256; ++attr) {
    SCOPED_TRACE(attr);
    FileRow row;
    row.attribute = static_cast<std::uint8_t>(attr);
    row.type = TypeForEntry("BIN", row.attribute).text;
    EXPECT_EQ(row.IsDirectory(), row.type == msg::kTypeDirectory);
    EXPECT_EQ(row.IsVolume(), row.type == msg::kTypeVolume);
  }
  // A row of another listing that only reads "Directory" is none.
  FileRow tape;
  tape.type = msg::kTypeDirectory;
  EXPECT_FALSE(tape.IsDirectory());
}

TEST(FileList, SkippedSlotsAndHiddenIndex) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"ONE.TXT"});
  b.AddEntry(kRoot, EntrySpec{"GONE.TXT"});
  b.Poke(b.EntryOffset(kRoot, 1), 0xE5);
  b.PutEntry(kRoot, 5, EntrySpec{"AFTER.TXT"});  // after never-used slots
  b.PutEntry(kRoot, 6, EntrySpec{"HIGH.TXT"});
  b.Poke(b.EntryOffset(kRoot, 6), 0x85);  // first byte 0x80 or more: a name too
  Session s(b);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"ONE.TXT", "AFTER.TXT", "\x85IGH.TXT"}));
  EXPECT_EQ(s.Row("AFTER.TXT").slot, 5);
  EXPECT_EQ(s.ws.RowForSlot(5)->caption, "AFTER.TXT");
}

TEST(FileList, LongNamePiecesAndControlCharacters) {
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
  EXPECT_FALSE(s.ws.volumeShown);
  EXPECT_EQ(s.ws.volumeField, "");
  // The long-name piece is still on disk, untouched.
  EXPECT_EQ(s.ws.image.bytes[s.ws.image.geometry.rootOffset + 11], 0x0F);
}

TEST(FileList, VolumeNameOnlyFromTheFirstLabel) {
  ImageBuilder b;
  b.AddVolume("MY.DISK");
  std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddEntry(sub, EntrySpec{"OTHER", kAttrVolume});
  Session s(b);
  EXPECT_EQ(s.Row("MYDISK   ").type, "Volume Name");
  EXPECT_EQ(s.Row("MYDISK   ").sizeText, "");
  EXPECT_EQ(s.ws.volumeField, "MYDISK   ");
  EXPECT_EQ(s.ws.listedVolume, "MYDISK   ");
  FileRow subRow = s.Row("SUB.   ");
  ASSERT_EQ(EnterDirectory(s.ws, subRow, s.ui), EnterOutcome::Entered);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "OTHER   "}));
  EXPECT_EQ(s.ws.volumeField, "MYDISK   ");
}

TEST(Directory, NavigationDownUpAndStay) {
  ImageBuilder b;
  std::uint16_t games = b.AddDirectory(kRoot, "GAMES", 2);
  b.AddFile(games, "ZORK.BAS", test::Pattern(3000));
  std::uint16_t old = b.AddDirectory(games, "OLD");
  b.AddFile(old, "A.TXT", test::Pattern(10));
  Session s(b);
  FileRow r = s.Row("GAMES.   ");
  EXPECT_EQ(EnterDirectory(s.ws, r, s.ui), EnterOutcome::Entered);
  EXPECT_EQ(s.ws.image.level, 1);
  EXPECT_EQ(s.ws.CurrentLevel().path, "\\GAMES.   \\");
  EXPECT_EQ(s.ws.CurrentLevel().byteSize, 2048);
  EXPECT_EQ(s.ws.CurrentLevel().entryCount, 64);
  EXPECT_EQ(s.ws.statusText, "/i/t.dsk\\GAMES.   \\");
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "ZORK.BAS", "OLD.   "}));
  EXPECT_EQ(s.ws.fileList.filesListed, 4);
  r = s.Row(".");
  EXPECT_EQ(EnterDirectory(s.ws, r, s.ui), EnterOutcome::Entered);
  EXPECT_EQ(s.ws.image.level, 1);
  r = s.Row("OLD.   ");
  EnterDirectory(s.ws, r, s.ui);
  EXPECT_EQ(s.ws.image.level, 2);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{".", "..", "A.TXT"}));
  r = s.Row("..");
  EXPECT_EQ(EnterDirectory(s.ws, r, s.ui), EnterOutcome::Left);
  r = s.Row("..");
  EnterDirectory(s.ws, r, s.ui);
  EXPECT_EQ(s.ws.image.level, 0);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"GAMES.   "}));
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(Directory, DotDotAtTheRootStaysAtTheRoot) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"..", kAttrDirectory, 5});
  Session s(b);
  FileRow r = s.Row("..");
  EnterDirectory(s.ws, r, s.ui);
  EXPECT_EQ(s.ws.image.level, 0);
  EXPECT_EQ(s.ws.fileList.rows.size(), 1u);
}

TEST(Directory, IllegalFirstClusters) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"ZERO", kAttrDirectory, 0});
  b.AddEntry(kRoot, EntrySpec{"ONE", kAttrDirectory, 1});
  b.AddEntry(kRoot, EntrySpec{"HIGH", kAttrDirectory, 721});
  b.AddEntry(kRoot, EntrySpec{"PASTDATA", kAttrDirectory, 716});  // <= clusterLimit, past the image
  Session s(b);
  for (const char* name : {"ZERO.   ", "ONE.   ", "HIGH.   ", "PASTDATA.   "}) {
    SCOPED_TRACE(name);
    s.ui.messages.clear();
    FileRow r = s.Row(name);
    EXPECT_EQ(EnterDirectory(s.ws, r, s.ui), EnterOutcome::Illegal);
    EXPECT_EQ(s.ui.messages, std::vector<std::string>{std::string(msg::kIllegalDirectory)});
    EXPECT_EQ(s.ws.image.level, 0);
    EXPECT_EQ(s.ws.fileList.rows.size(), 4u);
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
  FileRow r = s.Row("A.   ");
  EnterDirectory(s.ws, r, s.ui);
  for (const char* name : {"LOOP.   ", "FREE.   ", "BAD.   "}) {
    SCOPED_TRACE(name);
    r = s.Row(name);
    EXPECT_EQ(EnterDirectory(s.ws, r, s.ui), EnterOutcome::BrokenChain);
    EXPECT_EQ(s.ws.image.level, 0);  // back at the root
    r = s.Row("A.   ");
    EnterDirectory(s.ws, r, s.ui);
  }
  EXPECT_TRUE(s.ui.messages.empty());
  // The chain of the current directory breaks while it is shown: the parent is listed.
  r = s.Row(".");
  WriteFatEntry(s.ws.image, a, 0);
  ReadDirectory(s.ws, s.ui);
  EXPECT_EQ(s.ws.image.level, 0);
  EXPECT_EQ(s.Captions(), (std::vector<std::string>{"A.   "}));
}

TEST(Directory, SelfContainingDirectoryStopsAt32Levels) {
  ImageBuilder b;
  std::uint16_t self = b.AddDirectory(kRoot, "SELF");
  b.AddEntry(self, EntrySpec{"SELF", kAttrDirectory, self});  // contains itself
  Session s(b);
  FileRow r = s.Row("SELF.   ");
  int entered = 0;
  for (int i = 0; i < 40; ++i) {
    r = s.Row("SELF.   ");
    EnterOutcome o = EnterDirectory(s.ws, r, s.ui);
    if (o == EnterOutcome::Entered)
      ++entered;
    else
      EXPECT_EQ(o, EnterOutcome::TooDeep);
  }
  EXPECT_EQ(entered, kDirStackDepth - 1);
  EXPECT_EQ(s.ws.image.level, kDirStackDepth - 1);
  EXPECT_EQ(s.ui.messages.back(), msg::kDirectoryTooDeep);
}

TEST(Directory, NothingListedWithoutUsableImage) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(10));
  b.Poke(13, 0);  // sectors per cluster 0
  Session s(b);
  ReadDirectory(s.ws, s.ui);
  EXPECT_TRUE(s.ws.fileList.rows.empty());
  EXPECT_TRUE(s.ws.listing.empty());
}

}  // namespace
}  // namespace quarnel
