// The main window with a disk of viewable files (the demo disk's generated files, a text file
// and a COM file) and its viewer window.
#pragma once

#include <QImage>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "../../samples/demo_files.h"
#include "app/dialogs/number_box.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/map_cell.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/reports_page.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/sector_editor_page.h"
#include "app/viewer/viewer_window.h"
#include "gui_fixture.h"
#include "viewers/picture_decoder.h"

namespace quarnel::test {

// A text file with a CR LF line end, a lone line feed and bytes above 0x7F.
inline std::vector<std::uint8_t> ReadmeBytes() {
  std::string s = "Quarnel demo\r\nSecond line\nThird \xE9\xFF line";
  return {s.begin(), s.end()};
}

class ViewerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ImageBuilder b;
    b.AddVolume("DEMO");
    for (const auto& [name, bytes] : demo::DemoFiles()) b.AddFile(kRoot, name, bytes);
    b.AddFile(kRoot, "README.TXT", ReadmeBytes());
    b.AddFile(kRoot, "TOOL.COM", Pattern(300, 7));
    // The other picture extensions: the same video memory under other names.
    b.AddFile(kRoot, "DEMO.SC3", demo::DemoScreen2());
    b.AddFile(kRoot, "DEMO.S04", demo::DemoScreen2());
    b.AddFile(kRoot, "DEMO.SCA", demo::DemoScreen11());
    image = dir / "demo.dsk";
    b.WriteTo(image);
  }

  ViewerWindow& StartWithImage() {
    Start({image.string()});
    v = w->findChild<ViewerWindow*>();
    EXPECT_NE(v, nullptr);
    return *v;
  }

  // Double-clicks a row and waits until the viewer has drawn.
  void Open(const std::string& caption) {
    DoubleClick(caption);
    QApplication::processEvents();
  }

  std::string PlainText() const { return v->richEdit()->toPlainText().toStdString(); }

  // The fragment of the document whose text is `text` (the first one).
  QTextFragment Fragment(const QString& text) const {
    for (QTextBlock b = v->richEdit()->document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it)
        if (it.fragment().text() == text) return it.fragment();
    return {};
  }

  // The marks of the disk map as shown, in text order: each one's symbol, line and place.
  struct MapCellShown {
    QString symbol;
    int line = 0;
    QRect at;
  };
  std::vector<MapCellShown> MapCells() const {
    std::vector<MapCellShown> cells;
    QTextDocument* doc = v->richEdit()->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().objectType() != MapCellObject::kObjectType) continue;
        const QString symbol = f.charFormat().property(MapCellObject::kSymbolProperty).toString();
        for (int i = 0; i < f.length(); ++i) {
          QTextCursor c(doc);
          c.setPosition(f.position() + i);
          cells.push_back({symbol, b.blockNumber(), v->richEdit()->cursorRect(c)});
        }
      }
    return cells;
  }
  int MapCellCount(const char* symbol) const {
    int n = 0;
    for (const MapCellShown& c : MapCells()) n += c.symbol == QString::fromUtf8(symbol);
    return n;
  }

  // The height of the status line under a picture, as a size to add to the picture's.
  static QSize StatusBand(const ViewerWindow& v) { return QSize(0, v.statusLine()->height()); }

  // The pixels of a widget as it is drawn on screen.
  static QImage Shown(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  static void ExpectSamePixels(const QImage& shown, const viewers::Picture& pic) {
    ASSERT_EQ(shown.width(), pic.width);
    ASSERT_EQ(shown.height(), pic.height);
    int wrong = 0;
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x) {
        const viewers::Rgb c = pic.ColourAt(x, y);
        if (shown.pixel(x, y) != qRgb(c.r, c.g, c.b) && ++wrong <= 3)
          ADD_FAILURE() << "pixel " << x << "," << y;
      }
    EXPECT_EQ(wrong, 0);
  }

  std::filesystem::path image;
  ViewerWindow* v = nullptr;
};

}  // namespace quarnel::test
