// The main window never loses work without asking: not the other program's change to the file,
// not a file of the same name, not the open image when another file cannot be opened, and not
// edits that have not reached the file yet.
#include <QLineEdit>

#include "app/main/document.h"
#include "app/main/file_actions.h"
#include "core/image_lock.h"
#include "core/image_path.h"
#include "core/messages.h"
#include "core/rename.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class KeepingWork : public WindowTest {
 protected:
  MainWindow& StartDemo() {
    image = WriteDemoImage(dir / "demo.dsk");
    MainWindow& win = Start({image.string()});
    win.browser()->SetFolder(QString::fromStdString(dir.path().string()));
    return win;
  }
  void ChangeOem(const char* text) {
    w->oemEdit()->setText(text);
    w->CommitOemField();
  }
  // Another program writes the file as editors do: a new file renamed over the old one.
  static void WriteElsewhere(const std::filesystem::path& p, std::vector<std::uint8_t> bytes) {
    WriteHostFile(p.string() + ".new", bytes);
    std::filesystem::rename(p.string() + ".new", p);
  }
  std::size_t SizeOf(const std::string& caption) {
    const auto e = FindEntry(Disk(*w), caption);
    return e ? static_cast<std::size_t>(e->size) : 0;
  }
  std::filesystem::path image;
};

// A file written by someone else since it was read is not saved over without a question:
// Cancel keeps both, Save As writes elsewhere, Overwrite writes it. After a save of its own the
// window asks no more.
TEST_F(KeepingWork, SavingAFileChangedOnDiskAsksFirst) {
  MainWindow& win = StartDemo();
  ChangeOem("MINE");
  auto theirs = ReadHostFile(image);
  theirs[3] = 'T';
  WriteElsewhere(image, theirs);

  win.fileActions()->save()->trigger();  // no answer: Cancel
  EXPECT_THAT(ui.diskChangedAsked, ElementsAre("demo.dsk"));
  EXPECT_EQ(ReadHostFile(image), theirs);
  EXPECT_TRUE(win.isWindowModified());

  ui.diskChangedChoices = {DiskChangedChoice::SaveAs};
  ui.core.savePaths.push_back((dir / "mine.dsk").string());
  win.fileActions()->save()->trigger();
  EXPECT_EQ(ReadHostFile(image), theirs);
  EXPECT_EQ(ReadHostFile(dir / "mine.dsk")[3], 'M');
  EXPECT_EQ(Disk(win).imagePath, (dir / "mine.dsk").string());

  ChangeOem("AGAIN");
  WriteElsewhere(dir / "mine.dsk", theirs);
  ui.diskChangedChoices = {DiskChangedChoice::Overwrite};
  win.fileActions()->save()->trigger();
  EXPECT_EQ(ReadHostFile(dir / "mine.dsk")[3], 'A');
  ChangeOem("THIRD");
  win.fileActions()->save()->trigger();
  EXPECT_EQ(ui.diskChangedAsked.size(), 3u);
  EXPECT_FALSE(win.isWindowModified());

  // Closing with changes asks too; its Cancel keeps the window open.
  ChangeOem("LAST");
  WriteElsewhere(dir / "mine.dsk", theirs);
  ui.saveChoices = {SaveChoice::Save};
  EXPECT_FALSE(win.close());
  EXPECT_EQ(ReadHostFile(dir / "mine.dsk"), theirs);
  EXPECT_TRUE(Disk(win).IsChanged());
}

// New asks for the file, proposing the first free NewNNN name; it replaces nothing without the
// question, leaves everything as it was when cancelled, and opens the image it made.
// While the command-line tool holds the image for a change, a save waits, then says so and
// writes nothing; once it is free the save goes ahead.
TEST_F(KeepingWork, SavingWhileAnotherProgramChangesTheImageWritesNothing) {
  MainWindow& win = StartDemo();
  ChangeOem("MINE");
  const auto before = ReadHostFile(image);
  {
    const ImageLock other(image, std::chrono::milliseconds(0));
    ASSERT_TRUE(other.held());
    win.fileActions()->save()->trigger();
  }
  EXPECT_EQ(ReadHostFile(image), before);
  EXPECT_THAT(ui.core.messages,
              ::testing::Contains(image.string() + std::string(msg::kBeingChanged)));
  EXPECT_TRUE(win.isWindowModified());
  win.fileActions()->save()->trigger();
  EXPECT_EQ(ReadHostFile(image)[3], 'M');
}

