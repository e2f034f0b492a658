// The viewer's heaviest views, each until drawn: a 24 KB BASIC listing, a 720 KB hex view
// scrolled to its end, a screen 8 picture, a 720 KB text view.
#include "app/viewer/viewer_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

#include "../../samples/demo_files.h"
#include "app/platform/settings_record.h"
#include "app/viewer/hex_view.h"
#include "scripted_app_ui.h"

namespace quarnel::test {
namespace {

std::vector<std::uint8_t> BigProgram(std::size_t atLeast) {
  using namespace demo::tok;
  std::vector<demo::BasicLine> lines;
  std::uint16_t n = 10;
  std::size_t size = 1;
  while (size < atLeast) {
    demo::BasicLine l(n);
    l.K(kFor).T(" I").K(kEq).N(1).T(" ").K(kTo).T(" ").N(200).T(":").K(kPrint);
    l.T(" \"Line of the program\";I").K(kTimes).N(3).T(":").K(kNext).T(":").K(kGoto).T(" ");
    l.L(static_cast<std::uint16_t>(n + 10));
    size += 5 + l.tokens().size();
    lines.push_back(l);
    n = static_cast<std::uint16_t>(n + 10);
  }
  return demo::TokenisedProgram(lines);
}

std::vector<std::uint8_t> Big() {
  std::vector<std::uint8_t> big(737280);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return big;
}

// Shows what `show` shows, in a fresh viewer each time, until drawn.
void Time(benchmark::State& state, const std::function<void(ViewerWindow&)>& show) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  viewer.resize(642, 508);
  viewer.show();
  QApplication::processEvents();
  for (auto _ : state) {
    show(viewer);
    viewer.repaint();
    QApplication::processEvents();
  }
}

void BasicListing24K(benchmark::State& state) {
  const auto program = BigProgram(24 * 1024);
  Time(state, [&](ViewerWindow& v) { v.ShowFile(program, "BIG", "BAS", ViewSelector::Basic); });
}
BENCHMARK(BasicListing24K)->Unit(benchmark::kMillisecond);

void HexView720KToTheEnd(benchmark::State& state) {
  const auto big = Big();
  Time(state, [&](ViewerWindow& v) {
    v.ShowFile(big, "BIG", "BIN", ViewSelector::Hex);
    v.repaint();
    v.grid()->scrollToBottom();
  });
}
BENCHMARK(HexView720KToTheEnd)->Unit(benchmark::kMillisecond);

void Screen8Picture(benchmark::State& state) {
  const auto sc8 = demo::DemoScreen8();
  Time(state, [&](ViewerWindow& v) { v.ShowFile(sc8, "DEMO", "SC8", ViewSelector::Screen8); });
}
BENCHMARK(Screen8Picture)->Unit(benchmark::kMillisecond);

void TextView720K(benchmark::State& state) {
  const auto big = Big();
  Time(state, [&](ViewerWindow& v) { v.ShowFile(big, "BIG", "TXT", ViewSelector::Text); });
}
BENCHMARK(TextView720K)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel::test
