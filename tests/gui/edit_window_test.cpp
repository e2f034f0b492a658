// Changing an image from the window: drops, delete, in-place rename, volume and OEM fields,
// add and extract through their dialogs, new images, save, and the prompt at the end.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "app/dialogs/rename_dialog.h"
#include "app/main/file_actions.h"
#include "core/image_path.h"
#include "core/rename.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

std::string RootName(const MainWindow& win, int slot) {
  const auto& img = Disk(const_cast<MainWindow&>(win)).image;
  auto off = img.geometry.rootOffset + static_cast<std::size_t>(slot) * 32;
  return std::string(img.Memory().begin() + static_cast<long>(off),
                     img.Memory().begin() + static_cast<long>(off) + 11);
}

class EditTest : public WindowTest {
 protected:
  MainWindow& StartDemo() {
    image = WriteDemoImage(dir / "demo.dsk");
    MainWindow& win = Start({image.string()});
    win.browser()->SetFolder(QString::fromStdString(dir.path().string()));
    return win;
  }
  std::filesystem::path image;
};

TEST_F(EditTest, DroppingThreeFilesAddsThemAndMarksTheImageChanged) {
  MainWindow& win = StartDemo();
  WriteHostFile(dir / "one.txt", Pattern(10, 4));
  WriteHostFile(dir / "two.bin", Pattern(3000, 5));
  WriteHostFile(dir / "three.dat", std::vector<std::uint8_t>{});
  ui.core.statuses.clear();
  DropOnList({dir / "one.txt", dir / "two.bin", dir / "three.dat"});
  EXPECT_THAT(Captions(), Contains("ONE.TXT"));
  EXPECT_THAT(Captions(), Contains("TWO.BIN"));
  EXPECT_THAT(Captions(), Contains("THREE.DAT"));
  EXPECT_TRUE(Disk(win).IsChanged());
  EXPECT_THAT(ui.core.statuses, Contains("Adding file 0 of 3"));
  EXPECT_THAT(ui.core.statuses, Contains("Adding file 2 of 3"));
  EXPECT_EQ(Cell(RowOf("TWO.BIN"), 1), "   3000 Bytes");
  EXPECT_TRUE(ui.core.messages.empty());
}

// A file the image cannot take changes no byte of it: the image is not marked changed and the
// title gets no "*".
TEST_F(EditTest, ARefusedAddLeavesTheImageUnchanged) {
  MainWindow& win = StartDemo();
  const auto before = Disk(win).image.Memory();
  WriteHostFile(dir / "huge.bin", Pattern(800000, 3));
  DropOnList({dir / "huge.bin"});
  EXPECT_THAT(ui.core.messages, ElementsAre("Disk full"));
  EXPECT_TRUE(std::ranges::equal(Disk(win).image.Memory(), before));
  EXPECT_FALSE(Disk(win).IsChanged());
  EXPECT_FALSE(win.isWindowModified());
}

// A dropped text file is offered for storing tokenised: Yes stores the program RUN loads under
// the stem with .BAS; a text that is no program says where, and nothing is added.
TEST_F(EditTest, DroppingBasicTextOffersToStoreItTokenised) {
  MainWindow& win = StartDemo();
  const std::string text = "10 PRINT 1\r\n";
  WriteHostFile(dir / "prog.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
  const std::string bad = "PRINT 1\r\n";
  WriteHostFile(dir / "bad.asc", std::vector<std::uint8_t>(bad.begin(), bad.end()));
  ui.core.yesNo = {true, true};
  DropOnList({dir / "prog.txt", dir / "bad.asc"});
  EXPECT_THAT(Captions(), Contains("PROG.BAS"));
  EXPECT_THAT(Captions(), Not(Contains("BAD.BAS")));
  ASSERT_EQ(ui.core.messages.size(), 1u);
  EXPECT_EQ(ui.core.messages[0], "bad.asc: line 1, column 1: Line without a line number");
  const auto entry = FindEntry(Disk(win), "PROG.BAS");
  ASSERT_TRUE(entry);
  const FileRead r = ReadFile(Disk(win).image, *entry);
  EXPECT_EQ(r.bytes,
            (std::vector<std::uint8_t>{0xFF, 0x09, 0x80, 10, 0, 0x91, ' ', 0x12, 0, 0, 0}));
}

TEST_F(EditTest, DeletingTwoRowsWithTheKey) {
  MainWindow& win = StartDemo();
  Select({"README.TXT", "BIG.BIN"});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Delete, Qt::AltModifier);
  EXPECT_THAT(Captions(), ElementsAre("DEMO   ", "GAME.BAS", "GAMES.   "));
  EXPECT_TRUE(Disk(win).IsChanged());
  EXPECT_EQ(static_cast<std::uint8_t>(RootName(win, 1)[0]), 0xE5);
}

