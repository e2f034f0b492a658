// The Edit menu's and the toolbar's actions, triggered as the user would, with the status bar's
// word on each; the repair report and the conversions that say what they did.
#include "app/main/edit_actions.h"

#include <QMenuBar>
#include <QToolBar>

#include "app/main/document.h"
#include "app/main/file_actions.h"
#include "core/disk_check.h"
#include "formats/disk_convert.h"
#include "formats/xsa_encode.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
namespace fs = std::filesystem;

class EditActionsTest : public WindowTest {
 protected:
  MainWindow& StartDemo() {
    image = WriteDemoImage(dir / "demo.dsk");
    return Start({image.string()});
  }
  std::string Status() const { return w->statusText().toStdString(); }
  fs::path image;
};

// Every action in its place: the Edit menu, the toolbar, and a word in the status bar on what
// it did.
TEST_F(EditActionsTest, EachActionSaysWhatItDid) {
  WriteHostFile(dir / "one.bin", Pattern(10, 1));
  WriteHostFile(dir / "game.bas", Pattern(20, 2));
  fs::create_directories(dir / "docs" / "old");
  WriteHostFile(dir / "docs" / "a.txt", Pattern(30, 3));
  WriteHostFile(dir / "docs" / "old" / "b.txt", Pattern(40, 4));
  const std::string out = (dir / "out").string();
  fs::create_directory(out);
  const struct Case {
    const char* name;
    QAction* (EditActions::*action)() const;
    std::vector<std::string> selected;
    std::function<void(ScriptedAppUi&)> answer;
    std::string status;
    std::vector<std::string> asked, listed, gone;
  } cases[] = {
      {"several files and a folder",
       &EditActions::addFiles,
       {},
       [&](ScriptedAppUi& u) {
         u.openPathLists.push_back(
             {(dir / "one.bin").string(), (dir / "game.bas").string(), (dir / "docs").string()});
         u.replaceAnswers.push_back(ReplaceAnswer{ReplaceChoice::Replace, false});
       },
       "Added 4 files",
       {"GAME.BAS (several)"},
       {"ONE.BIN", "GAME.BAS", "DOCS.   "},
       {}},
      {"a folder",
       &EditActions::addFolder,
       {},
       [&](ScriptedAppUi& u) { u.folders.push_back((dir / "docs").string()); },
       "Added 2 files",
       {},
       {"DOCS.   "},
       {}},
      {"a new folder",
       &EditActions::newFolder,
       {},
       [](ScriptedAppUi& u) { u.texts.push_back(QStringLiteral("work")); },
       "Created folder WORK",
       {},
       {"WORK.   "},
       {}},
      {"one file deleted",
       &EditActions::remove,
       {"GAME.BAS"},
       {},
       "Deleted GAME.BAS",
       {},
       {},
       {"GAME.BAS"}},
      {"files and a folder deleted",
       &EditActions::remove,
       {"README.TXT", "BIG.BIN", "GAMES.   "},
       [](ScriptedAppUi& u) { u.core.yesNo.push_back(true); },
       "Deleted 2 files and 1 folder",
       {"Delete GAMES and the 1 file in it?"},
       {},
       {"README.TXT", "BIG.BIN", "GAMES.   "}},
      {"extracted",
       &EditActions::extract,
       {"README.TXT", "GAMES.   "},
       [&](ScriptedAppUi& u) { u.folders.push_back(out); },
       "Extracted 2 files to " + out,
       {},
       {},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui = ScriptedAppUi{};
    MainWindow& win = StartDemo();
    if (!c.selected.empty()) Select(c.selected);
    if (c.answer) c.answer(ui);
    QAction* a = (win.editActions()->*c.action)();
    EXPECT_THAT(win.editMenu()->actions(), Contains(a));
    EXPECT_THAT(win.toolBar()->actions(), Contains(a));
    ASSERT_TRUE(a->isEnabled());
    a->trigger();
    // The window becomes active again as the command's dialogs close: the word stays.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&win, &activate);
    EXPECT_EQ(Status(), c.status);
    std::vector<std::string> asked = ui.replaceAsked;
    asked.insert(asked.end(), ui.core.questions.begin(), ui.core.questions.end());
    EXPECT_EQ(asked, c.asked);
    EXPECT_THAT(ui.core.messages, IsEmpty());
    for (const auto& name : c.listed) EXPECT_THAT(Captions(), Contains(name));
    for (const auto& name : c.gone) EXPECT_THAT(Captions(), Not(Contains(name)));
    EXPECT_TRUE(CheckDisk(Disk(win).image).Clean());
    w->disk()->MarkSaved();
    w.reset();
  }
}

// A folder that holds something: one question naming it and what it holds; No keeps it all,
// Yes removes it with everything in it as one change, and the disk stays sound.
TEST_F(EditActionsTest, DeletingAFolderAsksOnceAndRemovesAll) {
  ImageBuilder b;
  b.AddFile(kRoot, "KEEP.TXT", Pattern(100, 1));
  const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  for (int i = 0; i < 10; ++i)
    b.AddFile(games, "G" + std::to_string(i) + ".BIN",
              Pattern(1500, static_cast<std::uint32_t>(i)));
  const std::uint16_t sub = b.AddDirectory(games, "SUB");
  b.AddFile(sub, "A.BIN", Pattern(3000, 20));
  b.AddFile(sub, "B.BIN", Pattern(10, 21));
  image = dir / "games.dsk";
  b.WriteTo(image);
  Start({image.string()});
  QAction* remove = w->editActions()->remove();
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    Select({"GAMES.   "});
    ui.core.questions.clear();
    ui.core.yesNo = {yes};
    remove->trigger();
    EXPECT_THAT(ui.core.questions,
                ElementsAre("Delete GAMES and the 12 files and 1 folder in it?"));
    EXPECT_EQ(RowOf("GAMES.   ") >= 0, !yes);
    EXPECT_EQ(Disk(*w).IsChanged(), yes);
  }
  EXPECT_THAT(Captions(), ElementsAre("KEEP.TXT"));
  EXPECT_TRUE(CheckDisk(Disk(*w).image).Clean());
  // Every cluster of the tree is free again: as much room as a disk with only KEEP.TXT.
  ImageBuilder only;
  only.AddFile(kRoot, "KEEP.TXT", Pattern(100, 1));
  Workspace expected;
  expected.LoadImageBytes(only.Bytes(), "only.dsk");
  EXPECT_EQ(FreeBytes(Disk(*w).image), FreeBytes(expected.image));
  EXPECT_EQ(Status(), "Deleted GAMES");
}

