// Card images in the main window: the partitions as the top level of the list, entering and
// leaving one, changes that stay inside the partition they were made in, and card images that
// carry a floppy dump's name.
#include <QUndoStack>

#include "app/main/document.h"
#include "app/main/file_actions.h"
#include "app/viewer/map_folding.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/partition_store.h"
#include "gui_fixture.h"
#include "support/partition_builder.h"

namespace quarnel::test {
namespace {

constexpr std::uint32_t kFloppySectors = 1440;  // a 720 KB volume in each FAT partition
constexpr std::uint32_t kSecondStart = 1 + kFloppySectors;

class CardImageTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Two FAT12 volumes and a Linux partition behind a PC master boot record.
    PartitionedImage img(1 + 2 * kFloppySectors + 64);
    img.Entry(0, 0, 0x01, 1, kFloppySectors)
        .Entry(0, 1, 0x01, kSecondStart, kFloppySectors)
        .Entry(0, 2, 0x83, kSecondStart + kFloppySectors, 64);
    ImageBuilder one, two;
    one.AddVolume("FIRST");
    one.AddFile(kRoot, "ONE.TXT", Pattern(700, 1));
    two.AddVolume("SECOND");
    two.AddFile(kRoot, "TWO.TXT", Pattern(900, 2));
    two.Chain({2, 3, 4});  // TWO.TXT's chain runs on past its size
    std::copy(one.Bytes().begin(), one.Bytes().end(), img.bytes.begin() + 512);
    std::copy(two.Bytes().begin(), two.Bytes().end(), img.bytes.begin() + kSecondStart * 512);
    card = dir / "card.img";
    WriteHostFile(card, img.bytes);
  }
  // The captions of the volume in partition `number` as the file is now.
  std::vector<std::string> SavedCaptions(int number) {
    Workspace ws;
    ws.LoadVolume(OpenPartitionStore(card.string(), number, false).store, card.string());
    std::vector<std::string> out;
    for (const FileEntry& e : ws.Entries()) out.push_back(e.Caption());
    return out;
  }
  // Drops `file` on the list as a file manager would, at `at` in the view's viewport.
  void DropAt(const std::filesystem::path& file, QPoint at) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QWidget* vp = View()->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &drop);
  }
  std::string CheckReport() {
    w->fileActions()->checkDisk()->trigger();
    auto* v = w->findChild<ViewerWindow*>();
    return v ? v->richEdit()->toPlainText().toStdString() : std::string();
  }
  std::filesystem::path card;
};

TEST_F(CardImageTest, PartitionsAreTheTopLevelAndRowsCarryTheirNumbers) {
  Start({card.string()});
  ASSERT_NE(w->card(), nullptr);
  EXPECT_EQ(w->disk(), nullptr);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Partition 1", "Partition 2", "Partition 3"}));
  EXPECT_EQ(w->listModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Volume"));
  EXPECT_EQ(Cell(1, 1), "720 KB");
  EXPECT_EQ(Cell(1, 2), "FAT12");
  EXPECT_EQ(Cell(1, 3), "SECOND");
  EXPECT_EQ(Cell(2, 2), "Linux (83)");
  // Sorting moves rows; the row still enters its own partition.
  w->SortByColumn(2);
  w->SortByColumn(2);
  ASSERT_EQ(Captions(), (std::vector<std::string>{"Partition 3", "Partition 1", "Partition 2"}));
  DoubleClick("Partition 2");
  EXPECT_EQ(w->card()->entered, 2);
  EXPECT_EQ(w->windowTitle().toStdString().rfind("card.img, Partition 2[*] - ", 0), 0u);
  EXPECT_NE(RowOf("TWO.TXT"), -1);
  EXPECT_EQ(RowOf("ONE.TXT"), -1);
}

TEST_F(CardImageTest, UpFromThePartitionRootListsThePartitionsAgain) {
  Start({card.string()});
  DoubleClick("Partition 1");
  ASSERT_NE(RowOf("ONE.TXT"), -1);
  QTest::keyClick(View(), Qt::Key_Backspace);
  ASSERT_NE(w->card(), nullptr);
  EXPECT_TRUE(w->card()->Listing());
  EXPECT_EQ(w->disk(), nullptr);
  EXPECT_EQ(View()->currentIndex().row(), RowOf("Partition 1"));
  EXPECT_EQ(w->windowTitle().toStdString().rfind("card.img[*] - ", 0), 0u);
}

TEST_F(CardImageTest, OtherTypesAreRefusedWithTheReason) {
  Start({card.string()});
  DoubleClick("Partition 3");
  EXPECT_TRUE(w->card()->Listing());
  EXPECT_EQ(
      ui.core.messages,
      (std::vector<std::string>{"partition 3 is of type 83 (Linux): not a FAT12 or FAT16 volume"}));
}

TEST_F(CardImageTest, DroppedFileLandsInItsPartitionAndNothingElseChanges) {
  const auto before = ReadHostFile(card);
  const auto host = dir / "NEW.BIN";
  WriteHostFile(host, Pattern(3000, 7));
  Start({card.string()});
  w->DropFilesOn(2, {QString::fromStdString(host.string())});
  ASSERT_EQ(w->card()->entered, 2);
  EXPECT_NE(RowOf("NEW.BIN"), -1);
  EXPECT_EQ(ReadHostFile(card), before);  // nothing written before the save
  // Leaving asks about the change; Cancel stays, Save writes it in place.
  ui.saveChoices = {SaveChoice::Cancel, SaveChoice::Save};
  EXPECT_FALSE(w->LeavePartition());
  EXPECT_EQ(w->card()->entered, 2);
  EXPECT_TRUE(w->LeavePartition());
  EXPECT_EQ(ui.saveQuestions, (std::vector<std::string>{"card.img", "card.img"}));
  const auto after = ReadHostFile(card);
  ASSERT_EQ(after.size(), before.size());
  std::size_t first = after.size(), last = 0;
  for (std::size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i]) first = std::min(first, i), last = i;
  EXPECT_GE(first, std::size_t{kSecondStart} * 512);
  EXPECT_LT(last, std::size_t{kSecondStart + kFloppySectors} * 512);
  EXPECT_EQ(SavedCaptions(2), (std::vector<std::string>{"SECOND   ", "TWO.TXT", "NEW.BIN"}));
  EXPECT_EQ(SavedCaptions(1), (std::vector<std::string>{"FIRST   ", "ONE.TXT"}));
}

