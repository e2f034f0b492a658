// The rows of the file list: size, type, date and attribute texts, icons, the summary and the
// volume name as the list shows it.
#include "listing/file_rows.h"

#include <gtest/gtest.h>

#include "core/dir_entry.h"
#include "core/workspace.h"
#include "listing/messages.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

struct Listed {
  Workspace ws;
  test::ScriptedUi ui;
  FileListing list;
  explicit Listed(const ImageBuilder& b) {
    ws.LoadImageBytes(b.Bytes(), "/i/t.dsk");
    list = ListRows(ws);
  }
  FileRow Row(std::string_view caption) const {
    for (const auto& r : list.rows)
      if (r.caption == caption) return r;
    ADD_FAILURE() << "no row " << caption;
    return {};
  }
};

TEST(FileRows, RowsAsListed) {
  ImageBuilder b;
  b.AddFile(kRoot, "BIG.BIN", test::Pattern(70000), kAttrArchive | kAttrReadOnly);
  b.AddEntry(kRoot, EntrySpec{".", kAttrDirectory});
  b.AddEntry(kRoot, EntrySpec{"..", kAttrDirectory});
  b.AddEntry(kRoot, EntrySpec{"README"});
  b.AddEntry(kRoot, EntrySpec{"PROG.C"});
  b.AddDirectory(kRoot, "GAMES");
  Listed l(b);
  const FileRow big = l.Row("BIG.BIN");
  EXPECT_EQ(big.sizeText, "  70000 Bytes");
  EXPECT_EQ(big.type, "Binary file");
  EXPECT_EQ(big.icon, 4);
  EXPECT_EQ(big.modified, "5/04/2002 13:05:08");
  EXPECT_EQ(big.attrib, "A....R");
  EXPECT_EQ(big.slot, 0);
  const FileRow games = l.Row("GAMES.   ");
  EXPECT_EQ(games.attrib, ".D....");
  EXPECT_EQ(games.sizeText, "");
  EXPECT_EQ(games.type, "Directory");
  EXPECT_EQ(games.icon, 6);
  EXPECT_EQ(l.Row("PROG.C  ").type, "C  ");  // the extension itself
  EXPECT_EQ(l.list.filesListed, 6);
  EXPECT_EQ(l.list.summary, "6 Files Listed \n" + std::to_string(643 * 1024) + " Bytes free ");
}

TEST(FileRows, TypeTable) {
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

TEST(FileRows, DirectoryAndVolumeRowsGoByTheAttributeAsTheTypeTextDoes) {
  for (int attr = 0; attr < 256; ++attr) {
    SCOPED_TRACE(attr);
    FileRow row;
    row.attribute = static_cast<std::uint8_t>(attr);
    row.type = TypeForEntry("BIN", row.attribute).text;
    EXPECT_EQ(row.IsDirectory(), row.type == listing::msg::kTypeDirectory);
    EXPECT_EQ(row.IsVolume(), row.type == listing::msg::kTypeVolume);
  }
  // A row of another listing that only reads "Directory" is none.
  FileRow tape;
  tape.type = listing::msg::kTypeDirectory;
  EXPECT_FALSE(tape.IsDirectory());
}

TEST(FileRows, VolumeNameFromTheFirstLabelOfTheRoot) {
  ImageBuilder b;
  b.AddVolume("MY.DISK");
  std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddEntry(sub, EntrySpec{"OTHER", kAttrVolume});
  Listed l(b);
  EXPECT_EQ(l.Row("MYDISK   ").type, "Volume Name");
  EXPECT_EQ(l.Row("MYDISK   ").sizeText, "");
  EXPECT_EQ(ListedVolumeName(l.ws.image), "MYDISK   ");
  // A long-name piece carries bit 0x08 but names no volume.
  ImageBuilder pc;
  std::array<std::uint8_t, 32> lfn{};
  lfn[0] = 0x41;
  lfn[11] = 0x0F;
  pc.PutRawEntry(kRoot, 0, lfn);
  pc.AddEntry(kRoot, EntrySpec{"A.TXT"});
  Listed p(pc);
  EXPECT_EQ(ListedVolumeName(p.ws.image), "");
  for (const auto& r : p.list.rows) EXPECT_NE(r.type, "Volume Name") << r.caption;
}

// The modified column as printf's "%d/%02d/%d %d:%02d:%02d" writes it: day, year and hour
// unpadded, month, minute and second two digits.
TEST(FormatModified, PadsMonthMinuteAndSecondOnly) {
  struct Case {
    int day, month, year, hour, minute, second;
    const char* text;
  };
  for (const Case& c : {Case{1, 1, 1980, 0, 0, 0, "1/01/1980 0:00:00"},
                        Case{31, 12, 2107, 23, 59, 58, "31/12/2107 23:59:58"},
                        Case{9, 10, 1999, 9, 9, 9, "9/10/1999 9:09:09"},
                        Case{0, 0, 1980, 0, 0, 62, "0/00/1980 0:00:62"}}) {
    FileEntry e;
    e.day = c.day;
    e.month = c.month;
    e.year = c.year;
    e.hour = c.hour;
    e.minute = c.minute;
    e.second = c.second;
    EXPECT_EQ(FormatModified(e), c.text);
  }
}

}  // namespace
}  // namespace quarnel