// Extract of a selection asks once for a folder and writes every file there, a directory as a
// folder with its files; no save dialog per file.
TEST_F(EditActionsTest, ExtractOfASelectionAsksOnceForAFolder) {
  StartDemo();
  const fs::path out = dir / "out";
  fs::create_directory(out);
  Select({"README.TXT", "BIG.BIN", "GAMES.   "});
  ui.folders.push_back(out.string());
  QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_THAT(ui.titles, ElementsAre("Extract to Folder"));
  EXPECT_THAT(ui.core.saveTitles, IsEmpty());
  EXPECT_EQ(ReadHostFile(out / "README.TXT"), Pattern(600, 1));
  EXPECT_EQ(ReadHostFile(out / "BIG.BIN"), Pattern(5000, 2));
  EXPECT_EQ(ReadHostFile(out / "GAMES" / "INSIDE.TXT"), Pattern(40, 3));
  EXPECT_EQ(Status(), "Extracted 3 files to " + out.string());
  // Again into the same folder: one question for the names there; No keeps the host's files.
  WriteHostFile(out / "README.TXT", {1, 2, 3});
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    ui.folders.push_back(out.string());
    ui.core.yesNo = {yes};
    QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_THAT(ui.core.questions,
                ElementsAre(out.string() +
                            " already holds 2 files and 1 folder of these names. Replace them?"));
    EXPECT_EQ(ReadHostFile(out / "README.TXT") == Pattern(600, 1), yes);
    ui.core.questions.clear();
  }
}

// After "Check Disk" has repaired the disk, its report shows the disk as it is now.
TEST_F(EditActionsTest, RepairReportShowsTheRepairedDisk) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.BIN", Pattern(1000));
  b.Chain({2, 3, 4});  // a chain longer than the size
  image = dir / "damaged.dsk";
  b.WriteTo(image);
  Start({image.string()});
  std::vector<std::string> reports;
  QObject::connect(w->document(), &Document::reportShown,
                   [&](const std::string& r) { reports.push_back(r); });
  ui.core.yesNo = {true};
  w->fileActions()->checkDisk()->trigger();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[0].find("chain-long  A.BIN"), std::string::npos) << reports[0];
  EXPECT_EQ(reports[1], "Repaired: 1 finding mended\n\nNo problems found.\n");
  EXPECT_EQ(Status(), "Repaired: 1 finding mended");
}

// A disk image made from another format is opened, and the status bar says where it went; a
// conversion that fails says why and opens nothing.
TEST_F(EditActionsTest, ConversionOpensTheResultAndSaysWhere) {
  const std::vector<std::uint8_t> disk = ReadHostFile(WriteDemoImage(dir / "demo.dsk"));
  std::vector<std::uint8_t> ddi(kDdiHeaderBytes, 0);
  ddi.insert(ddi.end(), disk.begin(), disk.end());
  const struct {
    const char* source;
    std::vector<std::uint8_t> bytes;
  } cases[] = {{"a.xsa", EncodeXsa(disk, "a.dsk")}, {"b.ddi", ddi}};
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    WriteHostFile(dir / c.source, c.bytes);
    const std::string target = (dir / "made" / c.source).replace_extension(".dsk").string();
    fs::create_directories(dir / "made");
    ui.core.savePaths.push_back(target);
    w->OpenHostFile(QString::fromStdString((dir / c.source).string()));
    EXPECT_EQ(ReadHostFile(target), disk);
    EXPECT_EQ(Disk(*w).imagePath, target);
    EXPECT_THAT(Captions(), Contains("GAMES.   "));
    EXPECT_EQ(Status(), "Converted to " + target);
  }
  WriteHostFile(dir / "short.msx", Pattern(1000));
  ui.core.savePaths.push_back((dir / "short.dsk").string());
  w->OpenHostFile(QString::fromStdString((dir / "short.msx").string()));
  ASSERT_EQ(ui.core.messages.size(), 1u);
  EXPECT_EQ(Status(), "Not converted: " + ui.core.messages[0]);
  EXPECT_FALSE(fs::exists(dir / "short.dsk"));
  EXPECT_EQ(Disk(*w).imagePath, (dir / "made" / "b.dsk").string());
}

}  // namespace
}  // namespace quarnel::test
