// The main window as a user drives it: open, navigate, sort, context menus, drops.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>

#include "app/main/file_actions.h"
#include "app/main/host_browser.h"
#include "app/main/setup_actions.h"
#include "app/platform/settings_record.h"
#include "core/rename.h"
#include "gui_fixture.h"
#include "support/tape_builder.h"

namespace quarnel::test {
namespace {

using ::testing::ElementsAre;

TEST_F(WindowTest, StartWithAnImageOnTheCommandLineListsIt) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  MainWindow& win = Start({image.string()});
  EXPECT_FALSE(win.PendingOpen());
  EXPECT_THAT(Captions(), ElementsAre("DEMO   ", "README.TXT", "GAME.BAS", "BIG.BIN", "GAMES.   "));
  int big = RowOf("BIG.BIN");
  EXPECT_EQ(Cell(big, 1), "   5000 Bytes");
  EXPECT_EQ(Cell(big, 2), "Binary file");
  EXPECT_EQ(Cell(big, 3), "5/04/2002 13:05:08");
  EXPECT_EQ(Cell(RowOf("GAMES.   "), 2), "Directory");
  EXPECT_EQ(Cell(RowOf("GAMES.   "), 4), ".D....");
  EXPECT_EQ(win.volumeEdit()->text(), "DEMO   ");
  EXPECT_TRUE(win.summaryLabel()->text().startsWith("5 Files Listed \n"));
  EXPECT_EQ(win.browser()->Folder().toStdString(), dir.path().string());
  EXPECT_TRUE(ui.core.messages.empty());
}

TEST_F(WindowTest, OtherExtensionsAreShownButNotOpened) {
  WriteDemoImage(dir / "demo.xsa");
  MainWindow& win = Start({(dir / "demo.xsa").string()});
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(win.PendingOpen());
}

TEST_F(WindowTest, LowerAndUpperCaseExtensionsOpen) {
  WriteDemoImage(dir / "UPPER.DSK");
  Start({(dir / "UPPER.DSK").string()});
  EXPECT_EQ(Captions().size(), 5u);
}

TEST_F(WindowTest, EnterAndLeaveASubdirectory) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  MainWindow& win = Start({image.string()});
  Select({"GAMES.   "});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Return);
  EXPECT_THAT(Captions(), ElementsAre(".", "..", "INSIDE.TXT"));
  EXPECT_EQ(ui.core.statuses.back(), image.string() + "\\GAMES.   \\");
  EXPECT_EQ(Disk(win).Depth(), 1);
  DoubleClick("..");
  EXPECT_EQ(Disk(win).Depth(), 0);
  EXPECT_EQ(Captions().size(), 5u);
  EXPECT_EQ(ui.core.statuses.back(), image.string() + "\\");
  // The volume field keeps the first volume name met.
  EXPECT_EQ(win.volumeEdit()->text(), "DEMO   ");
}

TEST_F(WindowTest, SortBySizeTwiceThenModified) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  Start({image.string()});
  ClickHeader(1);
  EXPECT_THAT(Captions(), ElementsAre("DEMO   ", "GAMES.   ", "GAME.BAS", "README.TXT", "BIG.BIN"));
  ClickHeader(1);
  EXPECT_THAT(Captions(), ElementsAre("BIG.BIN", "README.TXT", "GAME.BAS", "DEMO   ", "GAMES.   "));
  ClickHeader(3);  // "Modified" keeps the order
  EXPECT_THAT(Captions(), ElementsAre("BIG.BIN", "README.TXT", "GAME.BAS", "DEMO   ", "GAMES.   "));
  ClickHeader(0);
  EXPECT_THAT(Captions(), ElementsAre("BIG.BIN", "DEMO   ", "GAME.BAS", "GAMES.   ", "README.TXT"));
  // After another load the same column sorts ascending again.
  w->OpenHostFile(QString::fromStdString(image.string()));
  ClickHeader(0);
  EXPECT_EQ(Captions().front(), "BIG.BIN");
}

TEST_F(WindowTest, ListMenuEnablingFollowsTheSelection) {
  Start();
  auto none = MenuState();
  EXPECT_FALSE(none["Add a File"] || none["Delete"] || none["View"] || none["Extract"] ||
               none["Info"] || none["Rename"]);

  auto image = WriteDemoImage(dir / "demo.dsk");
  w->OpenHostFile(QString::fromStdString(image.string()));
  Select({"README.TXT"});
  auto one = MenuState();
  EXPECT_TRUE(one["Add a File"] && one["Delete"] && one["View"] && one["Extract"] && one["Info"]);
  Select({"README.TXT", "GAME.BAS", "BIG.BIN"});
  auto three = MenuState();
  EXPECT_TRUE(three["Delete"] && three["Extract"] && three["Add a File"]);
  EXPECT_FALSE(three["View"] || three["Info"]);
  Select({});
  auto nothing = MenuState();
  EXPECT_FALSE(nothing["Delete"] || nothing["View"] || nothing["Extract"]);

  Select({"GAMES.   "});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Return);
  Select({"INSIDE.TXT"});
  EXPECT_TRUE(MenuState()["Add a File"] && MenuState()["New Folder"]);
}

