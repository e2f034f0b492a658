// "Check Disk" in the File menu: the report in the viewer window, the repair question listing
// what repair will do, and the repaired image in place (unsaved) only after a yes.
#include <QMenuBar>

#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/disk_check.h"
#include "gui_fixture.h"
#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

class CheckDiskTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ImageBuilder b;
    b.AddFile(kRoot, "A.BIN", Pattern(1000));
    b.Chain({2, 3, 4});  // a chain longer than the size
    image = dir / "damaged.dsk";
    b.WriteTo(image);
  }
  void CheckFromMenu() {
    for (QAction* a : w->menuBar()->actions()[0]->menu()->actions())
      if (a->text() == QStringLiteral("Check Disk")) return a->trigger();
    ADD_FAILURE() << "no Check Disk in the File menu";
  }
  std::filesystem::path image;
};

TEST_F(CheckDiskTest, ReportThenRepairOnlyAfterYes) {
  const auto before = ReadHostFile(image);
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    Start({image.string()});
    ui.core.yesNo = {yes};
    ui.core.questions.clear();
    CheckFromMenu();
    auto* v = w->findChild<ViewerWindow*>();
    ASSERT_NE(v, nullptr);
    // After a repair the report shows the repaired disk.
    const std::string report = v->richEdit()->toPlainText().toStdString();
    EXPECT_EQ(report.find("chain-long  A.BIN") != std::string::npos, !yes) << report;
    ASSERT_EQ(ui.core.questions.size(), 1u);
    EXPECT_EQ(ui.core.questions[0].rfind("Repair the disk? Repair will:\n- A.BIN: ", 0), 0u)
        << ui.core.questions[0];
    EXPECT_EQ(CheckDisk(Disk(*w).image).Clean(), yes);
    EXPECT_EQ(Disk(*w).IsChanged(), yes);
    EXPECT_EQ(ReadHostFile(image), before);
    if (w->disk()) w->disk()->MarkSaved();  // nothing is saved by the check itself
    w.reset();
  }
}

TEST_F(CheckDiskTest, TheHostPopupOpensTheSelectedImageAndChecksIt) {
  Start();
  ui.core.yesNo = {true};
  w->browser()->SetFolder(QString::fromStdString(dir.path().string()));
  const QString path = QString::fromStdString(image.string());
  w->browser()->SelectPath(path);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w->browser()->SelectedPath() == path; }, 2000));
  ASSERT_EQ(w->HostContextMenu(), w->diskImageMenu());
  for (QAction* a : w->diskImageMenu()->actions())
    if (a->text() == QStringLiteral("Check Disk")) a->trigger();
  ASSERT_NE(w->disk(), nullptr);
  EXPECT_EQ(w->disk()->imagePath, image.string());
  EXPECT_TRUE(CheckDisk(w->disk()->image).Clean());
  w->disk()->MarkSaved();
}

}  // namespace
}  // namespace quarnel::test
