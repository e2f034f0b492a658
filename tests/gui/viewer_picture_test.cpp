// Pictures in the viewer window: what is on screen against the decoders, the window sizes,
// copying the client area, refused files; and the entries of a cassette image.
#include <QClipboard>
#include <QMenu>
#include <fstream>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

viewers::Picture Decoded(viewers::PictureMode mode, const std::vector<std::uint8_t>& bytes) {
  auto r = viewers::DecodePicture(mode, Bytes(bytes.data(), bytes.size()));
  EXPECT_TRUE(r.ok());
  return r.picture ? *r.picture : viewers::Picture{};
}

TEST_F(ViewerTest, AScreen2PictureIsShownPixelForPixel) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC2");
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen2);
  EXPECT_EQ(viewer.windowTitle(), "Screen 2 display of DEMO.SC2");
  EXPECT_TRUE(viewer.image()->isVisible());
  EXPECT_FALSE(viewer.richEdit()->isVisible());
  EXPECT_FALSE(viewer.panel()->isVisible());
  EXPECT_EQ(viewer.image()->size(), QSize(256, 192));
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Screen2, demo::DemoScreen2()));
}

// Page Down / Page Up go through the directory's pictures in list order, past the files that
// are no picture, and stop at either end; a text view offers neither.
TEST_F(ViewerTest, PageDownAndUpBrowseThePicturesOfTheDirectory) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SCB");
  ASSERT_TRUE(viewer.nextPictureAction()->isEnabled());
  viewer.nextPictureAction()->trigger();  // README.TXT and TOOL.COM are passed over
  EXPECT_EQ(viewer.windowTitle(), "Screen 3 display of DEMO.SC3");
  viewer.previousPictureAction()->trigger();
  EXPECT_EQ(viewer.windowTitle(), "Screen 11 display of DEMO.SCB");
  Open("DEMO.SC2");
  viewer.previousPictureAction()->trigger();  // the first picture: nothing before it
  EXPECT_EQ(viewer.windowTitle(), "Screen 2 display of DEMO.SC2");
  Open("README.TXT");
  EXPECT_FALSE(viewer.nextPictureAction()->isEnabled());
}

// The main list follows the browsing: the picture shown is the row selected there, alone.
TEST_F(ViewerTest, BrowsingSelectsThePicturesRowInTheMainList) {
  ViewerWindow& viewer = StartWithImage();
  Select({"DEMO.SCB"});
  Open("DEMO.SCB");
  const struct {
    QAction* action;
    const char* selected;
  } steps[] = {{viewer.nextPictureAction(), "DEMO.SC3"},
               {viewer.nextPictureAction(), "DEMO.S04"},
               {viewer.previousPictureAction(), "DEMO.SC3"}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.selected);
    s.action->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w->fileList()->SelectedRows(), std::vector<int>{RowOf(s.selected)});
    EXPECT_EQ(w->fileList()->Selection()->currentIndex().row(), RowOf(s.selected));
  }
}

TEST_F(ViewerTest, AScreen8PictureIsShownPixelForPixel) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC8");
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen8);
  EXPECT_EQ(viewer.windowTitle(), "Screen 8 display of DEMO.SC8");
  EXPECT_EQ(viewer.image()->size(), QSize(256, 212));
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Screen8, demo::DemoScreen8()));
}

TEST_F(ViewerTest, Screen7SqueezedIntoA256PixelWindowKeepsTheFilesPalette) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC7");
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen7);
  // Shown in the MSX's shape; fitted to a 256 x 212 window it is squeezed as a whole.
  EXPECT_EQ(viewer.image()->size(), QSize(512, 424));
  viewer.resize(QSize(256, 212) + StatusBand(viewer));
  QApplication::processEvents();
  const viewers::Picture pic = Decoded(viewers::PictureMode::Screen7, demo::DemoScreen7());
  EXPECT_EQ(viewer.image()->Image().width(), 512);
  const QImage shown = Shown(viewer.image());
  ASSERT_EQ(shown.size(), QSize(256, 212));
  // Inside a band of one colour the squeezed picture keeps that colour (the file's palette).
  const viewers::Rgb c = pic.ColourAt(200, 10);
  EXPECT_EQ(shown.pixel(100, 10), qRgb(c.r, c.g, c.b));
  EXPECT_EQ(c, (viewers::Rgb{109, 36, 0}));  // entry 6 of the file: red 3, green 1
  EXPECT_NE(c, (viewers::Rgb{0, 0, 0}));
}

