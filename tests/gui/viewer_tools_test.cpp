// The viewer's reports, sector editor and search on the real widgets: Info and Disk Details
// write their reports and the map tells who owns a cell; the sector view edits a byte and saves
// it after the question; a hex view edit goes back into the file it was read from; Search finds
// in the sector, hex and text views.
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/find_dialog.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "tools/disk_report.h"
#include "tools/messages.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

class ViewerToolsTest : public ViewerTest {
 protected:
  int SlotOf(const std::string& caption) {
    for (const FileEntry& e : w->disk()->Entries())
      if (e.Caption() == caption) return e.slot;
    return -1;
  }
  QString ImagePath() const { return QString::fromStdString(image.string()); }
  // Types into the inline editor on layout cell (row, column) and presses Enter.
  void EditCell(std::size_t row, int column, const char* typed) {
    v->grid()->SetGridCell(row, column);
    v->grid()->OpenEditor();
    QLineEdit* editor = v->grid()->editor();
    ASSERT_TRUE(editor->isVisible());
    editor->clear();
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
  }
  void Find(const QString& hex) {
    FindDialog* f = v->findDialog();
    f->hexButton()->setChecked(true);
    f->hexEntry()->setText(hex);
    f->FindClicked();
  }
};

TEST_F(ViewerToolsTest, InfoWritesTheFileReportWithItsClustersMarked) {
  StartWithImage();
  w->document()->RequestFileInfo(SlotOf("README.TXT"));
  EXPECT_EQ(v->viewMode(), ViewerMode::FileInfo);
  EXPECT_EQ(v->windowTitle(), "Info on File: README.TXT");
  const std::string text = PlainText();
  EXPECT_NE(text.find("The File has a size of 39 bytes\nspanning 1 clusters on the disk"),
            std::string::npos);
  EXPECT_NE(text.find(" README.TXT\n"), std::string::npos);
  EXPECT_GT(MapCellCount(app_text::kFaceFile), 0);
  // Its cluster tells its number and owner.
  const std::uint16_t first = w->disk()->EntryAt(SlotOf("README.TXT"))->firstCluster;
  const int at = static_cast<int>(text.size());  // past the map: nothing
  EXPECT_EQ(v->reports().MapCellAt(at), "");
  bool seen = false;
  for (int pos = 0; pos < v->richEdit()->document()->characterCount() && !seen; ++pos)
    seen = v->reports().MapCellAt(pos) == QString("Cluster %1: \\README.TXT").arg(first);
  EXPECT_TRUE(seen);
}

TEST_F(ViewerToolsTest, DiskDetailsWritesTheDiskReportAndTheMap) {
  StartWithImage();
  w->document()->RequestDiskDetails(ImagePath());
  EXPECT_EQ(v->viewMode(), ViewerMode::DiskDetail);
  EXPECT_EQ(v->windowTitle(), "Details of demo.dsk");
  const QString text = v->richEdit()->toPlainText();
  EXPECT_TRUE(text.contains("          Disk Technical Information"));
  EXPECT_TRUE(text.contains("    There are 720 clusters"));
  EXPECT_TRUE(text.contains(QStringLiteral("680\t")));
  EXPECT_EQ(MapCellCount(app_text::kFaceSystem), 7 + 1);  // map + legend
  EXPECT_FALSE(v->panel()->isVisible());
}

