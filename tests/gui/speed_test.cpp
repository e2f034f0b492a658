// Measured, never asserted: start to a listed window, and opening a 1.44 MB image with many
// entries from the browser. The figures are printed for the notes.
#include <QElapsedTimer>
#include <iostream>

#include "gui_fixture.h"

namespace quarnel::test {
namespace {

TEST_F(WindowTest, SpeedFiguresArePrinted) {
  auto demo = WriteDemoImage(dir / "demo.dsk");
  QElapsedTimer t;
  t.start();
  Start({demo.string()});
  qint64 startUs = t.nsecsElapsed() / 1000;
  ASSERT_EQ(Captions().size(), 5u);

  ImageBuilder big(GeometryLayout::Pc1440());
  for (int i = 0; i < 200; ++i)
    big.AddFile(kRoot, "F" + std::to_string(i) + ".BIN",
                Pattern(3000 + i, static_cast<std::uint32_t>(i)));
  big.WriteTo(dir / "big.dsk");
  t.restart();
  w->OpenHostFile(QString::fromStdString((dir / "big.dsk").string()));
  qint64 openUs = t.nsecsElapsed() / 1000;
  ASSERT_EQ(Captions().size(), 200u);
  std::cout << "start to listed window (demo image): " << startUs << " us\n"
            << "open 1.44 MB image with 200 entries: " << openUs << " us\n";
  RecordProperty("startUs", static_cast<int>(startUs));
  RecordProperty("openBigUs", static_cast<int>(openUs));
}

}  // namespace
}  // namespace quarnel::test
