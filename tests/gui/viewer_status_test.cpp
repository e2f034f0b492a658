// The status line under a picture: the file's name, the picture's mode, its size as shown and
// the zoom, kept up to date as the user zooms, sizes the window and browses.
#include <QLabel>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

QString Status(const ViewerWindow& v) { return v.statusLine()->text(); }

// Each step changes the picture, its zoom or the window, and the line follows.
TEST_F(ViewerTest, TheStatusLineNamesThePictureItsModeSizeAndZoom) {
  ViewerWindow& viewer = StartWithImage();
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* status;
  };
  const Step steps[] = {
      {"opened", [&] { Open("DEMO.SC5"); },
       "DEMO.SC5 \u00B7 Screen 5 \u00B7 256 \u00D7 212 \u00B7 Fit 1\u00D7"},
      {"2x", [&] { viewer.fileViews().SetPictureZoom(PictureZoom::X2); },
       "DEMO.SC5 \u00B7 Screen 5 \u00B7 256 \u00D7 212 \u00B7 2\u00D7"},
      {"fit, half the size",
       [&] {
         viewer.fileViews().SetPictureZoom(PictureZoom::Fit);
         viewer.resize(QSize(128, 106) + StatusBand(viewer));
       },
       "DEMO.SC5 \u00B7 Screen 5 \u00B7 256 \u00D7 212 \u00B7 Fit 0.5\u00D7"},
      {"MSX shape",
       [&] {
         viewer.fileViews().SetPictureZoom(PictureZoom::X1);
         Open("DEMO.SC7");
       },
       "DEMO.SC7 \u00B7 Screen 7 \u00B7 512 \u00D7 424 \u00B7 1\u00D7"},
      {"square pixels", [&] { viewer.fileViews().ToggleSquarePixels(); },
       "DEMO.SC7 \u00B7 Screen 7 \u00B7 512 \u00D7 212 \u00B7 1\u00D7"},
      {"another view of the file", [&] { viewer.Action(ViewSelector::Patterns)->trigger(); },
       nullptr},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    QApplication::processEvents();
    EXPECT_TRUE(viewer.statusLine()->isVisible());
    if (s.status) {
      EXPECT_EQ(Status(viewer), QString::fromUtf8(s.status));
    }
  }
  // The view's own name is the mode the line gives.
  EXPECT_TRUE(Status(viewer).startsWith(QString::fromUtf8("DEMO.SC7 \u00B7 Patterns \u00B7 ")))
      << Status(viewer).toStdString();
}

// Browsing names the picture arrived at, in the line as in the title; other views have no line.
TEST_F(ViewerTest, TheStatusLineFollowsBrowsingAndLeavesWithThePicture) {
  ViewerWindow& viewer = StartWithImage();
  Open("DEMO.SCB");
  viewer.nextPictureAction()->trigger();
  QApplication::processEvents();
  EXPECT_EQ(viewer.windowTitle(), "Screen 3 display of DEMO.SC3");
  EXPECT_TRUE(Status(viewer).startsWith(QString::fromUtf8("DEMO.SC3 \u00B7 Screen 3 \u00B7 ")))
      << Status(viewer).toStdString();
  viewer.previousPictureAction()->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(Status(viewer).startsWith(QString::fromUtf8("DEMO.SCB \u00B7 Screen 11 \u00B7 ")))
      << Status(viewer).toStdString();
  // The picture keeps its own size; the line lies below it.
  EXPECT_EQ(viewer.image()->size(), QSize(256, 212));
  EXPECT_EQ(viewer.statusLine()->geometry().top(), viewer.image()->geometry().bottom() + 1);
  Open("README.TXT");
  EXPECT_FALSE(viewer.statusLine()->isVisible());
  viewer.sectorEditor().SectorView(true);
  EXPECT_FALSE(viewer.statusLine()->isVisible());
}

}  // namespace
}  // namespace quarnel::test
