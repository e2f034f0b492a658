// One instance per program file: a second start hands its path to the first and ends.
#include <QElapsedTimer>
#include <QProcess>

#include "app/platform/single_instance.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QTest::qWait(20);
  return done();
}

TEST_F(WindowTest, ASecondStartHandsItsPathToTheFirst) {
  // This test process plays the first instance of build/bin/quarnel.
  QString program = QString::fromStdString((BinDir() / "quarnel").string());
  SingleInstance first(program);
  bool failed = false;
  if (first.AnotherInstanceRuns({program}, &failed)) GTEST_SKIP() << "a quarnel already runs";
  ASSERT_FALSE(failed);
  Start();
  QObject::connect(&first, &SingleInstance::argumentsReceived, w.get(), &MainWindow::HandOver);

  std::filesystem::create_directory(dir / "with blank");
  auto image = WriteDemoImage(dir / "with blank" / "my disk.dsk");
  QProcess second;
  second.setWorkingDirectory(QString::fromStdString((dir / "with blank").string()));
  second.start(program, {QStringLiteral("my disk.dsk")});  // relative, with a blank
  ASSERT_TRUE(second.waitForStarted());
  ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }));
  EXPECT_EQ(second.exitCode(), 0);
  ASSERT_TRUE(WaitFor([&] { return Captions().size() == 5; }));
  EXPECT_EQ(Disk(*w).imagePath, image.string());
  EXPECT_EQ(w->browser()->Folder().toStdString(), (dir / "with blank").string());
}

TEST(SingleInstanceTest, HandedOverPathIsResolvedAgainstTheSender) {
  EXPECT_EQ(FirstHandedOverPath({"quarnel"}, "/a"), "");
  EXPECT_EQ(FirstHandedOverPath({"quarnel", "x y.dsk", "z"}, "/a/b"), "/a/b/x y.dsk");
  EXPECT_EQ(FirstHandedOverPath({"quarnel", "/abs/q.dsk"}, "/a"), "/abs/q.dsk");
}

TEST(SingleInstanceTest, NamesDependOnTheProgramFileOnly) {
  EXPECT_EQ(SingleInstance::ServerName("/usr/bin/quarnel"),
            SingleInstance::ServerName("/opt/quarnel"));
  EXPECT_NE(SingleInstance::ServerName("/usr/bin/quarnel"),
            SingleInstance::ServerName("/usr/bin/quarnel2"));
}

}  // namespace
}  // namespace quarnel::test
