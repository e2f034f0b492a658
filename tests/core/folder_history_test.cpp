// Back and Forward through the folders of an image, and a place shown again only as far as its
// folders are still there.
#include "core/folder_history.h"

#include <gtest/gtest.h>

#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/host_tree.h"
#include "support/image_builder.h"

namespace quarnel {
namespace {

const LocalDateTime kWhen{2024, 3, 9, 10, 20, 30};

FolderPlace Place(std::initializer_list<std::uint16_t> clusters) {
  FolderPlace p{{"\\", kRootDir}};
  for (std::uint16_t c : clusters)
    p.push_back({p.back().path + "D" + std::to_string(c) + "\\", {c}});
  return p;
}

TEST(FolderHistory, GoesBackAndForwardAndDropsWhatLayAheadOnANewVisit) {
  FolderHistory h;
  EXPECT_FALSE(h.Back());
  h.Visit(Place({}));
  h.Visit(Place({5}));
  h.Visit(Place({5}));  // the same place again is no step
  h.Visit(Place({5, 9}));
  ASSERT_TRUE(h.CanGoBack());
  EXPECT_TRUE(SamePlace(*h.Back(), Place({5})));
  EXPECT_TRUE(SamePlace(*h.Back(), Place({})));
  EXPECT_FALSE(h.CanGoBack());
  EXPECT_TRUE(SamePlace(*h.Forward(), Place({5})));
  h.Visit(Place({7}));  // a new way from here: {5, 9} is no longer ahead
  EXPECT_FALSE(h.CanGoForward());
  EXPECT_TRUE(SamePlace(*h.Back(), Place({5})));
  for (std::uint16_t c = 10; c < 10 + FolderHistory::kMostPlaces + 5; ++c) h.Visit(Place({c}));
  int steps = 0;
  while (h.Back()) ++steps;
  EXPECT_EQ(steps, static_cast<int>(FolderHistory::kMostPlaces) - 1);
  h.Clear();
  EXPECT_FALSE(h.CanGoBack() || h.CanGoForward());
}

// GAMES\SUB is shown again by its clusters; once SUB is deleted and a file took its cluster,
// going there stops at GAMES instead of listing the file's bytes as a directory.
TEST(FolderHistory, RevisitStopsAtTheDeepestFolderStillThere) {
  test::ImageBuilder b;
  Workspace ws;
  ws.LoadImageBytes(b.Bytes(), "a.dsk");
  ASSERT_EQ(MakeDirectory(ws.image, kRootDir, "GAMES", kWhen), AddStatus::Added);
  const DirRef games = *FindSubdirectory(ws.image, kRootDir, "GAMES");
  ASSERT_EQ(MakeDirectory(ws.image, games, "SUB", kWhen), AddStatus::Added);
  const DirRef sub = *FindSubdirectory(ws.image, games, "SUB");
  const FolderPlace place{{"\\", kRootDir}, {"\\GAMES\\", games}, {"\\GAMES\\SUB\\", sub}};

  EXPECT_TRUE(RevisitPlace(ws, place));
  EXPECT_EQ(ws.CurrentPath(), "\\GAMES\\SUB\\");

  const auto inGames = ListDirectory(ws.image, games);
  for (const FileEntry& e : EntriesOf(*inGames)) {
    if (e.IsDirectory() && !e.IsDot()) {
      ASSERT_TRUE(DeleteTree(ws.image, *inGames, e) == DeleteStatus::Deleted);
    }
  }
  NewFile file;
  file.name = "DATA.BIN";
  file.bytes.assign(100, 0x20);
  file.modified = kWhen;
  ASSERT_EQ(AddFileData(ws.image, games, file), AddStatus::Added);
  EXPECT_FALSE(RevisitPlace(ws, place));
  EXPECT_EQ(ws.CurrentPath(), "\\GAMES\\");
  EXPECT_EQ(ws.CurrentDir(), games);
}

}  // namespace
}  // namespace quarnel