TEST_F(EditTest, RenameInPlaceAcceptsValidAndRefusesInvalidNames) {
  MainWindow& win = StartDemo();
  auto typeName = [&](const std::string& caption, const char* text) {
    Select({caption});
    win.editActions()->rename()->trigger();
    QLineEdit* editor = nullptr;
    for (auto* e : View()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits from the event loop
  };
  int slot = w->listModel()->Row(RowOf("README.TXT"))->slot;
  typeName("README.TXT", "new.doc");
  EXPECT_THAT(Captions(), Contains("NEW.DOC"));
  EXPECT_EQ(RootName(win, slot), "NEW     DOC");
  EXPECT_TRUE(Disk(win).IsChanged());

  Disk(win).MarkSaved();
  typeName("NEW.DOC", "muchtoolong.txt");
  EXPECT_THAT(Captions(), Contains("NEW.DOC"));
  EXPECT_THAT(Captions(), Not(Contains("muchtoolong.txt")));
  EXPECT_EQ(RootName(win, slot), "NEW     DOC");
  EXPECT_FALSE(Disk(win).IsChanged());
}

// A subdirectory's entries are renamed in the subdirectory's own cluster; ".." keeps its name.
TEST_F(EditTest, RenameWorksInASubdirectory) {
  MainWindow& win = StartDemo();
  Select({"GAMES.   "});
  win.OpenSelectedEntry();
  Select({"INSIDE.TXT"});
  win.editActions()->rename()->trigger();
  QLineEdit* editor = nullptr;
  for (auto* e : View()->viewport()->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "inner.txt");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_THAT(Captions(), Contains("INNER.TXT"));  // as stored
  const int dots = w->listModel()->Row(RowOf(".."))->slot;
  EXPECT_FALSE(win.CommitRenamedEntry(dots, "UP"));
  DoubleClick("..");
  EXPECT_THAT(Captions(), Not(Contains("INNER.TXT")));
}

TEST_F(EditTest, VolumeAndOemFields) {
  MainWindow& win = StartDemo();
  win.volumeEdit()->setText("MYDISK");
  emit win.volumeEdit()->returnPressed();
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MYDISK");
  EXPECT_THAT(Captions(), Contains("MYDISK   "));
  EXPECT_TRUE(Disk(win).IsChanged());

  win.oemEdit()->setText("ABC");
  emit win.oemEdit()->returnPressed();
  const auto& b = Disk(win).image.Memory();
  EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 6), "ABC");
  EXPECT_EQ(b[6], 0);
  EXPECT_EQ(b[10], 0);
}

TEST_F(EditTest, ElevenCharacterVolumeNamesSurviveLeavingTheField) {
  ImageBuilder b;
  b.AddVolume("ELEVENCHARS");
  b.WriteTo(dir / "v.dsk");
  MainWindow& win = Start({(dir / "v.dsk").string()});
  EXPECT_EQ(win.volumeEdit()->text(), "ELEVENCHARS");
  win.CommitVolumeField();
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "ELEVENCHARS");
  EXPECT_FALSE(Disk(win).IsChanged());
}

TEST_F(EditTest, SaveReloadCompare) {
  MainWindow& win = StartDemo();
  WriteHostFile(dir / "extra.bin", Pattern(2500, 9));
  DropOnList({dir / "extra.bin"});
  ASSERT_TRUE(Disk(win).IsChanged());
  win.fileActions()->save()->trigger();
  EXPECT_FALSE(Disk(win).IsChanged());
  EXPECT_TRUE(std::ranges::equal(ReadHostFile(image), Disk(win).image.Memory()));
  auto before = Captions();
  w.reset();
  Start({image.string()});
  EXPECT_EQ(Captions(), before);
}

TEST_F(EditTest, SaveAsProposesTheImagesPath) {
  MainWindow& win = StartDemo();
  win.oemEdit()->setText("COPY");
  win.CommitOemField();
  ui.core.savePaths.push_back((dir / "copy.dsk").string());
  win.fileActions()->saveAs()->trigger();
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Saving DiskImage"));
  EXPECT_EQ(ui.core.saveSuggestions.back(), image.string());
  EXPECT_TRUE(std::ranges::equal(ReadHostFile(dir / "copy.dsk"), Disk(win).image.Memory()));
  EXPECT_EQ(Disk(win).imagePath, (dir / "copy.dsk").string());
  EXPECT_FALSE(Disk(win).IsChanged());
}

TEST_F(EditTest, AddThroughTheDialogAndTheRenameDialog) {
  MainWindow& win = StartDemo();
  WriteHostFile(dir / "averylongname.text", Pattern(100, 6));
  ui.openPaths.push_back((dir / "averylongname.text").string());
  ui.core.newNames.push_back("LONG.TXT");
  win.AddChosenFile();
  EXPECT_THAT(ui.titles, ElementsAre("Add File to Disk Image"));
  EXPECT_THAT(ui.core.renameAsked, ElementsAre("averylongname.text"));
  EXPECT_THAT(Captions(), Contains("LONG.TXT"));
}