TEST_F(ViewerTest, Screen5And12FillTheirWindows) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC5");
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen5);
  EXPECT_EQ(viewer.image()->size(), QSize(256, 212));
  Open("DEMO.SCC");
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen12);
  EXPECT_EQ(viewer.windowTitle(), "Screen 12 display of DEMO.SCC");
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Screen12, demo::DemoScreen12()));
}

// The action of `text` in the Picture submenu of `menu`.
QAction* PictureEntry(QMenu* menu, const char* text) {
  for (QAction* a : menu->actions()) {
    if (QMenu* sub = a->menu()) {
      if (QAction* found = PictureEntry(sub, text)) return found;
    } else if (a->text() == QLatin1String(text) && menu->title() == QLatin1String("Picture")) {
      return a;
    }
  }
  return nullptr;
}

// Every new picture view opens from its file's extension, from the file list's View menu and
// from the viewer's popup, and shows the decoder's picture.
TEST_F(ViewerTest, EachNewPictureViewOpensFromItsExtensionAndItsMenus) {
  struct Row {
    const char* caption;
    const char* menuText;
    ViewSelector view;
    viewers::PictureMode mode;
    const char* viewMode;
    const char* title;
    QSize size;
    std::vector<std::uint8_t> bytes;
  };
  const Row rows[] = {
      {"DEMO.SC1",
       "Screen 1",
       ViewSelector::Screen1,
       viewers::PictureMode::Screen1,
       "SCREEN 1",
       "Screen 1 display of DEMO.SC1",
       {256, 192},
       demo::DemoScreen1()},
      {"DEMO.SC3",
       "Screen 3",
       ViewSelector::Screen3,
       viewers::PictureMode::Screen3,
       "SCREEN 3",
       "Screen 3 display of DEMO.SC3",
       {256, 192},
       demo::DemoScreen2()},
      {"DEMO.S04",
       "Screen 4",
       ViewSelector::Screen4,
       viewers::PictureMode::Screen4,
       "SCREEN 4",
       "Screen 4 display of DEMO.S04",
       {256, 192},
       demo::DemoScreen2()},
      {"DEMO.SC6",
       "Screen 6",
       ViewSelector::Screen6,
       viewers::PictureMode::Screen6,
       "SCREEN 6",
       "Screen 6 display of DEMO.SC6",
       {512, 424},
       demo::DemoScreen6()},
      {"DEMO.SCA",
       "Screen 10",
       ViewSelector::Screen10,
       viewers::PictureMode::Screen10,
       "SCREEN 10",
       "Screen 10 display of DEMO.SCA",
       {256, 212},
       demo::DemoScreen11()},
      {"DEMO.SCB",
       "Screen 11",
       ViewSelector::Screen11,
       viewers::PictureMode::Screen11,
       "SCREEN 11",
       "Screen 11 display of DEMO.SCB",
       {256, 212},
       demo::DemoScreen11()},
  };
  ViewerWindow& viewer = StartWithImage();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.caption);
    Open(r.caption);
    EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
    EXPECT_EQ(viewers::ModeName(viewer.pictureMode()), r.viewMode);
    EXPECT_EQ(viewer.windowTitle(), r.title);
    EXPECT_EQ(viewer.image()->size(), r.size);
    const viewers::Picture pic = Decoded(r.mode, r.bytes);
    if (pic.width == 256) ExpectSamePixels(Shown(viewer.image()), pic);
    EXPECT_EQ(viewer.image()->Image().width(), pic.width);

    Open("HELLO.BAS");
    QAction* entry = PictureEntry(w->fileListMenu(), r.menuText);
    ASSERT_NE(entry, nullptr);
    Select({r.caption});
    entry->trigger();
    EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
    EXPECT_EQ(viewers::ModeName(viewer.pictureMode()), r.viewMode);
    viewer.Action(ViewSelector::Hex)->trigger();
    EXPECT_EQ(viewer.viewMode(), ViewerMode::Hex);
    ASSERT_NE(viewer.Action(r.view), nullptr);
    EXPECT_EQ(viewer.Action(r.view)->text(), r.menuText);
    viewer.Action(r.view)->trigger();
    EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
    EXPECT_EQ(viewers::ModeName(viewer.pictureMode()), r.viewMode);
  }
}

