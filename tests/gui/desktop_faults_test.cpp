// Faults a person met using the main window, each caught as they met it.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTextBrowser>

#include "app/main/document.h"
#include "app/main/file_actions.h"
#include "app/platform/single_instance.h"
#include "core/rename.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

class DesktopFaults : public WindowTest {
 protected:
  MainWindow& StartDemo() {
    image = WriteDemoImage(dir / "demo.dsk");
    return Start({image.string()});
  }
  void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  std::filesystem::path image;
};

// The volume-name field shows what was stored after Enter, blanks included, and leaving it
// writes nothing back.
TEST_F(DesktopFaults, TheVolumeFieldKeepsWhatWasStored) {
  MainWindow& win = StartDemo();
  TypeInto(win.volumeEdit(), QStringLiteral("MY NEW DISK"));
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MY NEW DISK");
  EXPECT_EQ(win.volumeEdit()->text(), "MY NEW DISK");
  TypeInto(win.volumeEdit(), QStringLiteral("MYDISK"));
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MYDISK");
  EXPECT_EQ(win.volumeEdit()->text().trimmed(), "MYDISK");
  win.CommitVolumeField();  // the field loses the focus
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MYDISK");
}

// The list and large-icon styles show whole names (they were cut to the first row's width).
TEST_F(DesktopFaults, ListAndIconStylesShowWholeNames) {
  StartDemo();
  for (int style : {1, 2}) {
    w->SetListStyle(style);
    QApplication::processEvents();
    auto* view = w->fileList()->CurrentView();
    const QFontMetrics fm(view->font());
    const QModelIndex readme = w->listModel()->index(RowOf("README.TXT"), 0);
    EXPECT_GE(view->visualRect(readme).width(), fm.horizontalAdvance(QStringLiteral("README.TXT")))
        << "style " << style;
  }
}

// A file named on the command line that is not there says so; the help page opens in a window
// of the program's own.
TEST_F(DesktopFaults, AMissingFileAndTheHelpPageSaySomething) {
  MainWindow& win = Start({(dir / "nothere.dsk").string()});
  EXPECT_THAT(ui.core.messages,
              ::testing::ElementsAre("File not found: " + (dir / "nothere.dsk").string()));
  win.OpenHelpPage();
  ASSERT_NE(win.helpWindow(), nullptr);
  EXPECT_TRUE(win.helpWindow()->isVisible());
  EXPECT_TRUE(win.helpWindow()->toPlainText().contains(QStringLiteral("quarnel-cli")));
}

// The title names the open image and marks unsaved changes; Ctrl+R lists again; Backspace and
// Alt+Up go to the parent directory.
TEST_F(DesktopFaults, TitleAndKeys) {
  MainWindow& win = StartDemo();
  EXPECT_EQ(win.windowTitle(), "demo.dsk[*] - Quarnel 0.84");
  EXPECT_FALSE(win.isWindowModified());
  win.oemEdit()->setText("X");
  win.CommitOemField();
  EXPECT_TRUE(win.isWindowModified());
  win.fileActions()->save()->trigger();
  EXPECT_FALSE(win.isWindowModified());

  for (auto key :
       {std::pair{Qt::Key_Backspace, Qt::NoModifier}, std::pair{Qt::Key_Up, Qt::AltModifier}}) {
    Select({"GAMES.   "});
    w->OpenSelectedEntry();
    ASSERT_EQ(Disk(win).Depth(), 1);
    View()->setFocus();
    QTest::keyClick(View(), key.first, key.second);
    EXPECT_EQ(Disk(win).Depth(), 0);
  }
  const auto before = Captions();
  QTest::keyClick(View(), Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(Captions(), before);
  // F5 keeps its meaning on the list: "Screen 5" (a second F5 made both keys do nothing).
  std::optional<ViewSelector> asked;
  const auto asking = QObject::connect(win.document(), &Document::viewRequested,
                                       [&](const FileRow&, ViewSelector s) { asked = s; });
  Select({"BIG.BIN"});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_F5);
  EXPECT_EQ(asked, ViewSelector::Screen5);
  QObject::disconnect(asking);

  // Delete deletes the selection as Alt+Del does; File › Open... opens the image chosen.
  Select({"README.TXT"});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Delete);
  EXPECT_THAT(Captions(), ::testing::Not(::testing::Contains("README.TXT")));
  auto other = WriteDemoImage(dir / "other.dsk");
  ui.saveChoices = {SaveChoice::DontSave};
  ui.openPaths.push_back(other.string());
  QTest::keySequence(&win, QKeySequence::Open);
  EXPECT_EQ(Disk(win).imagePath, other.string());
  EXPECT_EQ(win.windowTitle(), "other.dsk[*] - Quarnel 0.84");
}

// One window per user and graphical session: another display gets a window of its own.
TEST(SingleInstanceKey, DiffersByDisplay) {
  const QByteArray wayland = qgetenv("WAYLAND_DISPLAY"), display = qgetenv("DISPLAY");
  qunsetenv("WAYLAND_DISPLAY");
  qputenv("DISPLAY", ":1");
  const QString one = SingleInstance::ServerName(QStringLiteral("/usr/bin/quarnel"));
  qputenv("DISPLAY", ":2");
  const QString two = SingleInstance::ServerName(QStringLiteral("/usr/bin/quarnel"));
  qputenv("WAYLAND_DISPLAY", "wayland-0");
  const QString three = SingleInstance::ServerName(QStringLiteral("/usr/bin/quarnel"));
  qputenv("DISPLAY", display);
  if (wayland.isEmpty())
    qunsetenv("WAYLAND_DISPLAY");
  else
    qputenv("WAYLAND_DISPLAY", wayland);
  EXPECT_NE(one, two);
  EXPECT_NE(two, three);
}

}  // namespace
}  // namespace quarnel::test
