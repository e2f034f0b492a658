// The picture's zoom and shape: Ctrl++ / Ctrl+- through 1x, 2x and 3x, Fit in a window the user
// sized, screens 6 and 7 in the MSX's shape or with square pixels, the window following the
// zoom as far as the screen allows.
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <set>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

viewers::Picture Decoded(viewers::PictureMode mode, const std::vector<std::uint8_t>& bytes) {
  auto r = viewers::DecodePicture(mode, Bytes(bytes.data(), bytes.size()));
  EXPECT_TRUE(r.ok());
  return r.picture ? *r.picture : viewers::Picture{};
}

// The largest client area a window may take on the viewer's screen.
QSize FreeArea(const ViewerWindow& v) {
  return v.screen()->availableGeometry().size() - (v.frameGeometry().size() - v.size());
}

// Every shown pixel inside the picture's rectangle has the colour of the MSX pixel it covers:
// whole-factor enlargements keep each pixel a sharp block.
void ExpectBlocks(const QImage& shown, const QRect& at, const viewers::Picture& pic) {
  ASSERT_EQ(at.width() % pic.width, 0);
  ASSERT_EQ(at.height() % pic.height, 0);
  const int fx = at.width() / pic.width, fy = at.height() / pic.height;
  int wrong = 0;
  for (int y = std::max(0, at.top()); y < std::min(shown.height(), at.bottom() + 1); ++y)
    for (int x = std::max(0, at.left()); x < std::min(shown.width(), at.right() + 1); ++x) {
      const viewers::Rgb c = pic.ColourAt((x - at.left()) / fx, (y - at.top()) / fy);
      if (shown.pixel(x, y) != qRgb(c.r, c.g, c.b) && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y;
    }
  EXPECT_EQ(wrong, 0);
}

class ViewerZoomTest : public ViewerTest {
 protected:
  ViewerWindow& OpenActive(const std::string& caption) {
    ViewerWindow& viewer = StartWithImage();
    Open(caption);
    viewer.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&viewer));
    return viewer;
  }
};