// Screen 2 through the name table; the pattern view keeps the tables' order.
TEST_F(ViewerTest, Screen2UsesTheNameTableAndPatternsKeepTheTableOrder) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC2");
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Screen2, demo::DemoScreen2()));
  viewer.Action(ViewSelector::Patterns)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Patterns);
  EXPECT_EQ(viewer.windowTitle(), "Screen 2 patterns of DEMO.SC2");
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Patterns, demo::DemoScreen2()));
}

TEST_F(ViewerTest, MsxColoursSwitchScreen12ToTheVdpsArithmetic) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SCC");
  EXPECT_TRUE(viewer.msxColoursAction()->isVisible());
  EXPECT_FALSE(viewer.msxColoursAction()->isChecked());
  viewer.msxColoursAction()->trigger();
  EXPECT_TRUE(viewer.msxColoursAction()->isChecked());
  auto exact = viewers::DecodePicture(viewers::PictureMode::Screen12, demo::DemoScreen12(),
                                      viewers::PictureOptions{true});
  ASSERT_TRUE(exact.ok());
  ExpectSamePixels(Shown(viewer.image()), *exact.picture);
  EXPECT_NE(exact.picture->pixels,
            Decoded(viewers::PictureMode::Screen12, demo::DemoScreen12()).pixels);
  viewer.msxColoursAction()->trigger();
  ExpectSamePixels(Shown(viewer.image()),
                   Decoded(viewers::PictureMode::Screen12, demo::DemoScreen12()));
  // Screens 10 and 11 have only the VDP's colours: no toggle there.
  Open("DEMO.SCB");
  EXPECT_FALSE(viewer.msxColoursAction()->isVisible());
}

TEST_F(ViewerTest, SavePictureAsWritesPngOrBmp) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  EXPECT_FALSE(viewer.savePictureAction()->isVisible());
  Open("DEMO.SC6");
  EXPECT_TRUE(viewer.savePictureAction()->isVisible());
  const auto png = dir / "shot.png", bmp = dir / "shot.BMP";
  ui.core.savePaths = {png.string(), bmp.string(), std::nullopt};
  viewer.savePictureAction()->trigger();
  viewer.savePictureAction()->trigger();
  viewer.savePictureAction()->trigger();  // cancelled: nothing written
  EXPECT_THAT(ui.core.saveSuggestions, ::testing::ElementsAre("DEMO.png", "DEMO.png", "DEMO.png"));
  EXPECT_THAT(ui.saveFilters, ::testing::Each(SaveFilter::Picture));
  const viewers::Picture pic = Decoded(viewers::PictureMode::Screen6, demo::DemoScreen6());
  QImage saved(QString::fromStdString(png.string()));
  ASSERT_EQ(saved.size(), QSize(512, 212));
  saved = saved.convertToFormat(QImage::Format_RGB32);
  ExpectSamePixels(saved, pic);
  QImage savedBmp(QString::fromStdString(bmp.string()), "BMP");
  ASSERT_EQ(savedBmp.size(), QSize(512, 212));
  ExpectSamePixels(savedBmp.convertToFormat(QImage::Format_RGB32), pic);
  EXPECT_TRUE(ui.core.messages.empty());
  // A path that cannot be written gives a message.
  EXPECT_FALSE(viewer.fileViews().SavePicture((dir / "no" / "such" / "x.png").string()));
  EXPECT_EQ(ui.core.messages.size(), 1u);
}

TEST_F(ViewerTest, CopyToClipboardPutsTheClientAreaAsABitmap) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC2");
  QGuiApplication::clipboard()->clear();
  viewer.CopyToClipboard();
  const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(copied.isNull());
  EXPECT_EQ(copied.size(), viewer.image()->size());
  ExpectSamePixels(copied, Decoded(viewers::PictureMode::Screen2, demo::DemoScreen2()));
}