TEST_F(WindowTest, ListMenuForACassette) {
  TapeBuilder tape;  // one ASCII file
  tape.FileHeader(0xEA, "NOTES ").Header().Text("10 PRINT \"HI\"\r\n").Fill(8, 0x1A);
  WriteHostFile(dir / "tape.cas", tape.t);
  Start({(dir / "tape.cas").string()});
  ASSERT_FALSE(Captions().empty());
  Select({Captions().front()});
  auto m = MenuState();
  EXPECT_TRUE(m["View"] && m["Extract"]);
  EXPECT_FALSE(m["Add a File"] || m["Delete"] || m["Info"] || m["Rename"]);
}

TEST_F(WindowTest, DroppingOneImageOpensItAndMovesTheBrowser) {
  Start();
  std::filesystem::create_directory(dir / "sub");
  auto image = WriteDemoImage(dir / "sub" / "dropped.dsk");
  DropOnList({image});
  EXPECT_EQ(Captions().size(), 5u);
  EXPECT_EQ(w->browser()->Folder().toStdString(), (dir / "sub").string());
  EXPECT_EQ(Disk(*w).imagePath, image.string());
}

// A dropped disk image of any of the disk image extensions opens, as a double-click opens it;
// it is not added to the image shown.
TEST_F(WindowTest, DroppingADi1ImageOpensItLikeADsk) {
  Start({WriteDemoImage(dir / "shown.dsk").string()});
  auto image = WriteDemoImage(dir / "dropped.DI1");
  DropOnList({image});
  EXPECT_EQ(Disk(*w).imagePath, image.string());
  EXPECT_FALSE(Disk(*w).IsChanged());
}

TEST_F(WindowTest, DroppingBelowTheRootAddsToTheShownDirectory) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  Start({image.string()});
  Select({"GAMES.   "});
  w->OpenSelectedEntry();
  WriteHostFile(dir / "a.txt", {1, 2, 3});
  WriteHostFile(dir / "b.txt", {4});
  ui.core.statuses.clear();
  DropOnList({dir / "a.txt", dir / "b.txt"});
  EXPECT_TRUE(ui.core.messages.empty());
  EXPECT_TRUE(Disk(*w).IsChanged());
  EXPECT_THAT(Captions(), ElementsAre(".", "..", "INSIDE.TXT", "A.TXT", "B.TXT"));
  // The status texts of the drop flow, then the remembered one.
  ASSERT_GE(ui.core.statuses.size(), 2u);
  EXPECT_EQ(ui.core.statuses[0], "Adding file 0 of 2");
  EXPECT_EQ(ui.core.statuses[1], "Adding file 1 of 2");
  DoubleClick("..");
  EXPECT_EQ(RowOf("A.TXT"), -1);  // not in the root
}

TEST_F(WindowTest, DroppingAHostFolderAddsItWithItsContents) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  Start({image.string()});
  std::filesystem::create_directories(dir / "my build" / "out");
  WriteHostFile(dir / "my build" / "out" / "game.rom", {9, 8, 7});
  DropOnList({dir / "my build"});
  EXPECT_TRUE(ui.core.messages.empty());
  ASSERT_GE(RowOf("MYBUILD.   "), 0);
  DoubleClick("MYBUILD.   ");
  DoubleClick("OUT.   ");
  EXPECT_THAT(Captions(), ElementsAre(".", "..", "GAME.ROM"));
}

TEST_F(WindowTest, NewFolderMakesADirectoryInTheShownOne) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  Start({image.string()});
  Select({"GAMES.   "});
  w->OpenSelectedEntry();
  ui.texts.push_back(QString("levels"));
  ui.texts.push_back(QString("bad name!"));
  ui.texts.push_back(QString("LEVELS"));
  for (int i = 0; i < 3; ++i) w->editActions()->newFolder()->trigger();
  EXPECT_THAT(ui.core.messages, ElementsAre("Not a valid MSX-DOS name (8.3): bad name!",
                                            "A directory of that name exists already: LEVELS"));
  EXPECT_THAT(Captions(), ElementsAre(".", "..", "INSIDE.TXT", "LEVELS.   "));
  DoubleClick("LEVELS.   ");
  EXPECT_THAT(Captions(), ElementsAre(".", ".."));
  EXPECT_EQ(Disk(*w).Depth(), 2);
}

