// The window keeps commands away from images they cannot act on, keeps the image whole while a
// dialog is open, and shows the 8-bit names of an image as they are.
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include "app/viewer/viewer_window.h"
#include "gui_fixture.h"
#include "support/tape_builder.h"

namespace quarnel::test {
namespace {

using ::testing::Contains;
using ::testing::Not;

std::vector<std::string> CaptionsOnDisk(const std::filesystem::path& image) {
  Workspace ws;
  ScriptedUi u;
  ws.LoadImage(image.string());
  std::vector<std::string> out;
  for (const FileEntry& e : ws.Entries()) out.push_back(e.Caption());
  return out;
}

TEST_F(WindowTest, ListKeysOfDisabledCommandsDoNothing) {
  Start();
  // No image: "Add a File" is off, so its key must not ask for a file.
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Insert, Qt::AltModifier);
  EXPECT_TRUE(ui.titles.empty());
  EXPECT_TRUE(ui.core.messages.empty());

  // A cassette: adding is off as well.
  TapeBuilder tape;  // one ASCII file
  tape.FileHeader(0xEA, "NOTES ").Header().Text("10 PRINT \"HI\"\r\n").Fill(8, 0x1A);
  WriteHostFile(dir / "tape.cas", tape.t);
  w->OpenHostFile(QString::fromStdString((dir / "tape.cas").string()));
  ASSERT_FALSE(Captions().empty());
  Select({Captions().front()});
  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_Insert, Qt::AltModifier);
  EXPECT_TRUE(ui.titles.empty());
  EXPECT_TRUE(ui.core.messages.empty());
}

TEST_F(WindowTest, AHandOverWhileADialogIsOpenWaitsForTheDialog) {
  auto demo = WriteDemoImage(dir / "demo.dsk");
  auto other = WriteDemoImage(dir / "other.dsk");
  Start({demo.string()});
  ASSERT_EQ(Disk(*w).imagePath, demo.string());

  // Adding a file with a long name asks for a shorter one in a modal dialog; a second start
  // hands over another image while that dialog is open.
  WriteHostFile(dir / "a-rather-long-name.txt", Pattern(100, 7));
  ui.openPaths.push_back((dir / "a-rather-long-name.txt").string());
  ui.core.newNames.push_back("SHORT.TXT");
  ui.saveChoices.push_back(SaveChoice::Save);  // "Save changes to demo.dsk?": Save
  bool handedOver = false;
  ui.onAskNewName = [&] {
    QDialog modal(w.get());
    QTimer::singleShot(0, &modal, [&] {
      w->HandOver({QStringLiteral("quarnel"), QString::fromStdString(other.string())},
                  QString::fromStdString(dir.path().string()));
      handedOver = true;
      modal.accept();
    });
    modal.exec();
  };
  w->AddChosenFile();
  ASSERT_TRUE(handedOver);

  // The handed-over image opens once the command has ended, after the save prompt.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Disk(*w).imagePath == other.string(); }));
  EXPECT_THAT(CaptionsOnDisk(demo), Contains("SHORT.TXT"));
  EXPECT_THAT(CaptionsOnDisk(other), Not(Contains("SHORT.TXT")));
  EXPECT_THAT(Captions(), Not(Contains("SHORT.TXT")));
}

TEST_F(WindowTest, ClosingTheMainWindowClosesTheViewerFirst) {
  auto demo = WriteDemoImage(dir / "demo.dsk");
  Start({demo.string()});
  auto* viewer = w->findChild<ViewerWindow*>();
  ASSERT_NE(viewer, nullptr);
  Select({"README.TXT"});
  w->ViewWith(ViewSelector::Hex);
  ASSERT_TRUE(viewer->isVisible());
  // Pending edits of the viewer are offered for saving when it is closed.
  bool offered = false;
  viewer->closing = [&] { offered = true; };
  w->close();
  EXPECT_TRUE(offered);
}

TEST_F(WindowTest, EightBitNamesAreShownAndRenamedByteForByte) {
  ImageBuilder b;
  b.AddFile(kRoot, "A\xB1\xDF.BIN", Pattern(50, 1));
  b.AddFile(kRoot, "PLAIN.TXT", Pattern(50, 2));
  b.WriteTo(dir / "kana.dsk");
  Start({(dir / "kana.dsk").string()});
  auto* m = w->listModel();
  int kana = -1;
  for (int r = 0; r < m->rowCount(); ++r)
    if (m->Row(r)->caption == "A\xB1\xDF.BIN") kana = r;
  ASSERT_GE(kana, 0);
  // Shown as the MSX character set shows those bytes.
  EXPECT_EQ(m->data(m->index(kana, 0), Qt::DisplayRole).toString(), QString::fromUtf8("Aã▀.BIN"));

  // Renamed in place to a name with a character above 0x7F (stored as the MSX byte that shows
  // it), the file can still be viewed.
  Select({"PLAIN.TXT"});
  w->editActions()->rename()->trigger();
  QLineEdit* editor = nullptr;
  for (auto* e : View()->viewport()->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  editor->setText(QString::fromLatin1("CAF\xC9.TXT"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  int renamed = -1;
  for (int r = 0; r < m->rowCount(); ++r)
    if (m->Row(r)->caption == "CAF\x90.TXT") renamed = r;
  ASSERT_GE(renamed, 0);
  EXPECT_EQ(m->data(m->index(renamed, 0), Qt::DisplayRole).toString(),
            QString::fromUtf8("CAFÉ.TXT"));
  View()->selectionModel()->select(m->index(renamed, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  w->ViewWith(ViewSelector::Hex);
  auto* viewer = w->findChild<ViewerWindow*>();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(ui.core.messages.empty());
  EXPECT_EQ(viewer->viewMode(), ViewerMode::Hex);
}

}  // namespace
}  // namespace quarnel::test
