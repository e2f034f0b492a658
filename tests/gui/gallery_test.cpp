// The gallery window: the pictures of a directory and below as thumbnails in their own modes,
// made away from the window; a double-click shows one in the viewer; the file list's large
// icons show the same thumbnails.
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "../../samples/demo_files.h"
#include "app/gallery/gallery_window.h"
#include "app/gallery/thumbnail_maker.h"
#include "app/main/document.h"
#include "app/main/navigation_actions.h"
#include "app/main/type_icons.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/viewer_window.h"
#include "gui_fixture.h"
#include "support/real_data.h"
#include "viewers/picture_decoder.h"
#include "viewers/thumbnail.h"

namespace quarnel::test {

namespace {

using viewers::PictureMode;

// The viewer's picture made small as the gallery makes its thumbnails.
QImage ThumbnailOf(const viewers::Picture& picture) {
  return PictureImage(viewers::MakeThumbnail(picture));
}

QImage Rgb32(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

class GalleryTest : public WindowTest {
 protected:
  // Opens `image` and its gallery (View › Gallery); waits until every thumbnail is shown.
  GalleryWindow& OpenGallery(const std::filesystem::path& image) {
    Start({image.string()});
    viewer = w->findChild<ViewerWindow*>();
    g = w->findChild<GalleryWindow*>();
    EXPECT_NE(g, nullptr);
    TriggerGallery();
    return *g;
  }
  void TriggerGallery() {
    for (QAction* a : w->findChildren<QAction*>())
      if (a->text() == QStringLiteral("&Gallery")) {
        a->trigger();
        return;
      }
    ADD_FAILURE() << "no Gallery action";
  }
  bool WaitFilled() {
    return QTest::qWaitFor([this] { return g->Shown() == static_cast<int>(g->pictures().size()); },
                           60000);
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> out;
    for (const viewers::PictureEntry& p : g->pictures()) out.push_back(p.path);
    return out;
  }
  const Thumbnail* ThumbnailAt(std::size_t i) const {
    return g->maker()->cache().Find(g->maker()->KeyOf(g->pictures()[i]));
  }
  // Shows picture `i` in the viewer as a double-click on it does.
  void DoubleClickPicture(int i) {
    QListWidget* list = g->list();
    const QPoint at = list->visualItemRect(list->item(i)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
  }

  GalleryWindow* g = nullptr;
  ViewerWindow* viewer = nullptr;
};

// Root: a picture and a text file; GAMES: two pictures and DEEP with one more.
std::filesystem::path TreeOfPictures(const std::filesystem::path& dir) {
  ImageBuilder b;
  b.AddFile(kRoot, "TITLE.SC5", demo::DemoScreen5());
  b.AddFile(kRoot, "README.TXT", Pattern(300, 1));
  const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  b.AddFile(games, "MAP.SC8", demo::DemoScreen8());
  const std::uint16_t deep = b.AddDirectory(games, "DEEP");
  b.AddFile(games, "LEVEL.SC2", demo::DemoScreen2());
  b.AddFile(deep, "ART.S12", demo::DemoScreen12());
  const auto path = dir / "tree.dsk";
  b.WriteTo(path);
  return path;
}

}  // namespace

TEST_F(GalleryTest, DoubleClickShowsAPictureOfASubdirectoryInItsMode) {
  OpenGallery(TreeOfPictures(dir.path()));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"TITLE.SC5", "GAMES\\MAP.SC8", "GAMES\\LEVEL.SC2",
                                               "GAMES\\DEEP\\ART.S12"}));
  ASSERT_TRUE(WaitFilled());
  EXPECT_TRUE(g->list()->item(1)->text().contains(QStringLiteral("SCREEN 8")));
  // The main window shows the root; the picture lies in GAMES.
  DoubleClickPicture(1);
  ASSERT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer->pictureMode(), PictureMode::Screen8);
  ASSERT_TRUE(viewer->fileViews().viewedEntry());
  EXPECT_EQ(viewer->fileViews().viewedEntry()->firstCluster, g->pictures()[1].entry.firstCluster);
  ASSERT_NE(viewer->fileViews().picture(), nullptr);
  EXPECT_EQ(Rgb32(ThumbnailOf(*viewer->fileViews().picture())), Rgb32(ThumbnailAt(1)->image));
  EXPECT_EQ(w->disk()->CurrentDir(), kRootDir);
}