TEST_F(KeepingWork, NewAsksForTheNameAndOpensTheImage) {
  MainWindow& win = StartDemo();
  const auto taken = WriteDemoImage(dir / "New720.dsk");
  const auto before = ReadHostFile(taken);
  win.fileActions()->newImage(7)->trigger();  // no answer: cancelled
  EXPECT_EQ(ui.core.saveSuggestions.back(), (dir / "New720-2.dsk").string());
  EXPECT_EQ(ReadHostFile(taken), before);
  EXPECT_EQ(Disk(win).imagePath, image.string());

  ui.core.savePaths.push_back((dir / "New720").string());  // ".dsk" makes it the taken name
  win.fileActions()->newImage(7)->trigger();               // "Replace?" not answered: No
  EXPECT_EQ(ui.core.questions.back(), "New720.dsk already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadHostFile(taken), before);

  ChangeOem("X");
  ui.core.savePaths.push_back((dir / "fresh.dsk").string());
  win.fileActions()
      ->newImage(0)
      ->trigger();  // "Save changes?" not answered: Cancel, nothing written
  EXPECT_FALSE(std::filesystem::exists(dir / "fresh.dsk"));
  ui.saveChoices = {SaveChoice::DontSave};
  ui.core.savePaths.push_back((dir / "fresh.dsk").string());
  win.fileActions()->newImage(0)->trigger();
  EXPECT_EQ(std::filesystem::file_size(dir / "fresh.dsk"), 163840u);
  EXPECT_EQ(Disk(win).imagePath, (dir / "fresh.dsk").string());
  EXPECT_THAT(Captions(), IsEmpty());
  EXPECT_EQ(win.windowTitle(), "fresh.dsk[*] - Quarnel 0.84");
}

// After Save As the window's file is the new one: title, Save and Open Recent. Save a Copy
// writes the copy and keeps the window's file and its unsaved mark.
TEST_F(KeepingWork, SaveAsMovesTheWindowToTheNewFileAndSaveACopyDoesNot) {
  MainWindow& win = StartDemo();
  const auto original = ReadHostFile(image);
  ChangeOem("COPY");
  ui.core.savePaths.push_back((dir / "copy.dsk").string());
  win.fileActions()->saveCopy()->trigger();
  EXPECT_EQ(ReadHostFile(dir / "copy.dsk")[3], 'C');
  EXPECT_EQ(Disk(win).imagePath, image.string());
  EXPECT_TRUE(win.isWindowModified());

  ui.core.savePaths.push_back((dir / "repaired.dsk").string());
  win.fileActions()->saveAs()->trigger();
  EXPECT_EQ(Disk(win).imagePath, (dir / "repaired.dsk").string());
  EXPECT_EQ(win.windowTitle(), "repaired.dsk[*] - Quarnel 0.84");
  EXPECT_FALSE(win.isWindowModified());
  EXPECT_EQ(win.recentFiles().Paths().front(), (dir / "repaired.dsk").string());
  win.volumeEdit()->setText("FIXED");
  win.CommitVolumeField();
  EXPECT_TRUE(win.isWindowModified());
  QTest::keySequence(&win, QKeySequence::Save);
  EXPECT_EQ(ReadHostFile(image), original);
  EXPECT_TRUE(std::ranges::equal(ReadHostFile(dir / "repaired.dsk"), Disk(win).image.Memory()));
}

// A file that gives nothing to show leaves the open image, its listing and its changes as they
// were, and asks nothing; Open... on a file of no known kind says why nothing opens.
TEST_F(KeepingWork, AFailedOpenLeavesTheOpenImage) {
  MainWindow& win = StartDemo();
  ChangeOem("KEEP");
  const auto listed = Captions();
  WriteHostFile(dir / "small.dsk", Pattern(32 * 1024, 1));
  ui.openPaths.push_back((dir / "small.dsk").string());
  QTest::keySequence(&win, QKeySequence::Open);
  EXPECT_THAT(ui.core.messages, ElementsAre(std::string(msg::kFileTooSmall)));
  EXPECT_THAT(ui.saveQuestions, IsEmpty());
  EXPECT_EQ(Captions(), listed);
  EXPECT_EQ(Disk(win).imagePath, image.string());
  EXPECT_TRUE(Disk(win).IsChanged());
  EXPECT_EQ(win.windowTitle(), "demo.dsk[*] - Quarnel 0.84");
  EXPECT_EQ(win.browser()->SelectedPath().toStdString(), image.string());  // marks what is open

  WriteHostFile(dir / "picture.png", Pattern(100, 2));
  ui.openPaths.push_back((dir / "picture.png").string());
  QTest::keySequence(&win, QKeySequence::Open);
  ASSERT_EQ(ui.core.messages.size(), 2u);
  EXPECT_EQ(ui.core.messages[1].rfind("picture.png is not a file Quarnel opens", 0), 0u);
  EXPECT_EQ(Captions(), listed);
}

// The list's menu acts on what is under the pointer: a right click on empty space leaves no
// row selected, and the entries that need one are off.
TEST_F(KeepingWork, ARightClickOnEmptySpaceSelectsNothing) {
  StartDemo();
  Select({"README.TXT"});
  const QPoint empty(20, View()->viewport()->height() - 5);
  ASSERT_FALSE(View()->indexAt(empty).isValid());
  // Pressed only: the menu opens on the press and takes the release.
  QTest::mousePress(View()->viewport(), Qt::RightButton, {}, empty);
  EXPECT_THAT(w->fileList()->SelectedRows(), IsEmpty());
  const auto menu = MenuState();
  for (const char* entry : {"Delete", "Extract", "Info", "Rename", "View"})
    EXPECT_FALSE(menu.at(entry)) << entry;
  EXPECT_TRUE(menu.at("Add a File"));

  const QRect game = View()->visualRect(w->listModel()->index(RowOf("GAME.BAS"), 0));
  QTest::mousePress(View()->viewport(), Qt::RightButton, {}, game.center());
  EXPECT_THAT(w->fileList()->SelectedRows(), ElementsAre(RowOf("GAME.BAS")));
}

// Adding over a name in the directory asks "Replace NAME?": Cancel and Skip keep the file,
// Replace replaces it; for several files the answer may hold for all, and Cancel adds none.
TEST_F(KeepingWork, AddingOverANameAsksFirst) {
  MainWindow& win = StartDemo();
  WriteHostFile(dir / "game.bas", Pattern(19, 3));
  ui.openPaths = {(dir / "game.bas").string(), (dir / "game.bas").string()};
  win.AddChosenFile();  // no answer: Cancel
  EXPECT_EQ(SizeOf("GAME.BAS"), 5u);
  ui.replaceAnswers = {ReplaceAnswer{ReplaceChoice::Replace, false}};
  win.AddChosenFile();
  EXPECT_EQ(SizeOf("GAME.BAS"), 19u);
  EXPECT_THAT(ui.replaceAsked, ElementsAre("GAME.BAS", "GAME.BAS"));

  WriteHostFile(dir / "readme.txt", Pattern(7, 4));
  WriteHostFile(dir / "big.bin", Pattern(8, 5));
  WriteHostFile(dir / "new.dat", Pattern(9, 6));
  ui.replaceAsked.clear();
  ui.replaceAnswers = {ReplaceAnswer{ReplaceChoice::Skip, true}};
  DropOnList({dir / "readme.txt", dir / "big.bin", dir / "new.dat"});
  EXPECT_THAT(ui.replaceAsked, ElementsAre("README.TXT (several)"));
  EXPECT_EQ(SizeOf("README.TXT"), 600u);
  EXPECT_EQ(SizeOf("BIG.BIN"), 5000u);
  EXPECT_EQ(SizeOf("NEW.DAT"), 9u);

  WriteHostFile(dir / "other.dat", Pattern(9, 6));
  ui.replaceAnswers = {ReplaceAnswer{ReplaceChoice::Cancel, false}};
  DropOnList({dir / "other.dat", dir / "big.bin"});
  EXPECT_EQ(SizeOf("OTHER.DAT"), 0u);
  EXPECT_EQ(SizeOf("BIG.BIN"), 5000u);
}

// Leaving the OEM or volume field unchanged changes nothing.
TEST_F(KeepingWork, LeavingAFieldUnchangedChangesNothing) {
  MainWindow& win = StartDemo();
  win.CommitOemField();
  win.CommitVolumeField();
  EXPECT_FALSE(Disk(win).IsChanged());
  EXPECT_FALSE(win.isWindowModified());
}

class KeepingViewerWork : public ViewerTest {
 protected:
  void EditSectorByte(const char* typed) {
    w->document()->RequestSectorView(QString::fromStdString(image.string()));
    v->grid()->SetGridCell(2, 3);
    v->grid()->OpenEditor();
    v->grid()->editor()->clear();
    QTest::keyClicks(v->grid()->editor(), typed);
    QTest::keyClick(v->grid()->editor(), Qt::Key_Return);
  }
};

// An edit taken into the image marks the window; Save offers the viewer's pending edits first
// and writes them.
TEST_F(KeepingViewerWork, ViewerEditsMarkTheWindowAndAreSaved) {
  StartWithImage();
  EditSectorByte("5a");
  ui.core.yesNo = {true};
  v->close();
  EXPECT_TRUE(w->isWindowModified());
  w->fileActions()->save()->trigger();
  EXPECT_EQ(ReadHostFile(image)[17], 0x5A);

  EditSectorByte("6b");
  ui.core.yesNo = {true};
  w->fileActions()->save()->trigger();
  EXPECT_EQ(ui.core.questions.back(), "Save the changes to sector 0?");
  EXPECT_EQ(ReadHostFile(image)[17], 0x6B);
  EXPECT_FALSE(w->isWindowModified());
}

}  // namespace
}  // namespace quarnel::test