// The map is a grid: whatever font the symbols come from, every row's marks stand in the same
// columns as the first row's, one cell width apart.
TEST_F(ViewerToolsTest, TheDiskMapsMarksLineUpInColumns) {
  StartWithImage();
  w->document()->RequestDiskDetails(ImagePath());
  std::vector<std::vector<int>> rows;  // the left edges of each line's marks
  int line = -1;
  for (const MapCellShown& c : MapCells()) {
    if (c.line != line) rows.emplace_back();
    line = c.line;
    rows.back().push_back(c.at.left());
  }
  // The legend's lines come first; the map starts with the first full row.
  const auto full = [](const std::vector<int>& r) {
    return r.size() == std::size_t{tools::ClusterMap::kCellsPerRow};
  };
  const auto start = std::find_if(rows.begin(), rows.end(), full);
  ASSERT_NE(start, rows.end());
  ASSERT_GE(rows.end() - start, 720 / tools::ClusterMap::kCellsPerRow);
  const std::vector<int>& first = *start;
  for (std::size_t k = 1; k < first.size(); ++k)
    EXPECT_EQ(first[k] - first[k - 1], first[1] - first[0]) << "column " << k;
  for (auto row = start; row != rows.end(); ++row)  // the last row may be short
    EXPECT_TRUE(std::equal(row->begin(), row->end(), first.begin())) << row->size();
}

TEST_F(ViewerToolsTest, SectorViewEditsAByteAndSavesItAfterTheQuestion) {
  StartWithImage();
  w->document()->RequestSectorView(ImagePath());
  EXPECT_EQ(v->viewMode(), ViewerMode::Sector);
  EXPECT_EQ(v->windowTitle(), "Sector view of demo.dsk");
  HexModel* m = v->grid()->Model();
  ASSERT_TRUE(m->IsSector());
  EXPECT_EQ(m->rowCount(), 32);
  EXPECT_EQ(m->GridCell(32, 0), "1F0");
  // "$1F" shows sector 31; a number past the disk shows the last sector.
  v->sectorEditor().sectorBox()->setText("$1F");
  v->sectorEditor().SectorView();
  EXPECT_EQ(v->sectorEditor().currentSector(), 31);
  v->sectorEditor().sectorBox()->setText("99999");
  v->sectorEditor().SectorView();
  EXPECT_EQ(v->sectorEditor().currentSector(), 1439);
  EXPECT_EQ(v->sectorEditor().sectorBox()->text(), "1439");
  v->sectorEditor().sectorBox()->setText("x");
  v->sectorEditor().SectorView();
  EXPECT_EQ(ui.core.messages.back(), "'x' is not a valid integer value");

  v->sectorEditor().sectorBox()->setText("3");
  v->sectorEditor().SectorView();
  EditCell(2, 3, "5a");
  EXPECT_EQ(m->GridCell(2, 3), "5A");
  EXPECT_EQ(v->grid()->OffsetText(), "11");
  EXPECT_TRUE(v->PendingChanges());
  ui.core.yesNo.push_back(true);
  v->sectorEditor().sectorBox()->setText("4");
  v->sectorEditor().SectorView();  // the pending edit is offered first
  EXPECT_EQ(ui.core.questions.back(), "Save the changes to sector 3?");
  EXPECT_EQ(ui.yesNoCaptions.back(), "Sector 3 has changed!");
  EXPECT_EQ(w->disk()->image.Memory()[3 * 512 + 17], 0x5A);
  EXPECT_TRUE(w->disk()->IsChanged());
  EXPECT_FALSE(v->PendingChanges());
}

// A sector view of another image asks about the grid's edits before that image replaces the one
// they belong to: a yes writes them into it, and the save question that follows keeps them.
TEST_F(ViewerToolsTest, EditsAreOfferedBeforeAnotherImageIsLoaded) {
  StartWithImage();
  const std::filesystem::path other = dir / "other.dsk";
  std::filesystem::copy_file(image, other);
  w->document()->RequestSectorView(ImagePath());
  EditCell(2, 3, "5a");
  ui.core.yesNo.push_back(true);
  ui.saveChoices.push_back(SaveChoice::Save);
  w->document()->RequestSectorView(QString::fromStdString(other.string()));
  EXPECT_EQ(ui.core.questions.back(), "Save the changes to sector 0?");
  ASSERT_EQ(ui.saveQuestions.size(), 1U);
  EXPECT_EQ(w->disk()->imagePath, other.string());
  EXPECT_EQ(ReadHostFile(image).at(17), 0x5A);
}

