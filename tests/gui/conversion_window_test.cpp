// Conversions from the host browser: the save dialog is asked first (title and proposed name by
// the source's format), the codec runs in the program, and what went wrong is shown in a box.
// Save As offers disk images in its dialog; the conversions offer every file.
#include <QAction>
#include <QMenu>
#include <algorithm>

#include "app/dialogs/qt_ui.h"
#include "app/main/file_actions.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

using ::testing::ElementsAre;
namespace fs = std::filesystem;

class ConversionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    disk = WriteDemoImage(dir / "demo.dsk");
    diskBytes = ReadHostFile(disk);
  }
  std::string P(const char* name) const { return (dir / name).string(); }
  QString Q(const char* name) const { return QString::fromStdString(P(name)); }
  // Selects `name` in the browser and runs the entry `text` of the menu the browser shows.
  void RunHostMenu(const char* name, const char* text) {
    w->browser()->SetFolder(QString::fromStdString(dir.path().string()));
    w->browser()->SelectPath(Q(name));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->browser()->SelectedPath() == Q(name); }, 2000));
    for (QAction* a : w->HostContextMenu()->actions())
      if (a->text() == text) return a->trigger();
    FAIL() << "no menu entry " << text;
  }

  fs::path disk;
  std::vector<std::uint8_t> diskBytes;
};

TEST_F(ConversionTest, OpeningAnXsaAsksForTheTargetThenUnpacksIt) {
  Start();
  WriteHostFile(dir / "demo.xsa", EncodeXsa(diskBytes, "demo.dsk"));
  ui.core.savePaths.push_back(P("back.dsk"));
  w->OpenHostFile(Q("demo.xsa"));
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Convert .XSA image to .DSK"));
  EXPECT_THAT(ui.core.saveSuggestions, ElementsAre(P("demo.dsk")));
  EXPECT_EQ(ReadHostFile(dir / "back.dsk"), diskBytes);
  EXPECT_TRUE(ui.core.messages.empty());
  EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(Disk(*w).imagePath, P("back.dsk"));  // converted, then opened
  EXPECT_TRUE(ui.saveFilters.empty());           // every file is offered
}

// An .IMG file has the conversion menu as every other image the converters take.
TEST_F(ConversionTest, ConvertAnImgFromTheConversionMenu) {
  Start();
  WriteHostFile(dir / "D.IMG", diskBytes);
  ui.core.savePaths.push_back(P("from-img.dsk"));
  RunHostMenu("D.IMG", "Convert to .DSK");
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Convert .IMG image to .DSK"));
  EXPECT_EQ(ReadHostFile(dir / "from-img.dsk"), diskBytes);
}

TEST_F(ConversionTest, ConvertToXsaFromTheDiskMenu) {
  Start();
  ui.core.savePaths.push_back(P("packed.xsa"));
  RunHostMenu("demo.dsk", "Convert to .XSA");
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Convert .DSK image to .XSA"));
  EXPECT_THAT(ui.core.saveSuggestions, ElementsAre(P("demo.xsa")));
  const XsaDecoded back = DecodeXsa(ReadHostFile(dir / "packed.xsa"));
  ASSERT_TRUE(back.ok()) << back.error;
  EXPECT_EQ(back.name, "demo.dsk");
  EXPECT_TRUE(back.bytes == diskBytes);
  EXPECT_TRUE(ui.core.messages.empty());
}

TEST_F(ConversionTest, ConvertToDskFromTheConversionMenuShowsTheDecodersText) {
  Start();
  auto xsa = EncodeXsa(diskBytes, "demo.dsk");
  WriteHostFile(dir / "cut.xsa", std::vector<std::uint8_t>(xsa.begin(), xsa.begin() + 40));
  ui.core.savePaths.push_back(P("cut.dsk"));
  RunHostMenu("cut.xsa", "Convert to .DSK");
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Convert .XSA image to .DSK"));
  EXPECT_THAT(ui.core.messages, ElementsAre("XSA file ends before its end marker"));
  EXPECT_FALSE(fs::exists(dir / "cut.dsk"));
  EXPECT_TRUE(w->isEnabled());
}

TEST_F(ConversionTest, ACancelledOrEmptyAnswerConvertsNothing) {
  Start();
  WriteHostFile(dir / "demo.xsa", EncodeXsa(diskBytes, "demo.dsk"));
  w->OpenHostFile(Q("demo.xsa"));  // no answer: cancelled
  ui.core.savePaths.push_back(std::string());
  w->OpenHostFile(Q("demo.xsa"));
  EXPECT_EQ(ui.core.saveTitles.size(), 2u);
  EXPECT_TRUE(ui.core.messages.empty());
  EXPECT_EQ(ReadHostFile(disk), diskBytes);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.is_regular_file()) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_THAT(files, ElementsAre("demo.dsk", "demo.xsa"));
}

TEST_F(ConversionTest, AnImgIsConvertedWithItsOwnTitle) {
  Start();
  WriteHostFile(dir / "D.IMG", std::vector<std::uint8_t>(737281, 1));
  ui.core.savePaths.push_back(P("D.dsk"));
  w->OpenHostFile(Q("D.IMG"));
  EXPECT_THAT(ui.core.saveTitles, ElementsAre("Convert .IMG image to .DSK"));
  EXPECT_THAT(ui.core.saveSuggestions, ElementsAre(P("D.DSK")));
  EXPECT_EQ(fs::file_size(dir / "D.dsk"), 737280u);
}

TEST_F(ConversionTest, SaveAsOffersDiskImages) {
  Start({disk.string()});
  ui.core.savePaths.push_back(P("copy.dsk"));
  w->fileActions()->saveAs()->trigger();
  EXPECT_THAT(ui.saveFilters, ElementsAre(SaveFilter::DiskImage));
  EXPECT_EQ(SaveFilterText(SaveFilter::DiskImage), "Msx DiskImage (*.dsk);;All Files (*)");
  EXPECT_TRUE(SaveFilterText(SaveFilter::AnyFile).isEmpty());
}

}  // namespace
}  // namespace quarnel::test