TEST_F(GalleryTest, GalleryOfASubdirectoryHoldsItsPicturesAndThoseBelow) {
  Start({TreeOfPictures(dir.path()).string()});
  g = w->findChild<GalleryWindow*>();
  DoubleClick("GAMES.   ");  // a directory's caption keeps the extension's blanks
  ASSERT_NE(w->disk()->CurrentDir(), kRootDir);
  TriggerGallery();
  EXPECT_EQ(Paths(), (std::vector<std::string>{"MAP.SC8", "LEVEL.SC2", "DEEP\\ART.S12"}));
  // Its directory deleted: the gallery goes to the root rather than list the freed clusters.
  w->navigation()->GoToLevel(0);
  Select({"GAMES.   "});
  ui.core.yesNo = {true};
  w->editActions()->remove()->trigger();
  ASSERT_EQ(RowOf("GAMES.   "), -1);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Paths() == std::vector<std::string>{"TITLE.SC5"}; }));
}

// A picture rewritten in place (same slot, cluster and size) shows its new bytes: the thumbnail
// of its old ones is not taken for it.
TEST_F(GalleryTest, APictureChangedInPlaceShowsItsNewBytes) {
  OpenGallery(TreeOfPictures(dir.path()));
  ASSERT_TRUE(WaitFilled());
  const viewers::PictureEntry title = g->pictures()[0];
  const QImage before = ThumbnailAt(0)->image;
  std::vector<std::uint8_t> bytes = demo::DemoScreen5();
  for (std::size_t i = 7; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const DiskGeometry& geometry = w->disk()->image.geometry;
  const std::uint64_t at =
      geometry.dataOffset + std::uint64_t{title.entry.firstCluster - 2u} * geometry.clusterBytes;
  w->document()->Change(QStringLiteral("rewrite"),
                        [&] { w->disk()->image.Write(at, Bytes(bytes.data(), 1024)); });
  QApplication::processEvents();
  ASSERT_TRUE(WaitFilled());
  FileRead now = ReadFile(w->disk()->image, title.entry);
  const auto decoded = viewers::DecodePicture(title.mode, now.bytes);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(Rgb32(ThumbnailAt(0)->image), Rgb32(ThumbnailOf(*decoded.picture)));
  EXPECT_NE(Rgb32(ThumbnailAt(0)->image), Rgb32(before));
}

TEST_F(GalleryTest, LargeIconsShowThePictureFilesThumbnails) {
  OpenGallery(TreeOfPictures(dir.path()));
  ASSERT_TRUE(WaitFilled());
  g->close();
  auto icon = [this](const std::string& caption) {
    return qvariant_cast<QIcon>(
        w->listModel()->data(w->listModel()->index(RowOf(caption), 0), Qt::DecorationRole));
  };
  const QSize box(viewers::kThumbnailWidth, viewers::kThumbnailHeight);
  const QImage thumbnail = Rgb32(ThumbnailAt(0)->image);
  // The report style keeps the type icons.
  EXPECT_NE(Rgb32(icon("TITLE.SC5").pixmap(box).toImage()), thumbnail);
  w->SetListStyle(2);
  EXPECT_EQ(Rgb32(icon("TITLE.SC5").pixmap(box).toImage()), thumbnail);
  const FileRow* readme = w->listModel()->Row(RowOf("README.TXT"));
  EXPECT_EQ(Rgb32(icon("README.TXT").pixmap(64).toImage()),
            Rgb32(TypeIcon(readme->icon).pixmap(64).toImage()));
}

// A full 720 KB disk of 100 pictures: the window keeps answering while the thumbnails come. The
// longest time the event loop was kept from a 10 ms timer is printed, not asserted: it depends on
// the machine.
TEST_F(GalleryTest, AHundredPicturesFillWhileTheWindowKeepsAnswering) {
  ImageBuilder b;
  const char* extensions[] = {"SC2", "SC5", "SC8", "S12", "SC7"};
  for (int i = 0; i < 100; ++i) {
    // 4.9 KB of video memory each (5 clusters): the top of the picture, different for each.
    std::vector<std::uint8_t> vram(4900);
    for (std::size_t k = 0; k < vram.size(); ++k)
      vram[k] = static_cast<std::uint8_t>(k * (i + 3) + (k >> 7) * i);
    char name[16];
    std::snprintf(name, sizeof name, "PIC%03d.%s", i, extensions[i % 5]);
    b.AddFile(kRoot, name, demo::Bsave(0, vram));
  }
  const auto path = dir.path() / "hundred.dsk";
  b.WriteTo(path);
  Start({path.string()});
  g = w->findChild<GalleryWindow*>();

  QElapsedTimer clock, sinceTick;
  qint64 longest = 0, firstShown = -1;
  QTimer tick;
  tick.setInterval(10);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceTick.restart());
    if (firstShown < 0 && g->Shown() > 0) firstShown = clock.elapsed();
  });
  clock.start();
  sinceTick.start();
  tick.start();
  TriggerGallery();
  ASSERT_EQ(g->pictures().size(), 100u);
  ASSERT_TRUE(WaitFilled());
  const qint64 all = clock.elapsed();
  tick.stop();
  std::printf(
      "gallery of 100 pictures: first thumbnail after %lld ms, all after %lld ms, "
      "longest event-loop stall %lld ms\n",
      static_cast<long long>(firstShown), static_cast<long long>(all),
      static_cast<long long>(longest));
  for (int i = 0; i < 100; ++i)
    EXPECT_FALSE(ThumbnailAt(static_cast<std::size_t>(i))->image.isNull()) << i;
}

