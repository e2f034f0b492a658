// Undo and redo of every kind of change the windows make: the image's bytes go back exactly and
// come again exactly, the Edit menu names the change, and the window's unsaved mark follows the
// state last saved.
#include <QLineEdit>
#include <QMenuBar>
#include <QUndoStack>
#include <functional>

#include "app/main/document.h"
#include "app/main/edit_actions.h"
#include "app/main/file_actions.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

class UndoTest : public ViewerTest {
 protected:
  std::vector<std::uint8_t> Bytes() {
    const ImageBytes& b = Disk(*w).image.Memory();
    return {b.begin(), b.end()};
  }
  QAction* EditAction(int i) {
    auto* menu = w->menuBar()->findChild<QMenu*>(QStringLiteral("EditMenu"));
    return menu ? menu->actions().value(i) : nullptr;
  }
  QAction* UndoAction() { return EditAction(0); }
  QAction* RedoAction() { return EditAction(1); }
  int SlotOf(const std::string& caption) {
    const int r = RowOf(caption);
    return r < 0 ? -1 : w->listModel()->Row(r)->slot;
  }
  // Types `typed` into the hex grid's cell and offers the edit, answering yes.
  void EditGridByte(const char* typed) {
    v->grid()->SetGridCell(2, 3);
    v->grid()->OpenEditor();
    v->grid()->editor()->clear();
    QTest::keyClicks(v->grid()->editor(), typed);
    QTest::keyClick(v->grid()->editor(), Qt::Key_Return);
    ui.core.yesNo = {true};
    v->OfferPendingChanges();
  }
};

struct UndoCase {
  const char* undoText;
  std::function<void()> change;
  std::function<void()> prepare = nullptr;  // before the change, taken as saved
};

TEST_F(UndoTest, EachChangeIsUndoneAndRedoneExactly) {
  const std::vector<UndoCase> cases = {
      {"Undo Add NEW.BIN",
       [this] {
         WriteHostFile(dir / "new.bin", Pattern(3000, 5));
         w->AddHostFile(dir / "new.bin", "NEW.BIN");
       }},
      {"Undo Add 3 Files",
       [this] {
         for (const char* n : {"a.bin", "b.bin", "c.bin"}) WriteHostFile(dir / n, Pattern(900, 4));
         DropOnList({dir / "a.bin", dir / "b.bin", dir / "c.bin"});
       }},
      {"Undo Delete README.TXT",
       [this] {
         Select({"README.TXT"});
         w->DeleteSelectedEntries();
       }},
      {"Undo Rename README.TXT",
       [this] { w->CommitRenamedEntry(SlotOf("README.TXT"), "LIESMICH.TXT"); }},
      {"Undo New Folder TOOLS",
       [this] {
         ui.texts = {QStringLiteral("TOOLS")};
         w->editActions()->newFolder()->trigger();
       }},
      {"Undo Delete TOOLS",
       [this] {
         Select({"TOOLS.   "});
         ui.core.yesNo = {true};  // the one question about what the folder holds
         w->editActions()->remove()->trigger();
       },
       [this] {
         std::filesystem::create_directories(dir / "tools");
         for (const char* n : {"a.bin", "b.bin"}) WriteHostFile(dir / "tools" / n, Pattern(700, 3));
         w->AddHostFolder(dir / "tools");
         w->ImageChanged();  // listed again
         w->fileActions()->save()->trigger();
       }},
      {"Undo Volume Name",
       [this] {
         w->volumeEdit()->setText(QStringLiteral("OTHER"));
         w->CommitVolumeField();
       }},
      {"Undo OEM Name",
       [this] {
         w->oemEdit()->setText(QStringLiteral("QUARNEL1"));
         w->CommitOemField();
       }},
      {"Undo Repair",
       [this] {
         ui.core.yesNo = {true};
         w->fileActions()->checkDisk()->trigger();
       },
       [this] {
         // The second FAT copy differs from the first: the check repairs it on a yes.
         const DiskGeometry& g = Disk(*w).image.geometry;
         ASSERT_TRUE(Disk(*w).image.PutByte(g.fatOffset + g.FatBytes() + 3, 0x77));
       }},
      {"Undo Edit Sector 0",
       [this] {
         w->document()->RequestSectorView(QString::fromStdString(image.string()));
         EditGridByte("5a");
       }},
      {"Undo Edit README.TXT",
       [this] {
         Select({"README.TXT"});
         w->ViewWith(ViewSelector::Hex);
         EditGridByte("5a");
       }},
  };
  StartWithImage();
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.undoText);
    w->OpenHostFile(QString::fromStdString(image.string()));  // the image as saved
    ASSERT_FALSE(UndoAction()->isEnabled());
    if (c.prepare) c.prepare();
    const std::vector<std::uint8_t> original = Bytes();
    c.change();
    const std::vector<std::uint8_t> changed = Bytes();
    ASSERT_TRUE(changed != original);
    EXPECT_EQ(UndoAction()->text().toStdString(), c.undoText);
    EXPECT_TRUE(w->isWindowModified());
    UndoAction()->trigger();
    EXPECT_TRUE(Bytes() == original);
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_EQ(w->statusText().toStdString(), "Undone: " + std::string(c.undoText + 5));
    RedoAction()->trigger();
    EXPECT_TRUE(Bytes() == changed);
    EXPECT_EQ(w->statusText().toStdString(), "Redone: " + std::string(c.undoText + 5));
    EXPECT_TRUE(w->isWindowModified());
    if (v->isVisible()) v->close();
    w->document()->MarkSaved();  // the next case opens the file again without a question
  }
}

