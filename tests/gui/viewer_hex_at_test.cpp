// A file shown in the hex view at a given byte, as a search through the files asks for it: the
// byte's cell becomes the current cell of the grid, whatever the viewer showed before.
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

class ViewerHexAtTest : public ViewerTest {
 protected:
  FileRow RowFor(const std::string& caption) const {
    const FileRow* row = w->listModel()->Row(RowOf(caption));
    EXPECT_NE(row, nullptr) << caption;
    return row ? *row : FileRow{};
  }
  // The file offset of the grid's current cell.
  std::optional<std::size_t> CurrentOffset() const {
    const HexGrid* grid = v->grid();
    return grid->Model()->Layout()->FileOffsetAt(static_cast<std::size_t>(grid->CurrentGridRow()),
                                                 grid->CurrentGridColumn());
  }
};

// TOOL.COM has 300 bytes; DEMO.SC2 is a BSAVE file whose 7-byte header the grid leaves out.
TEST_F(ViewerHexAtTest, TheRequestedByteBecomesTheCurrentCell) {
  struct Row {
    const char* before;  // what the viewer shows first
    const char* caption;
    std::uint64_t offset;
    std::size_t shown;
  };
  const Row rows[] = {
      {"README.TXT", "TOOL.COM", 0, 0},   {"README.TXT", "TOOL.COM", 100, 100},
      {"DEMO.SC2", "TOOL.COM", 299, 299}, {"TOOL.COM", "TOOL.COM", 5000, 299},
      {"TOOL.COM", "DEMO.SC2", 3, 7},     {"HELLO.BAS", "DEMO.SC2", 7 + 4000, 7 + 4000},
  };
  StartWithImage();
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.caption) + " at " + std::to_string(r.offset));
    Open(r.before);
    w->document()->RequestHexAt(RowFor(r.caption), r.offset);
    QApplication::processEvents();
    EXPECT_EQ(v->viewMode(), ViewerMode::Hex);
    EXPECT_EQ(v->windowTitle().toStdString(), std::string("Hex Display of : ") + r.caption);
    EXPECT_EQ(CurrentOffset(), r.shown);
    // Scrolled to it.
    const QRect cell = v->grid()->visualRect(v->grid()->currentIndex());
    EXPECT_TRUE(v->grid()->viewport()->rect().contains(cell.center()));
  }
}

// A row whose entry cannot be read shows nothing and moves nothing in the grid shown.
TEST_F(ViewerHexAtTest, ARowWithoutAFileLeavesTheGridAsItWas) {
  StartWithImage();
  w->document()->RequestHexAt(RowFor("TOOL.COM"), 42);
  QApplication::processEvents();
  ASSERT_EQ(CurrentOffset(), 42u);
  FileRow gone = RowFor("TOOL.COM");
  gone.slot = 200;  // no entry there
  w->document()->RequestHexAt(gone, 7);
  QApplication::processEvents();
  EXPECT_EQ(v->windowTitle(), "Hex Display of : TOOL.COM");
  EXPECT_EQ(CurrentOffset(), 42u);
}

}  // namespace
}  // namespace quarnel::test
