// Faults a person met in the viewer window, each caught as they met it.
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>

#include "app/dialogs/find_dialog.h"
#include "app/main/document.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

using ViewerFaults = ViewerTest;

// The font boxes change the whole view, not a selection, and the next view of that kind uses
// them; the text-view font chosen in Setup is the one the text view shows.
TEST_F(ViewerFaults, TheFontBoxesApplyToTheWholeViewAndTheNextOne) {
  w.reset();
  StartWithImage();
  w->settings().textViewFont = "DejaVu Serif";
  Open("README.TXT");
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontFamilies().toStringList(),
            QStringList{QStringLiteral("DejaVu Serif")});
  v->fontSize()->setValue(16);
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontPointSize(), 16);
  Open("TOOL.COM");  // a hex view between
  Open("README.TXT");
  EXPECT_EQ(v->fontSize()->value(), 16);
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontPointSize(), 16);

  const int serif = v->fontName()->findText(QStringLiteral("DejaVu Sans Mono"));
  ASSERT_GE(serif, 0);
  v->fontName()->setCurrentIndex(serif);
  emit v->fontName()->activated(serif);
  EXPECT_EQ(Fragment(QStringLiteral("Second line")).charFormat().fontFamilies().toStringList(),
            QStringList{QStringLiteral("DejaVu Sans Mono")});
  EXPECT_EQ(w->settings().textViewFont, "DejaVu Sans Mono");
}

// After a picture each text view comes back in its own size, not the picture's 256 x 212.
TEST_F(ViewerFaults, EachViewKeepsItsOwnSize) {
  StartWithImage();
  Open("README.TXT");
  const QSize text = v->size();
  Open("DEMO.SC2");
  ASSERT_NE(v->size(), text);
  Open("README.TXT");
  EXPECT_EQ(v->size(), text);
  v->resize(700, 400);
  Open("TOOL.COM");
  EXPECT_GE(v->height(), text.height());
  Open("README.TXT");
  EXPECT_EQ(v->size(), QSize(700, 400));
}

// The find dialog keeps the size it is given; its progress bar follows the dialog's width.
TEST_F(ViewerFaults, TheFindDialogKeepsItsWidth) {
  StartWithImage();
  FindDialog* f = v->findDialog();
  f->Open();
  for (int i = 0; i < 3; ++i) {
    f->resize(400, 150);
    QApplication::processEvents();
  }
  EXPECT_LE(f->width(), 400);
  EXPECT_LE(f->progress()->width(), f->width());
  // Closing the viewer closes its search too.
  v->close();
  EXPECT_FALSE(f->isVisible());
}

// A typed sector number is taken whole on Enter, read as decimal or "$" hexadecimal and written
// back in decimal; the keys stay in the box, and its arrows step from the number shown.
TEST_F(ViewerFaults, TheSectorBoxTakesTheWholeNumberOnEnter) {
  StartWithImage();
  w->document()->RequestSectorView(QString::fromStdString(image.string()));
  NumberBox* box = v->sectorEditor().sectorBox();
  QLineEdit* edit = box->edit();
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "16");
  EXPECT_EQ(v->sectorEditor().currentSector(), 0);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(v->sectorEditor().currentSector(), 16);
  EXPECT_FALSE(v->PendingChanges());  // no "6" went into the grid
  edit->selectAll();
  QTest::keyClicks(edit, "$1F");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(v->sectorEditor().currentSector(), 31);
  EXPECT_EQ(box->text(), "31");
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(v->sectorEditor().currentSector(), 32);
  box->stepBy(-40);
  EXPECT_EQ(v->sectorEditor().currentSector(), 0);
}

// Opened on a hidden viewer that last showed a sector, the sector view keeps its menu: F6 and
// the right-click work, and Search is what the menu offers.
TEST_F(ViewerFaults, TheSectorViewHasItsMenuAfterTheViewerWasClosed) {
  StartWithImage();
  const QString path = QString::fromStdString(image.string());
  w->document()->RequestSectorView(path);
  v->close();
  w->document()->RequestSectorView(path);
  ASSERT_TRUE(v->isVisible());
  EXPECT_TRUE(v->searchAction()->isEnabled());
  EXPECT_FALSE(v->Action(ViewSelector::Hex)->isVisible());
}

// The hex view follows the window's width (a wider window, more bytes a row) and its column
// numbers show one digit each.
TEST_F(ViewerFaults, TheHexViewFollowsTheWindowWidth) {
  StartWithImage();
  Open("TOOL.COM");
  HexModel* m = v->grid()->Model();
  ASSERT_EQ(m->BytesPerRow(), 16);
  v->resize(1200, v->height());
  QApplication::processEvents();
  EXPECT_EQ(m->BytesPerRow(), 32);
  EXPECT_EQ(m->headerData(1 + 0x12, Qt::Horizontal, Qt::DisplayRole).toString(), "2");
  v->resize(642, v->height());
  QApplication::processEvents();
  EXPECT_EQ(m->BytesPerRow(), 16);
}

// Every view takes the keyboard, also when the viewer is shown again after it was closed: typed
// keys never go into the font boxes.
TEST_F(ViewerFaults, EachViewTakesTheKeyboard) {
  StartWithImage();
  const struct {
    const char* file;
    ViewSelector view;
    QWidget* (*content)(ViewerWindow&);
  } cases[] = {
      {"HELLO.BAS", ViewSelector::Basic, [](ViewerWindow& x) -> QWidget* { return x.richEdit(); }},
      {"README.TXT", ViewSelector::Text, [](ViewerWindow& x) -> QWidget* { return x.richEdit(); }},
      {"TOOL.COM", ViewSelector::Hex, [](ViewerWindow& x) -> QWidget* { return x.grid(); }},
      {"DEMO.SC2", ViewSelector::Screen2, [](ViewerWindow& x) -> QWidget* { return x.image(); }},
  };
  for (const auto& c : cases) {
    for (const bool closedFirst : {false, true}) {
      if (closedFirst) v->close();
      Select({c.file});
      w->ViewWith(c.view);
      EXPECT_EQ(v->focusWidget(), c.content(*v)) << c.file << (closedFirst ? " after close" : "");
    }
  }
}

}  // namespace
}  // namespace quarnel::test
