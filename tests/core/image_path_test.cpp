// Paths inside an image resolved without a workspace: where each path leads, why one does not,
// and that resolving never moves a workspace's shown directory.
#include "core/image_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dir_entry.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::ImageBuilder;
using test::kRoot;

// \GAMES\ZORK.BAS, \GAMES\OLD\ (a directory whose chain breaks), \GAMES\BAD (a directory entry
// with first cluster 1), \README, a chain of 33 nested directories under \DEEP, and \TWICE
// holding SAME.TXT twice (the second in lower case, as a damaged directory may).
std::vector<std::uint8_t> Disk() {
  ImageBuilder b;
  const std::uint16_t twice = b.AddDirectory(kRoot, "TWICE");
  b.AddFile(twice, "SAME.TXT", {1});
  b.AddFile(twice, "same.txt", {2});
  b.AddFile(twice, "OTHER.TXT", {3});
  b.AddFile(kRoot, "README", {1, 2, 3});
  const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  b.AddFile(games, "ZORK.BAS", {4, 5});
  const std::uint16_t old = b.AddDirectory(games, "OLD");
  b.SetFat(old, 0xF00);  // the chain leads past the disk
  b.AddEntry(games, {"BAD", kAttrDirectory, 1, 0});
  std::uint16_t deep = b.AddDirectory(kRoot, "DEEP");
  for (int level = 0; level < 33; ++level) deep = b.AddDirectory(deep, "D");
  return b.Bytes();
}

TEST(Resolve, FindsEntriesAndSaysWhyNot) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(Disk(), "disk.dsk");
  ASSERT_TRUE(ws.HasImage());
  std::string deep = "DEEP";
  for (int level = 0; level < 30; ++level) deep += "/D";
  const struct {
    std::string path;
    PathStatus status;
    std::string found;    // the caption of the entry, or the name that failed
    std::string dirPath;  // where the entry lies
    EnterOutcome why = EnterOutcome::Entered;
  } cases[] = {
      {"games/zork.bas", PathStatus::Ok, "ZORK.BAS", "\\GAMES.   \\"},
      {"\\GAMES\\ZORK.BAS", PathStatus::Ok, "ZORK.BAS", "\\GAMES.   \\"},
      {"GAMES/../README", PathStatus::Ok, "README.   ", "\\"},
      {"./GAMES/./zork.bas", PathStatus::Ok, "ZORK.BAS", "\\GAMES.   \\"},
      {"GAMES/NONE.BAS", PathStatus::NotFound, "NONE.BAS", ""},
      {"README/X", PathStatus::NotADirectory, "README", ""},
      {"GAMES/OLD/X", PathStatus::Failed, "OLD", "", EnterOutcome::BrokenChain},
      {"GAMES/BAD/X", PathStatus::Failed, "BAD", "", EnterOutcome::Illegal},
      {deep + "/D", PathStatus::Ok, "D.   ", ""},
      {deep + "/D/X", PathStatus::Failed, "D", "", EnterOutcome::TooDeep},
      {"", PathStatus::NotFound, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ASSERT_EQ(ChangeDirectory(ws, "GAMES").status, PathStatus::Ok);
    const Resolved r = Resolve(ws.image, c.path);
    EXPECT_EQ(r.result.status, c.status);
    if (c.status == PathStatus::Ok) {
      ASSERT_TRUE(r.entry);
      EXPECT_EQ(r.entry->Caption(), c.found);
      if (!c.dirPath.empty()) {
        EXPECT_EQ(r.DirPath(), c.dirPath);
      }
      EXPECT_EQ(r.listing.dir, r.folders.back().dir);
    } else {
      EXPECT_EQ(r.result.missing, c.found);
      EXPECT_EQ(r.result.enterOutcome, c.why);
    }
    // The workspace still shows the directory it showed.
    EXPECT_EQ(ws.CurrentPath(), "\\GAMES.   \\");
    EXPECT_TRUE(FindEntry(ws, "ZORK.BAS"));
  }
}

// Every path the table above walks, found through an index as Resolve finds it; and after entries
// are deleted behind its back and it is told so, the index finds what Resolve finds then (a second
// entry of the same name in a damaged directory, or nothing).
TEST(PathIndex, FindsWhatResolveFinds) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(Disk(), "disk.dsk");
  ASSERT_TRUE(ws.HasImage());
  DiskImage& image = ws.image;
  std::string deep = "DEEP";
  for (int level = 0; level < 31; ++level) deep += "/D";
  const std::vector<std::string> paths = {"games/zork.bas",
                                          "\\GAMES\\ZORK.BAS",
                                          "GAMES/../README",
                                          "GAMES/OLD/../ZORK.BAS",
                                          "./GAMES/./zork.bas",
                                          "GAMES/NONE.BAS",
                                          "README/X",
                                          "GAMES/OLD/X",
                                          "GAMES/BAD/X",
                                          deep,
                                          deep + "/X",
                                          "",
                                          "TWICE/SAME.TXT",
                                          "twice/other.txt",
                                          "README.",
                                          "GAMES/.."};
  auto expectAgrees = [&](PathIndex& index) {
    for (const auto& path : paths) {
      SCOPED_TRACE(path);
      const Resolved want = Resolve(image, path);
      const PathIndex::Found got = index.Resolve(path);
      EXPECT_EQ(got.result.status, want.result.status);
      EXPECT_EQ(got.result.missing, want.result.missing);
      EXPECT_EQ(got.result.enterOutcome, want.result.enterOutcome);
      EXPECT_EQ(got.entry.has_value(), want.entry.has_value());
      if (got.entry && want.entry) {
        EXPECT_EQ(got.entry->offset, want.entry->offset);
      }
      if (want.result.status == PathStatus::Ok) {
        ASSERT_NE(got.listing, nullptr);
        EXPECT_EQ(got.listing->dir, want.listing.dir);
        EXPECT_EQ(got.listing->table.size(), want.listing.table.size());
      }
    }
  };
  PathIndex index(image);
  expectAgrees(index);
  for (int round = 0; round < 2; ++round) {  // SAME.TXT goes, then its lower-case twin
    const Resolved same = Resolve(image, "TWICE/SAME.TXT");
    ASSERT_TRUE(same.entry);
    ASSERT_TRUE(image.PutByte(same.entry->offset, kEntryDeleted));
    index.Reread(same.entry->dir, same.entry->slot, same.entry->slot);
    expectAgrees(index);
  }
  EXPECT_EQ(index.Resolve("TWICE/SAME.TXT").result.status, PathStatus::NotFound);
}

TEST(Resolve, NothingWithoutAnImage) {
  EXPECT_EQ(Resolve(DiskImage{}, "A.TXT").result.status, PathStatus::NoImage);
  Workspace ws;
  EXPECT_EQ(ChangeDirectory(ws, "GAMES").status, PathStatus::NoImage);
}

}  // namespace
}  // namespace quarnel