TEST_F(ViewerTest, AFileWithoutBsaveHeaderIsRefusedAndTheWindowStays) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  const QString listing = viewer.richEdit()->toPlainText();
  viewer.Action(ViewSelector::Screen2)->trigger();
  EXPECT_THAT(ui.core.messages, ::testing::ElementsAre("Not a picture file OR file corrupt!"));
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Basic);
  EXPECT_EQ(viewer.richEdit()->toPlainText(), listing);
  EXPECT_TRUE(w->isEnabled());
}

TEST_F(ViewerTest, APictureCanBeSeenInHexAndBack) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SC8");
  viewer.Action(ViewSelector::Hex)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Hex);
  EXPECT_TRUE(viewer.grid()->isVisible());
  EXPECT_FALSE(viewer.image()->isVisible());
  // The hex view takes its own size, not the picture's 256 pixels: 16 bytes per row, and the
  // window keeps that width for the next hex view.
  EXPECT_EQ(viewer.grid()->Model()->Layout()->bytesPerRow(), 16);
  EXPECT_EQ(viewer.width(), 32 * 16 + 120);
  viewer.Action(ViewSelector::Screen8)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Picture);
  EXPECT_EQ(viewer.pictureMode(), viewers::PictureMode::Screen8);
  EXPECT_TRUE(viewer.image()->isVisible());
  EXPECT_FALSE(viewer.grid()->isVisible());
}

// A tape with a text file and a BASIC program.
std::vector<std::uint8_t> Tape() {
  std::vector<std::uint8_t> t;
  auto header = [&] {
    while (t.size() % 8) t.push_back(0);
    t.insert(t.end(), std::begin(kCasBlockHeader), std::end(kCasBlockHeader));
  };
  auto put = [&](const std::string& s) { t.insert(t.end(), s.begin(), s.end()); };
  header();
  t.insert(t.end(), 10, 0xEA);
  put("README");
  header();
  put("Tape text\r\n");
  t.push_back(0x1A);
  header();
  t.insert(t.end(), 10, 0xD3);
  put("HELLO ");
  header();
  const auto hello = demo::HelloBas();
  t.insert(t.end(), hello.begin() + 1, hello.end());
  return t;
}

TEST_F(ViewerTest, CassetteEntriesOpenByTheirTypeAndRefusePictures) {
  const auto tape = dir / "demo.cas";
  {
    std::ofstream f(tape, std::ios::binary);
    auto t = Tape();
    f.write(reinterpret_cast<const char*>(t.data()), static_cast<std::streamsize>(t.size()));
  }
  Start({tape.string()});
  v = w->findChild<ViewerWindow*>();
  ASSERT_THAT(Captions(), ::testing::ElementsAre("README", "HELLO"));

  Open("README");  // "Ascii": text
  EXPECT_EQ(v->viewMode(), ViewerMode::Text);
  EXPECT_EQ(v->windowTitle(), "Ascii Display of : README.");
  EXPECT_EQ(PlainText(), "Tape text\n\n");

  Open("HELLO");  // "Basic": the listing
  EXPECT_EQ(v->viewMode(), ViewerMode::Basic);
  EXPECT_NE(PlainText().find("   30  PRINT \"Hello from Quarnel!\"\n"), std::string::npos);

  // The picture commands show nothing for a tape entry and leave the main window usable.
  w->ViewWith(ViewSelector::Screen2);
  EXPECT_EQ(v->viewMode(), ViewerMode::Basic);
  EXPECT_TRUE(w->isEnabled());
  EXPECT_TRUE(ui.core.messages.empty());

  // The viewer's popup acts on the entry last viewed.
  Select({"README"});
  v->Action(ViewSelector::Hex)->trigger();
  EXPECT_EQ(v->windowTitle(), "Hex Display of : HELLO.");
  EXPECT_EQ(v->grid()->Model()->GridCell(1, 2), "FF");
}

}  // namespace
}  // namespace quarnel::test