// In a partition an undo puts the bytes back through the staged writes: a save after it leaves
// the file as it was, and an undo back to the saved state leaves nothing to ask on leaving.
TEST_F(CardImageTest, UndoInAPartitionIsSavedInPlace) {
  const auto before = ReadHostFile(card);
  Start({card.string()});
  ASSERT_TRUE(w->EnterPartition(1));
  Select({"ONE.TXT"});
  w->DeleteSelectedEntries();
  w->fileActions()->save()->trigger();
  ASSERT_NE(ReadHostFile(card), before);
  w->document()->undoStack()->undo();
  EXPECT_NE(RowOf("ONE.TXT"), -1);
  EXPECT_TRUE(w->isWindowModified());
  w->fileActions()->save()->trigger();
  EXPECT_EQ(ReadHostFile(card), before);
  w->document()->undoStack()->redo();
  w->document()->undoStack()->undo();
  EXPECT_FALSE(w->isWindowModified());
  EXPECT_TRUE(w->LeavePartition());
  EXPECT_TRUE(ui.saveQuestions.empty());
  EXPECT_EQ(w->document()->undoStack()->count(), 0);
}

TEST_F(CardImageTest, ImgNamesAreDecidedByTheBytes) {
  const auto floppy = dir / "floppy.img";
  ImageBuilder().WriteTo(floppy);
  EXPECT_EQ(HostMenuFor(QString::fromStdString(floppy.string()), false), HostMenuKind::ConvertMenu);
  EXPECT_EQ(HostMenuFor(QString::fromStdString(card.string()), false), HostMenuKind::DiskMenu);
  Start();
  w->OpenHostFile(QString::fromStdString(card.string()));
  EXPECT_TRUE(ui.core.saveTitles.empty());  // no conversion was offered
  ASSERT_NE(w->card(), nullptr);
  EXPECT_EQ(Captions().size(), 3u);
  EXPECT_EQ(DropKindOf({card}), DropOutcome::OpenImage);
}

TEST_F(CardImageTest, DropsGoOnAPartitionsRowOnly) {
  const auto host = dir / "NEW.BIN";
  WriteHostFile(host, Pattern(300, 9));
  Start({card.string()});
  DropAt(host, View()->viewport()->rect().bottomLeft() + QPoint(20, -20));  // on no row
  EXPECT_TRUE(w->card()->Listing());
  EXPECT_EQ(ui.core.messages, (std::vector<std::string>{
                                  "Open a partition of the card image first: double-click it in "
                                  "the list."}));
  DropAt(host, View()->visualRect(w->listModel()->index(RowOf("Partition 1"), 0)).center());
  EXPECT_EQ(w->card()->entered, 1);
  EXPECT_NE(RowOf("NEW.BIN"), -1);
}

TEST_F(CardImageTest, CheckDiskChecksThePartitionEntered) {
  Start({card.string()});
  w->fileActions()->checkDisk()->trigger();  // at the partitions: which one?
  EXPECT_EQ(ui.core.messages.size(), 1u);
  ASSERT_TRUE(w->EnterPartition(2));
  EXPECT_NE(CheckReport().find("TWO.TXT"), std::string::npos);
  ASSERT_TRUE(w->LeavePartition());
  ASSERT_TRUE(w->EnterPartition(1));
  EXPECT_EQ(CheckReport().rfind("No problems found.", 0), 0u);
}

TEST(MapFolding, AFullFat16MapIsScaledAndFreeMarksAreWhollyFree) {
  tools::ClusterMap map;
  map.systemCells = 40;
  map.cells.assign(40, tools::MapClass::System);
  map.cells.resize(40 + 65524, tools::MapClass::Unused);
  map.cells[40 + 1000] = tools::MapClass::Used;  // cluster 1002
  const FoldedMap folded = FoldMap(map);
  EXPECT_LE(folded.marks.size(), kMostDrawnCells);
  ASSERT_GT(folded.perMark, 1u);
  const std::size_t mark = (40 + 1000) / folded.perMark;
  EXPECT_EQ(folded.marks[mark], tools::MapClass::Used);
  EXPECT_EQ(folded.marks[mark + 1], tools::MapClass::Unused);
  const std::string tip = DescribeMark(map, folded, mark, {});
  EXPECT_NE(tip.find("1 used"), std::string::npos) << tip;
  // A floppy's map stays one mark a cluster.
  tools::ClusterMap small;
  small.cells.assign(720, tools::MapClass::Unused);
  EXPECT_EQ(FoldMap(small).perMark, 1u);
}

}  // namespace
}  // namespace quarnel::test
