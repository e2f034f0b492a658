// "Save to disk" on real widgets: the image written to a file standing for the floppy, with the
// geometry, the progress and "Done"; refused ranges; and "To Disk" shown only while a usable
// drive exists.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <fstream>

#include "app/dialogs/save_to_disk_dialog.h"
#include "core/new_image.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

class SaveToDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image = BuildNewImage(GeometryTable[7]);
    const Buf data = Pattern(image.size() - 512 * 14, 4);
    std::copy(data.begin(), data.end(), image.begin() + 512 * 14);
    // The "floppy": a formatted 720 KB disk, as a new floppy from the shop would be.
    WriteHostFile(floppy(), BuildNewImage(GeometryTable[7]));
    // No drives: the dialog offers none, only files.
    sources = {tmp / "block", tmp / "mounts", false};
  }
  fs::path floppy() const { return tmp / "floppy.img"; }
  TempDir tmp;
  Buf image;
  DeviceSources sources;
  ScriptedAppUi ui;
};

TEST_F(SaveToDiskTest, WritesTheImageWithProgressAndDone) {
  SaveToDiskDialog dialog(image, sources, ui);
  dialog.show();
  std::vector<QString> statuses;
  QObject::connect(&dialog, &SaveToDiskDialog::statusChanged,
                   [&](const QString& s) { statuses.push_back(s); });
  ui.openPaths = {floppy().string()};
  dialog.ChooseOtherFile();
  EXPECT_EQ(dialog.memo()->toPlainText(),
            "Total physical sectors: 1440\nCylinders: 80\nHeads: 2\nBytes per sector: 512\n"
            "Sectors per Cluster: 2");
  EXPECT_EQ(dialog.endEdit()->text(), "1439");

  int maximum = -1;
  QObject::connect(&dialog, &SaveToDiskDialog::statusChanged,
                   [&] { maximum = std::max(maximum, dialog.progressBar()->maximum()); });
  QTest::mouseClick(dialog.writeButton(), Qt::LeftButton);
  EXPECT_FALSE(dialog.writeButton()->isEnabled());
  QTRY_COMPARE_WITH_TIMEOUT(dialog.statusText(), QStringLiteral("Done"), 60000);
  EXPECT_TRUE(dialog.writeButton()->isEnabled());
  EXPECT_EQ(maximum, 1439);
  ASSERT_GE(statuses.size(), 2u * 1440 + 1);
  EXPECT_EQ(statuses.front(), "Sector 1 of 1440");
  EXPECT_EQ(statuses[1439], "Sector 1440 of 1440");
  EXPECT_EQ(statuses[statuses.size() - 2], "Verifying sector 1440 of 1440");
  EXPECT_EQ(statuses.back(), "Done");
  EXPECT_TRUE(ReadHostFile(floppy()) == image);
}

// A Start that is no integer is refused with its message, and Write is usable again; an End past
// the image is refused with ours; the floppy is untouched.
TEST_F(SaveToDiskTest, RefusedRangesWriteNothing) {
  const Buf before = ReadHostFile(floppy());
  SaveToDiskDialog dialog(image, sources, ui);
  dialog.ChooseTarget(QString::fromStdString(floppy().string()));
  dialog.wholeDiskBox()->setChecked(false);
  dialog.startEdit()->setText("abc");
  dialog.StartWriting();
  EXPECT_EQ(ui.core.messages, std::vector<std::string>{"'abc' is not a valid integer value"});
  EXPECT_TRUE(dialog.writeButton()->isEnabled());
  EXPECT_FALSE(dialog.Writing());

  dialog.startEdit()->setText("0");
  dialog.endEdit()->setText("$5A0");  // 1440, as every number box reads "$" hexadecimal
  dialog.StartWriting();
  EXPECT_FALSE(dialog.Writing());
  EXPECT_EQ(dialog.statusText(), "Error");
  EXPECT_TRUE(dialog.memo()->toPlainText().endsWith("End lies past the image's last sector, 1439"));
  EXPECT_TRUE(dialog.writeButton()->isEnabled());
  EXPECT_TRUE(ReadHostFile(floppy()) == before);
}

class FloppyMenuTest : public WindowTest {};

// "To Disk" and "From Disk..." follow the drives: shown once a usable one exists, hidden again
// when it is gone, checked when the File menu opens.
TEST_F(FloppyMenuTest, ToDiskShownWhileAUsableDriveExists) {
  Start();
  const fs::path sys = dir / "block";
  fs::create_directories(sys);
  { std::ofstream(dir / "mounts") << ""; }
  w->SetFloppySources({sys, dir / "mounts", false});
  EXPECT_FALSE(w->toDiskAction()->isVisible());
  EXPECT_FALSE(w->fromDiskAction()->isVisible());

  fs::create_directories(sys / "sdb");
  { std::ofstream(sys / "sdb" / "removable") << "1\n"; }
  { std::ofstream(sys / "sdb" / "size") << "2880\n"; }
  QMenu* file = w->menuBar()->actions()[0]->menu();
  emit file->aboutToShow();
  EXPECT_TRUE(w->toDiskAction()->isVisible());
  EXPECT_TRUE(w->fromDiskAction()->isVisible());
  EXPECT_TRUE(file->actions().contains(w->fromDiskAction()));

  fs::remove_all(sys / "sdb");
  emit file->aboutToShow();
  EXPECT_FALSE(w->toDiskAction()->isVisible());
}

}  // namespace
}  // namespace quarnel::test
