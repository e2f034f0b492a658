// What a desktop program is expected to do beyond its own commands: the recent images, the
// reasons for a refused rename, the host Delete into the trash.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>

#include "gui_fixture.h"

namespace quarnel::test {
namespace {

using ::testing::ElementsAreArray;

class DesktopHabits : public WindowTest {
 protected:
  std::vector<std::string> RecentMenuPaths() const {
    std::vector<std::string> out;
    for (QAction* a : w->recentMenu()->actions())
      if (a->data().isValid()) out.push_back(a->data().toString().toStdString());
    return out;
  }
};

// Opened images go first in File › Open Recent, at most eight, kept for the next start; an
// entry whose file has gone says so and leaves the list.
TEST_F(DesktopHabits, RecentImagesAreKeptNewestFirst) {
  Start();
  std::vector<std::string> opened;
  for (int i = 0; i < 10; ++i) {
    opened.push_back(WriteDemoImage(dir / ("d" + std::to_string(i) + ".dsk")).string());
    w->OpenFile(opened.back());
  }
  w->OpenFile(opened[5]);  // again: moves to the front, listed once
  const std::vector<std::string> expected{opened[5], opened[9], opened[8], opened[7],
                                          opened[6], opened[4], opened[3], opened[2]};
  EXPECT_THAT(RecentMenuPaths(), ElementsAreArray(expected));

  w.reset();
  Start();
  EXPECT_THAT(RecentMenuPaths(), ElementsAreArray(expected));
  w->OpenRecentFile(QString::fromStdString(opened[9]));
  EXPECT_EQ(Disk(*w).imagePath, opened[9]);
  EXPECT_EQ(w->browser()->SelectedPath().toStdString(), opened[9]);

  std::filesystem::remove(opened[8]);
  w->OpenRecentFile(QString::fromStdString(opened[8]));
  EXPECT_EQ(ui.core.messages.back(), "File not found: " + opened[8]);
  EXPECT_THAT(RecentMenuPaths(), ::testing::Not(::testing::Contains(opened[8])));
  EXPECT_EQ(Disk(*w).imagePath, opened[9]);
  w->ClearRecentFiles();
  EXPECT_TRUE(RecentMenuPaths().empty());
  EXPECT_FALSE(w->recentMenu()->menuAction()->isEnabled());
}

// A refused rename says why in the status bar; an accepted one shows the name as stored.
TEST_F(DesktopHabits, RenameSaysWhyOrWhatWasStored) {
  const auto image = WriteDemoImage(dir / "demo.dsk");
  Start({image.string()});
  const int slot = w->listModel()->Row(RowOf("README.TXT"))->slot;
  const struct {
    const char* typed;
    bool renamed;
    const char* status;
  } cases[] = {
      {"muchtoolong.txt", false,
       "Not renamed: \"muchtoolong.txt\" is not an MSX-DOS name (up to 8 characters, a dot, up "
       "to 3)"},
      {"GAME.BAS", false, "Not renamed: GAME.BAS is already in this directory"},
      {"notes.doc", true, "Renamed to NOTES.DOC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(w->CommitRenamedEntry(slot, QString::fromLatin1(c.typed)), c.renamed) << c.typed;
    EXPECT_EQ(w->statusText().toStdString(), c.status);
  }
}

// The host Delete moves the file into the desktop's trash, where it can be restored.
TEST_F(DesktopHabits, HostDeleteMovesToTheTrash) {
  const QByteArray oldData = qgetenv("XDG_DATA_HOME");
  std::filesystem::create_directories(dir / "share");
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dir / "share").string()));
  const auto victim = WriteDemoImage(dir / "victim.dsk");
  Start();
  w->browser()->SetFolder(QString::fromStdString(dir.path().string()));
  w->browser()->SelectPath(QString::fromStdString(victim.string()));
  ui.core.yesNo.push_back(true);
  w->HostContextMenu();  // the menu as the user would open it
  QAction* del = nullptr;
  for (QAction* a : w->hostActionsMenu()->actions())
    if (a->text() == "Delete...") del = a;
  ASSERT_NE(del, nullptr);
  del->trigger();
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_TRUE(std::filesystem::exists(dir / "share/Trash/files/victim.dsk"));
  if (oldData.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", oldData);
}

}  // namespace
}  // namespace quarnel::test