// The real pictures on a disk of ours (some in a subdirectory) and the real disks with pictures:
// each picture in the gallery shows in the mode its extension names, and its thumbnail is the
// viewer's picture of it made small.
class RealGallery : public GalleryTest {
 protected:
  static PictureMode ModeOfExtension(std::string ext) {
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::pair<const char*, PictureMode> modes[] = {
        {"SC1", PictureMode::Screen1}, {"SC2", PictureMode::Screen2}, {"S02", PictureMode::Screen2},
        {"SC5", PictureMode::Screen5}, {"S05", PictureMode::Screen5}, {"SC6", PictureMode::Screen6},
        {"SC7", PictureMode::Screen7}, {"SC8", PictureMode::Screen8}, {"S08", PictureMode::Screen8},
        {"S12", PictureMode::Screen12}};
    for (const auto& [e, m] : modes)
      if (ext == e) return m;
    ADD_FAILURE() << "no mode for ." << ext;
    return PictureMode::Screen2;
  }

  // Every picture of the gallery against the viewer; returns how many were compared.
  int CompareWithViewer() {
    EXPECT_TRUE(WaitFilled());
    int compared = 0;
    for (std::size_t i = 0; i < g->pictures().size(); ++i) {
      const viewers::PictureEntry& p = g->pictures()[i];
      const std::string caption = p.entry.Caption();
      SCOPED_TRACE(p.path);
      EXPECT_EQ(p.mode, ModeOfExtension(caption.substr(caption.rfind('.') + 1)));
      const Thumbnail* t = ThumbnailAt(i);
      if (!t) {
        ADD_FAILURE() << "no thumbnail";
        continue;
      }
      FileRead read = ReadFile(w->disk()->image, p.entry);
      if (t->image.isNull()) {
        // No picture (an empty file): the viewer has none either.
        EXPECT_FALSE(viewers::DecodePicture(p.mode, read.bytes).ok());
        continue;
      }
      g->OpenPicture(static_cast<int>(i));
      QApplication::processEvents();
      EXPECT_EQ(viewer->pictureMode(), p.mode);
      if (!viewer->fileViews().picture()) {
        ADD_FAILURE() << "the viewer shows no picture";
        continue;
      }
      EXPECT_EQ(Rgb32(ThumbnailOf(*viewer->fileViews().picture())), Rgb32(t->image));
      ++compared;
    }
    return compared;
  }
};

TEST_F(RealGallery, RealPicturesOnADiskShowInTheirModes) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  ImageBuilder b;
  const std::uint16_t more = b.AddDirectory(kRoot, "MORE");
  int n = 0;
  std::vector<std::filesystem::path> files;
  for (const auto& f : std::filesystem::directory_iterator(RealDataDir("pictures")))
    if (f.path().extension() != ".png" && f.path().extension() != ".PNG") files.push_back(f.path());
  std::sort(files.begin(), files.end());
  for (const auto& f : files) {
    std::string ext = f.extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    char name[16];
    std::snprintf(name, sizeof name, "P%02d%s", n, ext.c_str());
    b.AddFile(n % 2 ? more : kRoot, name, ReadHostFile(f));
    ++n;
  }
  const auto path = dir.path() / "real.dsk";
  b.WriteTo(path);
  OpenGallery(path);
  EXPECT_EQ(g->pictures().size(), files.size());
  EXPECT_EQ(CompareWithViewer(), n);
}

TEST_F(RealGallery, RealDisksShowTheirPicturesInTheirModes) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  const char* disks[] = {"aoineko-fr_MSXgl__projects__samples__emul__dsk__DOS1_s_dos.dsk",
                         "aoineko-fr_MSXgl__projects__samples__emul__dsk__DOS2_s_dos2.dsk"};
  for (const char* disk : disks) {
    SCOPED_TRACE(disk);
    const auto copy = dir.path() / "disk.dsk";
    std::filesystem::copy_file(RealDataDir("dsk") / disk, copy,
                               std::filesystem::copy_options::overwrite_existing);
    OpenGallery(copy);
    EXPECT_GE(g->pictures().size(), 3u);
    EXPECT_GE(CompareWithViewer(), 3);
    TearDown();
  }
}

}  // namespace quarnel::test
