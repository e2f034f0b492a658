// Faults a person met using the main window, each caught as they met it.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>

#include "core/rename.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

class DesktopFaults : public WindowTest {
 protected:
  MainWindow& StartDemo() {
    image = WriteDemoImage(dir / "demo.dsk");
    return Start({image.string()});
  }
  void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  std::filesystem::path image;
};

// The volume-name field shows what was stored after Enter, blanks included, and leaving it
// writes nothing back.
TEST_F(DesktopFaults, TheVolumeFieldKeepsWhatWasStored) {
  MainWindow& win = StartDemo();
  TypeInto(win.volumeEdit(), QStringLiteral("MY NEW DISK"));
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MY NEW DISK");
  EXPECT_EQ(win.volumeEdit()->text(), "MY NEW DISK");
  TypeInto(win.volumeEdit(), QStringLiteral("MYDISK"));
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MYDISK");
  EXPECT_EQ(win.volumeEdit()->text().trimmed(), "MYDISK");
  win.CommitVolumeField();  // the field loses the focus
  EXPECT_EQ(VolumeNameOf(Disk(win).image), "MYDISK");
}

// The list and large-icon styles show whole names (they were cut to the first row's width).
TEST_F(DesktopFaults, ListAndIconStylesShowWholeNames) {
  StartDemo();
  for (int style : {1, 2}) {
    w->SetListStyle(style);
    QApplication::processEvents();
    auto* view = w->fileList()->CurrentView();
    const QFontMetrics fm(view->font());
    const QModelIndex readme = w->listModel()->index(RowOf("README.TXT"), 0);
    EXPECT_GE(view->visualRect(readme).width(), fm.horizontalAdvance(QStringLiteral("README.TXT")))
        << "style " << style;
  }
}

}  // namespace
}  // namespace quarnel::test
