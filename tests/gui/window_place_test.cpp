// Where the viewer and the help page open beside the main window.
#include "app/platform/window_place.h"

#include <gtest/gtest.h>

namespace quarnel::test {
namespace {

struct PlaceCase {
  const char* what;
  QRect main;
  QSize outer;
  QRect expected;
};

TEST(WindowPlace, BesideTheMainWindowAndOnTheScreen) {
  const QRect screen(0, 0, 1280, 800);
  const int keepTop = 60;  // below the main window's menu bar
  const PlaceCase cases[] = {
      {"to the right", QRect(0, 20, 600, 500), QSize(600, 400), QRect(600, 20, 600, 400)},
      {"to the left", QRect(680, 20, 600, 500), QSize(600, 400), QRect(80, 20, 600, 400)},
      {"no room either side: right edge, menu bar in sight", QRect(200, 20, 880, 500),
       QSize(600, 400), QRect(680, keepTop, 600, 400)},
      {"taller than the room below: moved up", QRect(0, 500, 600, 200), QSize(600, 700),
       QRect(600, 100, 600, 700)},
      {"larger than the screen: made to fit", QRect(0, 0, 600, 500), QSize(2000, 1000),
       QRect(0, 0, 1280, 800)},
  };
  for (const PlaceCase& c : cases) {
    const QRect r = PlaceBeside(c.main, keepTop, c.outer, screen);
    EXPECT_EQ(r, c.expected) << c.what;
    EXPECT_TRUE(screen.contains(r)) << c.what;
  }
}

TEST(WindowPlace, AWindowPastTheScreensEdgeComesBackOntoIt) {
  const QRect screen(0, 0, 1280, 800);
  EXPECT_EQ(FitOnScreen(QRect(964, 145, 660, 500), screen), QRect(620, 145, 660, 500));
  EXPECT_EQ(FitOnScreen(QRect(100, 300, 600, 700), screen), QRect(100, 100, 600, 700));
  EXPECT_EQ(FitOnScreen(QRect(-50, -20, 1400, 900), screen), screen);
  EXPECT_EQ(FitOnScreen(QRect(10, 10, 100, 100), screen), QRect(10, 10, 100, 100));
}

}  // namespace
}  // namespace quarnel::test
