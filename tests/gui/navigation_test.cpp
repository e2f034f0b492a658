// The location line and Back / Forward through the folders shown.
#include <QToolButton>

#include "app/main/location_bar.h"
#include "app/main/navigation_actions.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

class Navigation : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ImageBuilder b;
    const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
    const std::uint16_t sub = b.AddDirectory(games, "SUB");
    b.AddFile(sub, "DEEP.TXT", Pattern(30, 4));
    image = dir.path() / "nav.dsk";
    b.WriteTo(image);
    Start({image.string()});
  }
  void Enter(const std::string& caption) {
    Select({caption});
    w->OpenSelectedEntry();
  }
  QString Location() const { return w->navigation()->bar()->Text(); }
  void Key(Qt::Key key) { QTest::keyClick(w.get(), key, Qt::AltModifier); }

  std::filesystem::path image;
};

TEST_F(Navigation, TheLineShowsThePathAndGoesUpBackAndForward) {
  EXPECT_EQ(Location(), "/");
  EXPECT_FALSE(w->navigation()->back()->isEnabled());
  Enter("GAMES.   ");
  Enter("SUB.   ");
  EXPECT_EQ(Location(), "/GAMES/SUB");
  EXPECT_EQ(Disk(*w).CurrentPath(), "\\GAMES.   \\SUB.   \\");  // the status line keeps the padding
  // A click on GAMES goes up to it; a click on the folder shown stays there.
  QTest::mouseClick(w->navigation()->bar()->LevelButton(2), Qt::LeftButton);
  EXPECT_EQ(Location(), "/GAMES/SUB");
  QTest::mouseClick(w->navigation()->bar()->LevelButton(1), Qt::LeftButton);
  EXPECT_EQ(Location(), "/GAMES");
  Key(Qt::Key_Left);
  EXPECT_EQ(Location(), "/GAMES/SUB");
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  EXPECT_EQ(Location(), "/");
  EXPECT_FALSE(w->navigation()->back()->isEnabled());
  Key(Qt::Key_Right);
  EXPECT_EQ(Location(), "/GAMES");
  // Going somewhere new drops what lay ahead.
  QTest::mouseClick(w->navigation()->bar()->LevelButton(0), Qt::LeftButton);
  EXPECT_FALSE(w->navigation()->forward()->isEnabled());
}

TEST_F(Navigation, BackToAFolderDeletedMeanwhileStopsAboveIt) {
  Enter("GAMES.   ");
  Enter("SUB.   ");
  w->navigation()->GoToLevel(1);
  Select({"SUB.   "});
  ui.core.yesNo = {true};  // delete the folder with what it holds
  w->editActions()->remove()->trigger();
  ASSERT_EQ(RowOf("SUB.   "), -1);
  w->navigation()->GoBack();
  EXPECT_EQ(Location(), "/GAMES");
  EXPECT_EQ(Disk(*w).CurrentPath(), "\\GAMES.   \\");
}

}  // namespace
}  // namespace quarnel::test