TEST_F(EditTest, ExtractOneDialogPerRowAndCancelStops) {
  MainWindow& win = StartDemo();
  Select({"README.TXT", "GAME.BAS", "BIG.BIN"});
  ui.core.savePaths.push_back((dir / "r.txt").string());
  ui.core.savePaths.push_back(std::nullopt);
  win.ExtractSelectedEntries();
  EXPECT_EQ(ui.core.saveTitles.size(), 2u);
  EXPECT_EQ(ui.core.saveTitles.front(), "Extract file from diskImage to");
  EXPECT_EQ(ReadHostFile(dir / "r.txt"), Pattern(600, 1));
  EXPECT_FALSE(std::filesystem::exists(dir / "GAME.BAS"));
  EXPECT_EQ(win.fileList()->SelectedRows().size(), 2u);
}

TEST_F(EditTest, NewImagesGoIntoTheBrowsedFolder) {
  MainWindow& win = StartDemo();
  ui.core.savePaths = {(dir / "New720.dsk").string(), (dir / "New160.dsk").string()};
  win.fileActions()->newImage(7)->trigger();
  win.fileActions()->newImage(0)->trigger();
  EXPECT_THAT(ui.core.saveSuggestions,
              ElementsAre((dir / "New720.dsk").string(), (dir / "New160.dsk").string()));
  EXPECT_EQ(std::filesystem::file_size(dir / "New720.dsk"), 737280u);
  EXPECT_EQ(std::filesystem::file_size(dir / "New160.dsk"), 163840u);
  EXPECT_EQ(Disk(win).imagePath, (dir / "New160.dsk").string());  // the new image is open
}

// Closing with unsaved changes asks "Save changes to demo.dsk?": Cancel keeps the window and the
// changes, Save writes the image to its own path. (The question was once a save dialog whose
// Cancel dropped the changes.)
TEST_F(EditTest, EndingWithChangesOffersToSave) {
  MainWindow& win = StartDemo();
  Select({"BIG.BIN"});
  win.DeleteSelectedEntries();
  const auto before = ReadHostFile(image);
  const auto& shown = Disk(win).image.Memory();
  const std::vector<std::uint8_t> expected(shown.begin(), shown.end());
  EXPECT_FALSE(win.close());  // no answer: Cancel
  EXPECT_TRUE(win.isVisible());
  EXPECT_TRUE(Disk(win).IsChanged());
  EXPECT_EQ(ReadHostFile(image), before);
  ui.saveChoices = {SaveChoice::Save};
  EXPECT_TRUE(win.close());
  EXPECT_THAT(ui.saveQuestions, ElementsAre("demo.dsk", "demo.dsk"));
  EXPECT_TRUE(ui.core.saveTitles.empty());
  EXPECT_EQ(ReadHostFile(image), expected);
}

// Opening another image asks first: Cancel keeps the image and its changes, Don't Save drops
// them, and Save writes them, or asks Save As when the image's own path cannot be written.
TEST_F(EditTest, OpeningAnotherImageOffersToSaveFirst) {
  MainWindow& win = StartDemo();
  win.oemEdit()->setText("X");
  win.CommitOemField();
  auto other = WriteDemoImage(dir / "other.dsk");
  win.OpenHostFile(QString::fromStdString(other.string()));
  EXPECT_EQ(Disk(win).imagePath, image.string());
  EXPECT_TRUE(Disk(win).IsChanged());
  ui.saveChoices = {SaveChoice::DontSave};
  win.OpenHostFile(QString::fromStdString(other.string()));
  EXPECT_EQ(Disk(win).imagePath, other.string());
  EXPECT_THAT(ui.saveQuestions, ElementsAre("demo.dsk", "demo.dsk"));
  EXPECT_NE(ReadHostFile(image)[3], 'X');

  // Save when the image's own folder is gone: Save As, with .dsk added to a bare name.
  std::filesystem::create_directory(dir / "gone");
  std::filesystem::copy_file(other, dir / "gone" / "x.dsk");
  win.OpenHostFile(QString::fromStdString((dir / "gone" / "x.dsk").string()));
  win.oemEdit()->setText("Y");
  win.CommitOemField();
  std::filesystem::remove_all(dir / "gone");
  ui.saveChoices = {SaveChoice::Save};
  ui.core.savePaths.push_back((dir / "copy").string());
  win.OpenHostFile(QString::fromStdString(image.string()));
  EXPECT_EQ(ReadHostFile(dir / "copy.dsk")[3], 'Y');
  EXPECT_EQ(Disk(win).imagePath, image.string());
}

TEST(RenameDialogTest, KeepsWhatWasTypedLastTime) {
  RenameDialog d;
  EXPECT_EQ(d.windowTitle(), "Filename too long! Rename:");
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(d.newNameBox(), "SHORT.TXT");
    QTest::keyClick(d.newNameBox(), Qt::Key_Return);
  });
  EXPECT_EQ(d.Ask("averylongname.text"), QString("SHORT.TXT"));
  EXPECT_EQ(d.hostNameLabel()->text(), "averylongname.text");
  QTimer::singleShot(0, [&] { d.reject(); });
  EXPECT_EQ(d.Ask("another.long.name"), std::nullopt);
  EXPECT_EQ(d.newNameBox()->text(), "SHORT.TXT");
}

}  // namespace
}  // namespace quarnel::test
