// A row of the file list stands for the entry in its slot, not for its caption: two entries
// listed under the same name are viewed as the two files they are, and the viewer reads its
// entry again only while the directory it was listed in is shown.
#include <algorithm>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

class EntryIdentityTest : public WindowTest {
 protected:
  // The model rows listed as `caption`, in directory order.
  std::vector<int> RowsOf(const std::string& caption) const {
    std::vector<int> out;
    auto* m = w->listModel();
    for (int r = 0; r < m->rowCount(); ++r)
      if (m->Row(r)->caption == caption) out.push_back(r);
    std::sort(out.begin(), out.end(),
              [m](int a, int b) { return m->Row(a)->slot < m->Row(b)->slot; });
    return out;
  }
  void DoubleClickRow(int row) {
    QRect rect = View()->visualRect(w->listModel()->index(row, 0));
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
  }
  ViewerWindow* Viewer() const { return w->findChild<ViewerWindow*>(); }
  std::string Shown() const { return Viewer()->richEdit()->toPlainText().toStdString(); }
};

TEST_F(EntryIdentityTest, TheSecondOfTwoEntriesWithTheSameNameShowsItsOwnBytes) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", Text("first file"));
  b.AddFile(kRoot, "A.TXT", Text("second one"));
  b.WriteTo(dir / "twins.dsk");
  Start({(dir / "twins.dsk").string()});
  const std::vector<int> rows = RowsOf("A.TXT");
  ASSERT_EQ(rows.size(), 2u);

  DoubleClickRow(rows[1]);
  ASSERT_NE(Viewer(), nullptr);
  EXPECT_EQ(Viewer()->viewMode(), ViewerMode::Text);
  EXPECT_EQ(Shown(), "second one\n");
  // The viewer's own menu reads the same entry again.
  Viewer()->Action(ViewSelector::Text)->trigger();
  EXPECT_EQ(Shown(), "second one\n");

  DoubleClickRow(rows[0]);
  EXPECT_EQ(Shown(), "first file\n");
  EXPECT_TRUE(ui.core.messages.empty());
}

TEST_F(EntryIdentityTest, TheViewerReadsNothingOnceItsDirectoryIsLeft) {
  // A.TXT in slot 2 of the root; B.TXT in slot 2 of SUB ("." and ".." before it).
  ImageBuilder b;
  b.AddFile(kRoot, "X.BIN", Text("x"));
  b.AddFile(kRoot, "Y.BIN", Text("y"));
  b.AddFile(kRoot, "A.TXT", Text("in the root"));
  std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "B.TXT", Text("in SUB"));
  b.WriteTo(dir / "tree.dsk");
  Start({(dir / "tree.dsk").string()});
  DoubleClickRow(RowsOf("A.TXT").at(0));
  ASSERT_EQ(Shown(), "in the root\n");

  Select({"SUB.   "});
  w->OpenSelectedEntry();
  ASSERT_EQ(Disk(*w).Depth(), 1);
  Viewer()->Action(ViewSelector::Hex)->trigger();
  EXPECT_EQ(Viewer()->viewMode(), ViewerMode::Text);
  EXPECT_EQ(Viewer()->windowTitle().toStdString(), "Ascii Display of : A.TXT");
  EXPECT_EQ(Shown(), "in the root\n");
}

}  // namespace
}  // namespace quarnel::test