TEST_F(ViewerToolsTest, HexViewEditGoesBackIntoTheViewedFile) {
  StartWithImage();
  Select({"README.TXT"});
  w->ViewWith(ViewSelector::Hex);
  EditCell(1, 2, "71");  // "q"
  ui.core.yesNo.push_back(true);
  v->close();
  EXPECT_EQ(ui.core.questions.back(), "Save the changes to README.TXT?");
  const FileEntry e = *w->disk()->EntryAt(SlotOf("README.TXT"));
  const FileRead r = ReadFile(w->disk()->image, e);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.begin() + 7), "quarnel");
}

TEST_F(ViewerToolsTest, SearchFindsInTheSectorHexAndTextViews) {
  StartWithImage();
  // Sector view: the whole image from the shown sector on; Find again goes on after the hit.
  w->document()->RequestSectorView(ImagePath());
  Find("517561726E656C");  // "Quarnel"
  FindDialog* f = v->findDialog();
  EXPECT_EQ(f->windowTitle(), tools::kFindFound.data());
  const std::int32_t first = v->sectorEditor().currentSector();
  const int column = v->grid()->CurrentGridColumn();
  f->FindClicked();
  EXPECT_TRUE(v->sectorEditor().currentSector() > first ||
              v->grid()->CurrentGridColumn() != column);
  f->hexEntry()->setText("4D5");  // odd: nothing happens
  const std::int32_t shown = v->sectorEditor().currentSector();
  f->FindClicked();
  EXPECT_EQ(v->sectorEditor().currentSector(), shown);
  // The text entry was rebuilt from the hex entry: that change sets its caption last.
  EXPECT_EQ(f->windowTitle(), tools::kFindCaption.data());

  // Hex view of README.TXT: "line" twice.
  Select({"README.TXT"});
  w->ViewWith(ViewSelector::Hex);
  Find("6C696E65");
  EXPECT_EQ(v->grid()->CurrentGridRow(), 2);  // byte 21
  EXPECT_EQ(v->grid()->CurrentGridColumn(), 2 + 5);
  f->FindClicked();
  EXPECT_EQ(v->grid()->CurrentGridRow(), 3);  // byte 35
  EXPECT_EQ(v->grid()->CurrentGridColumn(), 2 + 3);

  // Text view: the word in other letters' case.
  w->ViewWith(ViewSelector::Text);
  f->textButton()->setChecked(true);
  f->textEntry()->setText("SECOND");
  f->FindClicked();
  EXPECT_EQ(v->richEdit()->textCursor().selectedText(), "Second");
  f->FindClicked();
  EXPECT_EQ(f->windowTitle(), tools::kFindNotFoundText.data());
}

TEST_F(ViewerToolsTest, FindEntriesMirrorEachOther) {
  StartWithImage();
  FindDialog* f = v->findDialog();
  f->hexButton()->setChecked(true);
  f->hexEntry()->setText("4D5");
  EXPECT_EQ(f->textEntry()->text(), "M");
  f->textButton()->setChecked(true);
  f->textEntry()->setText("AB");
  EXPECT_EQ(f->hexEntry()->text(), "4142");
}

// Esc cancels the hex editor's edit first and closes the viewer once nothing inside uses it.
TEST_F(ViewerToolsTest, EscCancelsAnEditThenClosesTheViewer) {
  StartWithImage();
  Select({"README.TXT"});
  w->ViewWith(ViewSelector::Hex);
  ASSERT_TRUE(v->isVisible());
  v->grid()->SetGridCell(1, 2);
  v->grid()->OpenEditor();
  QLineEdit* editor = v->grid()->editor();
  QTest::keyClicks(editor, "71");
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_TRUE(v->isVisible());
  EXPECT_FALSE(v->PendingChanges());
  QTest::keyClick(v->grid(), Qt::Key_Escape);
  EXPECT_FALSE(v->isVisible());
}

}  // namespace
}  // namespace quarnel::test