TEST_F(WindowTest, NewDiskImageMakesADos2DiskWhenChosen) {
  Start();
  QAction* dos2 = nullptr;
  for (QAction* a : w->findChildren<QAction*>())
    if (a->text() == "MSX-DOS 2 Boot Sector") dos2 = a;
  ASSERT_NE(dos2, nullptr);
  EXPECT_FALSE(dos2->isChecked());  // DOS 1 stays the default
  w->browser()->SetFolder(QString::fromStdString(dir.path().string()));
  ui.core.savePaths = {(dir / "New720.dsk").string(), (dir / "New720.dsk").string()};
  w->fileActions()->newImage(7)->trigger();
  const auto dos1 = ReadHostFile(dir / "New720.dsk");
  dos2->setChecked(true);
  std::filesystem::remove(dir / "New720.dsk");
  w->fileActions()->newImage(7)->trigger();
  const auto made = ReadHostFile(dir / "New720.dsk");
  ASSERT_EQ(made.size(), 737280u);
  EXPECT_NE(std::string(dos1.begin() + 0x20, dos1.begin() + 0x26), "VOL_ID");
  EXPECT_EQ(std::string(made.begin() + 0x20, made.begin() + 0x26), "VOL_ID");
}

TEST_F(WindowTest, ViewStylesAndToggle) {
  Start();
  EXPECT_EQ(w->fileList()->Style(), ListStyle::Report);
  w->ToggleListStyle();
  EXPECT_EQ(w->fileList()->Style(), ListStyle::LargeIcon);
  w->ToggleListStyle();
  EXPECT_EQ(w->fileList()->Style(), ListStyle::List);
  w->ToggleListStyle();
  EXPECT_EQ(w->fileList()->Style(), ListStyle::Report);
}

TEST_F(WindowTest, FilterComboSetsTheBrowserMask) {
  Start();
  std::filesystem::create_directory(dir / "f");
  w->browser()->SetFolder(QString::fromStdString((dir / "f").string()));
  EXPECT_EQ(w->browser()->Mask(), "*.dsk;*.di?");
  WriteDemoImage(dir / "f" / "a.dsk");
  WriteHostFile(dir / "f" / "b.cas", {1});
  WriteHostFile(dir / "f" / "c.txt", {1});
  EXPECT_EQ(w->browser()->ListedNames(), QStringList{"a.dsk"});
  w->filterCombo()->setCurrentIndex(1);
  EXPECT_EQ(w->browser()->ListedNames(), QStringList{"b.cas"});
  w->filterCombo()->setCurrentIndex(3);
  EXPECT_EQ(w->browser()->ListedNames().size(), 3);
}

TEST_F(WindowTest, AutoLoadOpensTheSelectedImage) {
  Start();
  auto image = WriteDemoImage(dir / "demo.dsk");
  w->setupActions()->autoLoad()->setChecked(true);
  emit w->browser()->selectionChanged(QString::fromStdString(image.string()));
  EXPECT_EQ(Captions().size(), 5u);
}

TEST_F(WindowTest, DosFunctionsGivesTheHostActionsOnce) {
  auto image = WriteDemoImage(dir / "demo.dsk");
  Start();
  w->browser()->SetFolder(QString::fromStdString(dir.path().string()));
  w->browser()->SelectPath(QString::fromStdString(image.string()));
  QTest::qWait(200);
  ASSERT_FALSE(w->browser()->SelectedPath().isEmpty());
  EXPECT_EQ(w->HostContextMenu(), w->diskImageMenu());
  for (QAction* a : w->diskImageMenu()->actions())
    if (a->text() == "Dos Functions") a->trigger();
  EXPECT_EQ(w->HostContextMenu(), w->hostActionsMenu());
  EXPECT_EQ(w->HostContextMenu(), w->diskImageMenu());
}

// Setup's Japanese character set: names in the list and the volume field show kana, a name
// typed in kana is stored as its MSX bytes, and the choice is kept with the settings.
TEST_F(WindowTest, TheJapaneseCharacterSetShowsKanaNames) {
  ImageBuilder b;
  b.AddFile(kRoot, "\xB6\xC5.TXT", Pattern(4, 1));
  b.WriteTo(dir / "kana.dsk");
  MainWindow& win = Start({(dir / "kana.dsk").string()});
  EXPECT_THAT(Captions(), ::testing::Not(::testing::Contains("ｶﾅ.TXT")));
  win.setupActions()->japaneseCharset()->trigger();
  EXPECT_THAT(Captions(), ::testing::Contains("ｶﾅ.TXT"));
  EXPECT_TRUE(win.settings().japaneseCharset);
  EXPECT_EQ(DecodeSettings(EncodeSettings(win.settings()))->japaneseCharset, true);
  win.volumeEdit()->setText(QString::fromUtf8("ｱｲ"));
  win.CommitVolumeField();
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "\xB1\xB2");
  win.setupActions()->japaneseCharset()->trigger();
  EXPECT_THAT(Captions(), ::testing::Not(::testing::Contains("ｶﾅ.TXT")));
}

}  // namespace
}  // namespace quarnel::test