TEST_F(ViewerZoomTest, ZoomKeysStepThroughOneTwoThreeAndStopAtTheEnds) {
  struct Step {
    Qt::Key key;
    PictureZoom zoom;
  };
  const Step steps[] = {
      {Qt::Key_Plus, PictureZoom::X2},  {Qt::Key_Plus, PictureZoom::X3},
      {Qt::Key_Plus, PictureZoom::X3},  {Qt::Key_Minus, PictureZoom::X2},
      {Qt::Key_Minus, PictureZoom::X1}, {Qt::Key_Minus, PictureZoom::X1},
      {Qt::Key_Equal, PictureZoom::X2}, {Qt::Key_0, PictureZoom::X1},
  };
  ViewerWindow& viewer = OpenActive("DEMO.SC2");
  ASSERT_EQ(viewer.fileViews().pictureZoom(), PictureZoom::Fit);
  ASSERT_EQ(viewer.image()->size(), QSize(256, 192));
  for (const Step& s : steps) {
    SCOPED_TRACE(ZoomFactor(s.zoom));
    QTest::keyClick(&viewer, s.key, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(viewer.fileViews().pictureZoom(), s.zoom);
    const QSize zoomed = QSize(256, 192) * ZoomFactor(s.zoom);
    EXPECT_EQ(viewer.image()->PictureRect().size(), zoomed);
    EXPECT_EQ(viewer.image()->size(), zoomed.boundedTo(FreeArea(viewer) - StatusBand(viewer)));
    EXPECT_TRUE(viewer.zoomAction(s.zoom)->isChecked());
  }
  // Ctrl and the wheel zoom as well.
  QWidget* area = viewer.image()->viewport();
  QWheelEvent wheel(QPointF(10, 10), area->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(area, &wheel);
  EXPECT_EQ(viewer.fileViews().pictureZoom(), PictureZoom::X2);
}

TEST_F(ViewerZoomTest, ZoomedPixelsStaySharpAndTheZoomHoldsForTheNextPicture) {
  ViewerWindow& viewer = OpenActive("DEMO.SC2");
  QTest::keyClick(&viewer, Qt::Key_Plus, Qt::ControlModifier);
  QApplication::processEvents();
  ASSERT_EQ(viewer.image()->size(), QSize(512, 384));
  ExpectBlocks(Shown(viewer.image()), viewer.image()->PictureRect(),
               Decoded(viewers::PictureMode::Screen2, demo::DemoScreen2()));
  // The next picture comes at 2x too, in a window of its size; a text view takes its own size.
  Open("DEMO.SC8");
  EXPECT_EQ(viewer.fileViews().pictureZoom(), PictureZoom::X2);
  EXPECT_EQ(viewer.image()->size(), QSize(512, 424));
  ExpectBlocks(Shown(viewer.image()), viewer.image()->PictureRect(),
               Decoded(viewers::PictureMode::Screen8, demo::DemoScreen8()));
  Open("README.TXT");
  EXPECT_EQ(viewer.size(), QSize(642, 508));
  // Zoom keys do nothing outside the pictures.
  QTest::keyClick(&viewer, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(viewer.fileViews().pictureZoom(), PictureZoom::X2);
  EXPECT_FALSE(viewer.zoomMenuAction()->isVisible());
}

TEST_F(ViewerZoomTest, FitKeepsThePicturesShapeInAWindowTheUserSized) {
  struct Row {
    const char* caption;
    QSize window;
    QRect picture;
  };
  const Row rows[] = {
      {"DEMO.SC2", {600, 300}, {100, 0, 400, 300}}, {"DEMO.SC2", {300, 600}, {0, 187, 300, 225}},
      {"DEMO.SC2", {512, 384}, {0, 0, 512, 384}},   {"DEMO.SC7", {256, 212}, {0, 0, 256, 212}},
      {"DEMO.SC7", {700, 424}, {94, 0, 512, 424}},
  };
  ViewerWindow& viewer = StartWithImage();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.caption);
    Open(r.caption);
    viewer.resize(r.window + StatusBand(viewer));
    QApplication::processEvents();
    EXPECT_EQ(viewer.image()->PictureRect(), r.picture);
    EXPECT_EQ(viewer.image()->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(viewer.image()->verticalScrollBar()->maximum(), 0);
  }
  // Twice the size under Fit: each pixel a 2 x 2 block.
  Open("DEMO.SC2");
  viewer.resize(QSize(512, 384) + StatusBand(viewer));
  QApplication::processEvents();
  ExpectBlocks(Shown(viewer.image()), viewer.image()->PictureRect(),
               Decoded(viewers::PictureMode::Screen2, demo::DemoScreen2()));
}

// Screens 6 and 7 have pixels half as wide as tall: lines doubled unless "Square pixels" is
// chosen. The 256-pixel modes have no such choice and stay as they are.
TEST_F(ViewerZoomTest, The512PixelScreensKeepTheMsxShapeUnlessSquarePixelsAreChosen) {
  struct Row {
    const char* caption;
    viewers::PictureMode mode;
    std::vector<std::uint8_t> bytes;
    bool square;
    QSize window;
  };
  const Row rows[] = {
      {"DEMO.SC7", viewers::PictureMode::Screen7, demo::DemoScreen7(), false, {512, 424}},
      {"DEMO.SC7", viewers::PictureMode::Screen7, demo::DemoScreen7(), true, {512, 212}},
      {"DEMO.SC6", viewers::PictureMode::Screen6, demo::DemoScreen6(), true, {512, 212}},
      {"DEMO.SC6", viewers::PictureMode::Screen6, demo::DemoScreen6(), false, {512, 424}},
      {"DEMO.SC5", viewers::PictureMode::Screen5, demo::DemoScreen5(), false, {256, 212}},
      {"DEMO.SC5", viewers::PictureMode::Screen5, demo::DemoScreen5(), true, {256, 212}},
      {"DEMO.SC8", viewers::PictureMode::Screen8, demo::DemoScreen8(), true, {256, 212}},
      {"DEMO.SCC", viewers::PictureMode::Screen12, demo::DemoScreen12(), true, {256, 212}},
      {"DEMO.SCB", viewers::PictureMode::Screen11, demo::DemoScreen11(), false, {256, 212}},
      {"DEMO.SC2", viewers::PictureMode::Screen2, demo::DemoScreen2(), true, {256, 192}},
  };
  ViewerWindow& viewer = StartWithImage();
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.caption) + (r.square ? " square" : ""));
    Open(r.caption);
    const bool wide =
        r.mode == viewers::PictureMode::Screen6 || r.mode == viewers::PictureMode::Screen7;
    EXPECT_EQ(viewer.squarePixelsAction()->isVisible(), wide);
    if (viewer.fileViews().squarePixels() != r.square) viewer.fileViews().ToggleSquarePixels();
    QApplication::processEvents();
    EXPECT_EQ(viewer.image()->size(), r.window);
    EXPECT_EQ(viewer.image()->PictureRect(), QRect(QPoint(0, 0), r.window));
    ExpectBlocks(Shown(viewer.image()), viewer.image()->PictureRect(), Decoded(r.mode, r.bytes));
  }
}

