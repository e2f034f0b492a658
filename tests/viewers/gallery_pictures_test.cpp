// The pictures of a directory and below (the desktop gallery's list) and thumbnails.
#include <gtest/gtest.h>

#include "core/workspace.h"
#include "support/image_builder.h"
#include "viewers/disk_pictures.h"
#include "viewers/thumbnail.h"

namespace quarnel::viewers {
namespace {

using test::EntrySpec;
using test::ImageBuilder;
using test::kRoot;

std::vector<std::string> Paths(const std::vector<PictureEntry>& found) {
  std::vector<std::string> out;
  for (const PictureEntry& p : found) out.push_back(p.path);
  return out;
}

// Each directory's own pictures first, then the directories below, level by level; a
// subdirectory entry that leads back to a directory already read (here: to itself and to its
// parent) and one whose chain starts outside the disk end the walk there.
TEST(PicturesBelow, WalkEveryDirectoryOnceFromTheOneAsked) {
  ImageBuilder b;
  b.AddFile(kRoot, "TITLE.SC5", std::vector<std::uint8_t>(100, 0xFE));
  const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  b.AddFile(kRoot, "README.TXT", {1, 2, 3});
  b.AddFile(games, "MAP.SC8", std::vector<std::uint8_t>(50, 0xFE));
  const std::uint16_t deep = b.AddDirectory(games, "DEEP");
  b.AddEntry(games, {"SELF", 0x10, games, 0});
  b.AddEntry(deep, {"UP", 0x10, games, 0});
  b.AddEntry(deep, {"LOST", 0x10, 0xFF0, 0});
  b.AddFile(deep, "ART.S12", std::vector<std::uint8_t>(50, 0xFE));
  b.AddFile(games, "TILES.SC2", std::vector<std::uint8_t>(50, 0xFE));
  Workspace ws;
  ws.LoadImageBytes(b.Bytes(), "t.dsk");
  ASSERT_TRUE(ws.HasImage());

  const auto all = FindPicturesBelow(ws.image, kRootDir);
  EXPECT_EQ(Paths(all), (std::vector<std::string>{"TITLE.SC5", "GAMES\\MAP.SC8", "GAMES\\TILES.SC2",
                                                  "GAMES\\DEEP\\ART.S12"}));
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[1].mode, PictureMode::Screen8);
  EXPECT_EQ(all[3].mode, PictureMode::Screen12);
  // By value: the entry's own directory and slot.
  EXPECT_EQ(all[3].entry.dir, DirRef{deep});
  EXPECT_EQ(ListDirectory(ws.image, DirRef{deep}).has_value(), true);
  EXPECT_EQ(EntryAt(*ListDirectory(ws.image, DirRef{deep}), all[3].entry.slot)->Caption(),
            "ART.S12");

  EXPECT_EQ(Paths(FindPicturesBelow(ws.image, DirRef{games})),
            (std::vector<std::string>{"MAP.SC8", "TILES.SC2", "DEEP\\ART.S12"}));
}

Picture Flat(PictureMode mode, int w, int h, int displayW, int displayH) {
  Picture p;
  p.mode = mode;
  p.width = w;
  p.height = h;
  p.displayWidth = displayW;
  p.displayHeight = displayH;
  p.palette = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
  p.pixels.resize(static_cast<std::size_t>(w) * h);
  // A checkerboard of black and white columns, a red bottom row.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.pixels[static_cast<std::size_t>(y) * w + x] = y == h - 1 ? 2 : (x + y) % 2;
  return p;
}

// A thumbnail keeps the shape the picture has on the screen (screens 6 and 7 as wide as 256)
// and shows the mean colour of what it covers.
TEST(Thumbnail, FitsTheBoxAtTheScreenShapeWithMeanColours) {
  struct Case {
    Picture picture;
    int width, height;
  } cases[] = {
      {Flat(PictureMode::Screen2, 256, 192, 256, 192), 128, 96},
      {Flat(PictureMode::Screen7, 512, 212, 256, 212), 128, 106},
      {Flat(PictureMode::Screen5, 256, 212, 256, 212), 128, 106},
      {Flat(PictureMode::Screen1, 40, 20, 40, 20), 40, 20},  // never made larger
  };
  for (const Case& c : cases) {
    const Picture t = MakeThumbnail(c.picture);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.height, c.height);
    EXPECT_EQ(t.format, Picture::Format::Rgb);
    if (c.width < c.picture.width) {
      EXPECT_EQ(t.ColourAt(3, 3), (Rgb{128, 128, 128}));
    }
  }
  EXPECT_EQ(MakeThumbnail(Picture{}).width, 0);
}

}  // namespace
}  // namespace quarnel::viewers