// The unsaved mark follows the state last saved: an undo back to it clears the mark, an undo
// past it sets it again; opening the image again leaves nothing to undo.
TEST_F(UndoTest, TheUnsavedMarkFollowsTheSavedState) {
  StartWithImage();
  w->oemEdit()->setText(QStringLiteral("FIRST"));
  w->CommitOemField();
  w->fileActions()->save()->trigger();
  EXPECT_FALSE(w->isWindowModified());
  Select({"README.TXT"});
  w->DeleteSelectedEntries();
  EXPECT_TRUE(w->isWindowModified());
  UndoAction()->trigger();
  EXPECT_FALSE(w->isWindowModified());
  EXPECT_GE(RowOf("README.TXT"), 0);
  UndoAction()->trigger();
  EXPECT_TRUE(w->isWindowModified());
  EXPECT_TRUE(Disk(*w).IsChanged());
  ui.saveChoices = {SaveChoice::DontSave};
  w->OpenHostFile(QString::fromStdString(image.string()));
  EXPECT_FALSE(UndoAction()->isEnabled());
  EXPECT_FALSE(RedoAction()->isEnabled());
  EXPECT_EQ(Disk(*w).image.Read(3, 5).value()[0], 'F');  // as saved
}

// The viewer follows an undo: the file it shows comes back with the entry, and the view
// closes when the entry is gone again.
TEST_F(UndoTest, TheViewerFollowsUndoAndRedo) {
  StartWithImage();
  Open("README.TXT");
  ASSERT_TRUE(v->isVisible());
  Select({"README.TXT"});
  w->DeleteSelectedEntries();
  UndoAction()->trigger();
  EXPECT_TRUE(v->isVisible());
  EXPECT_NE(PlainText().find("Quarnel demo"), std::string::npos);
  RedoAction()->trigger();
  EXPECT_FALSE(v->isVisible());
}

// The OEM and volume fields show the names an undo puts back.
TEST_F(UndoTest, TheFieldsShowTheNamesPutBack) {
  StartWithImage();
  const QString oem = w->oemEdit()->text(), volume = w->volumeEdit()->text();
  w->volumeEdit()->setText(QStringLiteral("OTHER"));
  w->CommitVolumeField();
  w->oemEdit()->setText(QStringLiteral("QUARNEL1"));
  w->CommitOemField();
  UndoAction()->trigger();
  UndoAction()->trigger();
  EXPECT_EQ(w->oemEdit()->text(), oem);
  EXPECT_EQ(w->volumeEdit()->text(), volume);
  RedoAction()->trigger();
  EXPECT_EQ(w->volumeEdit()->text().trimmed(), "OTHER");
}

}  // namespace
}  // namespace quarnel::test