TEST_F(ViewerZoomTest, ABigZoomStaysOnTheScreenWithScrollBarsAndSavesTheOwnPixels) {
  ViewerWindow& viewer = OpenActive("DEMO.SC7");
  viewer.fileViews().SetPictureZoom(PictureZoom::X3);
  QApplication::processEvents();
  const QSize free = FreeArea(viewer);
  ASSERT_LT(free.width(), 1536);  // 3 x 512 does not fit the screen
  EXPECT_EQ(viewer.size(), QSize(1536, 1272).boundedTo(free));
  EXPECT_EQ(viewer.image()->PictureRect().size(), QSize(1536, 1272));
  EXPECT_GT(viewer.image()->horizontalScrollBar()->maximum(), 0);
  EXPECT_GT(viewer.image()->verticalScrollBar()->maximum(), 0);
  const QRect onScreen = viewer.screen()->availableGeometry();
  EXPECT_TRUE(onScreen.contains(viewer.frameGeometry())) << viewer.frameGeometry().x();
  // Scrolled, the picture moves under the window.
  viewer.image()->horizontalScrollBar()->setValue(100);
  EXPECT_EQ(viewer.image()->PictureRect().left(), -100);

  // The saved picture is the file's own 512 x 212 pixels, whatever the zoom and shape.
  const auto png = dir / "zoomed.png";
  ASSERT_TRUE(viewer.fileViews().SavePicture(png.string()));
  EXPECT_EQ(QImage(QString::fromStdString(png.string())).size(), QSize(512, 212));
}

// The zoom keys are new shortcuts of the viewer: none may take over a key it already has.
TEST_F(ViewerZoomTest, EveryShortcutOfTheViewerIsItsOwn) {
  ViewerWindow& viewer = StartWithImage();
  std::set<QString> seen;
  int zoomKeys = 0;
  for (QAction* a : viewer.actions())
    for (const QKeySequence& k : a->shortcuts()) {
      EXPECT_TRUE(seen.insert(k.toString()).second) << k.toString().toStdString();
      zoomKeys += k == QKeySequence(Qt::CTRL | Qt::Key_Plus) ||
                  k == QKeySequence(Qt::CTRL | Qt::Key_Minus) ||
                  k == QKeySequence(Qt::CTRL | Qt::Key_Equal);
    }
  EXPECT_EQ(zoomKeys, 3);
  EXPECT_EQ(viewer.Action(ViewSelector::Screen2)->shortcut(), QKeySequence(Qt::Key_F2));
}

}  // namespace
}  // namespace quarnel::test
