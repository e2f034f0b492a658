// The desktop program's main window: from start to a listed window (the demo image), and opening a
// 1.44 MB image of 200 entries.
#include "app/main/main_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "scripted_app_ui.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel::test {
namespace {

struct Window {
  TempDir dir;
  AppPaths paths;
  ScriptedAppUi ui;
  std::unique_ptr<MainWindow> w;

  Window() {
    paths.exeFolder = QString::fromStdString(dir.path().string());
    paths.tempFolder = paths.exeFolder + "/temp";
    paths.settingsFile = paths.exeFolder + "/Quarnel.ini";
  }
  void Start(const std::filesystem::path& image) {
    w = std::make_unique<MainWindow>(
        paths, QStringList{QStringLiteral("quarnel"), QString::fromStdString(image.string())}, &ui);
    w->show();
    w->OpenPendingFile();
    QApplication::processEvents();
  }
};

std::filesystem::path DemoImage(const std::filesystem::path& p) {
  ImageBuilder b;
  b.AddVolume("DEMO");
  b.AddFile(kRoot, "README.TXT", Pattern(600, 1));
  b.AddFile(kRoot, "GAME.BAS", {0xFF, 0x01, 0x80, 0x0A, 0x00});
  b.AddFile(kRoot, "BIG.BIN", Pattern(5000, 2));
  b.AddFile(b.AddDirectory(kRoot, "GAMES"), "INSIDE.TXT", Pattern(40, 3));
  b.WriteTo(p);
  return p;
}

void StartToListedWindow(benchmark::State& state) {
  TempDir images;
  const auto demo = DemoImage(images / "demo.dsk");
  for (auto _ : state) {
    Window window;
    window.Start(demo);
    state.PauseTiming();
    window.w.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartToListedWindow)->Unit(benchmark::kMillisecond);

void OpenImageOf200Entries(benchmark::State& state) {
  TempDir images;
  ImageBuilder big(GeometryLayout::Pc1440());
  for (int i = 0; i < 200; ++i)
    big.AddFile(kRoot, "F" + std::to_string(i) + ".BIN",
                Pattern(3000 + i, static_cast<std::uint32_t>(i)));
  big.WriteTo(images / "big.dsk");
  Window window;
  window.Start(DemoImage(images / "demo.dsk"));
  const QString path = QString::fromStdString((images / "big.dsk").string());
  for (auto _ : state) {
    window.w->OpenHostFile(path);
    QApplication::processEvents();
  }
}
BENCHMARK(OpenImageOf200Entries)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel::test
