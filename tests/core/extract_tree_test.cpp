// Extracting a tree into host folders in the core: what lands on the host, and what is skipped
// and said, in order.
#include "core/extract_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dir_entry.h"
#include "core/disk_check.h"
#include "core/messages.h"
#include "core/tree_map.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ImageBuilder;
using test::kRoot;

DiskImage Load(const std::vector<std::uint8_t>& bytes) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(bytes, "disk.dsk");
  return ws.image;
}

TEST(TreeExtractor, WritesTheTreeAndSaysWhatItSkips) {
  ImageBuilder b;
  b.AddFile(kRoot, "TOP.TXT", {1, 2, 3});
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "A.BIN", test::Pattern(3000));
  b.AddFile(sub, "B.BIN", {9});
  b.AddEntry(sub, {"B.BIN", kAttrArchive, 0, 0});   // the same name twice
  b.AddEntry(sub, {"UP", kAttrDirectory, sub, 0});  // leads back to SUB
  b.AddEntry(sub, {"ROOT", kAttrDirectory, 0, 0});  // leads to the root
  const DiskImage img = Load(b.Bytes());
  test::TempDir dir;
  TreeExtractor tree(img, dir / "disk.dsk");
  EXPECT_FALSE(tree.Directory(kRootDir, dir.path(), "", 0));
  tree.Finish(dir.path());
  const std::vector<std::string> notes = tree.TakeNotes();
  const std::vector<std::string> want = {
      "SUB/B.BIN extracted as B~1.BIN",
      std::string(msg::kDirectoryLoopSkipped) + "SUB/UP",
      std::string(msg::kDirectoryLoopSkipped) + "SUB/ROOT",
  };
  EXPECT_EQ(notes, want);
  EXPECT_TRUE(tree.TakeNotes().empty());
  EXPECT_EQ(test::ReadHostFile(dir / "TOP.TXT"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(test::ReadHostFile(dir / "SUB" / "A.BIN"), test::Pattern(3000));
  EXPECT_EQ(test::ReadHostFile(dir / "SUB" / "B.BIN"), std::vector<std::uint8_t>{9});
  EXPECT_TRUE(fs::exists(dir / "SUB" / "B~1.BIN"));
  EXPECT_FALSE(fs::exists(dir / "SUB" / "UP"));
}

TEST(TreeExtractor, NeverWritesOverTheImage) {
  ImageBuilder b;
  b.AddFile(kRoot, "DISK.DSK", {1});
  test::TempDir dir;
  b.WriteTo(dir / "DISK.DSK");
  const DiskImage img = Load(b.Bytes());
  TreeExtractor tree(img, dir / "DISK.DSK");
  EXPECT_FALSE(tree.Directory(kRootDir, dir.path(), "", 0));
  EXPECT_EQ(tree.TakeNotes(), std::vector<std::string>{std::string(msg::kOutputIsInput) +
                                                       (dir / "DISK.DSK").string()});
  EXPECT_EQ(test::ReadHostFile(dir / "DISK.DSK"), b.Bytes());
}

// A name stored with 0x05 for its first byte is the 0xE5 it stands for: the check names the
// entry as the list shows it.
TEST(TreeMap, PathsShowTheFirstByteAsListsDo) {
  ImageBuilder b;
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  std::array<std::uint8_t, 32> raw{};
  const char name[] = "\x05zork   bas";
  std::copy(name, name + 11, raw.begin());
  raw[11] = kAttrArchive;
  b.PutRawEntry(sub, b.AddEntry(sub, {"X"}), raw);
  const DiskImage img = Load(b.Bytes());
  const DiskCheck check = CheckDisk(img);
  ASSERT_EQ(check.findings.size(), 1u);
  EXPECT_EQ(check.findings[0].path, "SUB\\\xE5zork.bas");
}

}  // namespace
}  // namespace quarnel
