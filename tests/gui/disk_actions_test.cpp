// Find on Disk and Properties on real widgets: the dialog's hits are the library's, a
// double-clicked hit in another directory is asked for in the hex view with that file's row and
// the hit's offset, changing attributes is one change that undo takes back to the same bytes,
// and the properties show the clusters and sectors a fragmented file occupies.
#include "app/main/disk_actions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUndoStack>

#include "app/dialogs/find_on_disk_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/main/document.h"
#include "gui_fixture.h"
#include "tools/file_search.h"

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

class DiskActionsTest : public WindowTest {
 protected:
  MainWindow& StartDisk() {
    ImageBuilder b;
    b.AddFile(kRoot, "README.TXT", {'z', 'o', 'r', 'k', '!', 'Z', 'O', 'R', 'K'});
    // FRAG.BIN in three runs of clusters: 30-31, 60, 12.
    b.WriteData(30, Pattern(2048, 3));
    b.WriteData(60, Pattern(1024, 4));
    b.WriteData(12, {'Z', 'o', 'R', 'k'});
    b.Chain({30, 31, 60, 12});
    b.AddEntry(kRoot, {.name = "FRAG.BIN", .firstCluster = 30, .size = 3100});
    const std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
    b.AddFile(games, "FIRST.TXT", Pattern(50, 5));
    b.AddFile(games, "INSIDE.TXT", {'.', '.', 'z', 'o', 'r', 'k'});
    image = dir / "disk.dsk";
    b.WriteTo(image);
    return Start({image.string()});
  }
  FindOnDiskDialog* FindText(const char* text) {
    w->diskActions()->findOnDisk()->trigger();
    FindOnDiskDialog* d = w->diskActions()->findDialog();
    if (!d) return nullptr;
    d->textButton()->setChecked(true);
    d->entry()->setText(QString::fromLatin1(text));
    QTest::mouseClick(d->findButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([d] { return !d->Running(); }, 5000));
    return d;
  }
  std::vector<std::uint8_t> Bytes() {
    const ImageBytes& b = Disk(*w).image.Memory();
    return {b.begin(), b.end()};
  }
  fs::path image;
};

TEST_F(DiskActionsTest, FindOnDiskListsTheLibrarysHits) {
  StartDisk();
  FindOnDiskDialog* d = FindText("zork");
  ASSERT_NE(d, nullptr);
  const std::vector<tools::FileHit> expected =
      tools::FindInFiles(Disk(*w).image, {'z', 'o', 'r', 'k'}, true);
  ASSERT_EQ(expected.size(), 4u);  // README.TXT twice, FRAG.BIN's last cluster, INSIDE.TXT
  ASSERT_EQ(d->hitList()->topLevelItemCount(), 4);
  for (int i = 0; i < 4; ++i) {
    const auto& e = expected[static_cast<std::size_t>(i)];
    QTreeWidgetItem* item = d->hitList()->topLevelItem(i);
    EXPECT_EQ(item->text(0).toStdString(), "\\" + e.path);
    EXPECT_TRUE(item->text(1).startsWith(QString::number(e.offset) + " ")) << e.path;
  }
  EXPECT_EQ(d->Hits()[2].path, "FRAG.BIN");
  EXPECT_EQ(d->Hits()[2].offset, 3072u);
  EXPECT_EQ(d->status()->text().toStdString(), "4 hits in 3 files");
  // A change of the image drops the hits: they may no longer be where they were.
  Select({"README.TXT"});
  w->editActions()->remove()->trigger();
  EXPECT_EQ(d->hitList()->topLevelItemCount(), 0);
  EXPECT_TRUE(d->Hits().empty());
}

TEST_F(DiskActionsTest, DoubleClickedHitAsksForTheHexViewOfItsFile) {
  StartDisk();
  FindOnDiskDialog* d = FindText("zork");
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->hitList()->topLevelItemCount(), 4);
  std::vector<std::pair<FileRow, std::uint64_t>> asked;
  QObject::connect(
      w->document(), &Document::hexAtRequested, w.get(),
      [&asked](const FileRow& row, std::uint64_t offset) { asked.emplace_back(row, offset); });
  // The hit in GAMES\INSIDE.TXT, while the root is shown.
  QTreeWidgetItem* item = d->hitList()->topLevelItem(3);
  ASSERT_EQ(item->text(0).toStdString(), "\\GAMES\\INSIDE.TXT");
  QWidget* vp = d->hitList()->viewport();
  const QPoint at = d->hitList()->visualItemRect(item).center();
  QTest::mouseClick(vp, Qt::LeftButton, {}, at);
  QTest::mouseDClick(vp, Qt::LeftButton, {}, at);
  ASSERT_EQ(asked.size(), 1u);
  const FileRow row = asked[0].first;
  EXPECT_EQ(row.caption, "INSIDE.TXT");
  EXPECT_EQ(asked[0].second, 2u);
  // The list shows the file's directory, and the row's slot is the file's there.
  EXPECT_EQ(Disk(*w).Depth(), 1);
  EXPECT_EQ(Disk(*w).CurrentDir(), d->Hits()[3].dir);
  const auto entry = Disk(*w).EntryAt(row.slot);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Caption(), "INSIDE.TXT");
  EXPECT_EQ(entry->offset, d->Hits()[3].entryOffset);
  // Back in the root, a hit there is found from the subdirectory.
  d->ActivateHit(0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].first.caption, "README.TXT");
  EXPECT_TRUE(Disk(*w).AtRoot());
}

TEST_F(DiskActionsTest, ChangedAttributesAreUndoneToTheSameBytes) {
  StartDisk();
  const std::vector<std::uint8_t> before = Bytes();
  Select({"README.TXT"});
  w->diskActions()->properties()->trigger();
  PropertiesDialog* p = w->diskActions()->propertiesDialog();
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->systemBox()->isEnabled());
  p->readOnlyBox()->setChecked(true);
  p->hiddenBox()->setChecked(true);
  QTest::mouseClick(p->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                    Qt::LeftButton);
  const std::vector<std::uint8_t> after = Bytes();
  const std::size_t attribute = Disk(*w).EntryAt(0)->offset + 11;
  EXPECT_EQ(after[attribute], kAttrReadOnly | kAttrHidden);
  std::size_t differing = 0;
  for (std::size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i];
  EXPECT_EQ(differing, 1u);
  EXPECT_EQ(w->document()->undoStack()->undoText().toStdString(),
            "Change Attributes of README.TXT");
  EXPECT_EQ(w->statusText().toStdString(), "Changed the attributes of README.TXT");
  w->document()->undoStack()->undo();
  EXPECT_EQ(Bytes(), before);
  w->document()->undoStack()->redo();
  EXPECT_EQ(Bytes(), after);
}

TEST_F(DiskActionsTest, PropertiesShowTheRangesAFragmentedFileOccupies) {
  StartDisk();
  Select({"FRAG.BIN"});
  w->diskActions()->properties()->trigger();
  PropertiesDialog* p = w->diskActions()->propertiesDialog();
  ASSERT_NE(p, nullptr);
  // fileinfo's chain is 30 31 60 12; two sectors a cluster, cluster 2 at sector 14.
  EXPECT_EQ(p->clustersLabel()->text().toStdString(), "30-31, 60, 12");
  EXPECT_EQ(p->sectorsLabel()->text().toStdString(), "70-73, 130-131, 34-35");
  EXPECT_EQ(p->chainLabel()->text().toStdString(), "Sound");
  p->reject();
}

}  // namespace
}  // namespace quarnel::test
