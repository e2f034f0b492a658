// Times of the viewer's heaviest views, printed for the record (never asserted): a 24 KB BASIC
// listing, a 720 KB hex view scrolled to its end, a screen 8 picture; each until drawn.
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

std::vector<std::uint8_t> BigProgram(std::size_t atLeast) {
  using namespace demo::tok;
  std::vector<demo::BasicLine> lines;
  std::uint16_t n = 10;
  std::size_t size = 1;
  while (size < atLeast) {
    demo::BasicLine l(n);
    l.K(kFor)
        .T(" I")
        .K(kEq)
        .N(1)
        .T(" ")
        .K(kTo)
        .T(" ")
        .N(200)
        .T(":")
        .K(kPrint)
        .T(" \"Line of the program\";I")
        .K(kTimes)
        .N(3)
        .T(":")
        .K(kNext)
        .T(":")
        .K(kGoto)
        .T(" ")
        .L(static_cast<std::uint16_t>(n + 10));
    size += 5 + l.tokens().size();
    lines.push_back(l);
    n = static_cast<std::uint16_t>(n + 10);
  }
  return demo::TokenisedProgram(lines);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

TEST(ViewerSpeed, Figures) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  viewer.show();
  QApplication::processEvents();

  auto time = [&](const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
      QElapsedTimer t;
      t.start();
      f();
      viewer.repaint();
      QApplication::processEvents();
      ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return Median(ms);
  };

  const auto program = BigProgram(24 * 1024);
  const double basic = time([&] { viewer.ShowFile(program, "BIG", "BAS", ViewSelector::Basic); });
  const int listed = viewer.richEdit()->document()->blockCount() - 1;
  std::vector<std::uint8_t> big(737280);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  const double hex = time([&] {
    viewer.resize(642, 508);
    viewer.ShowFile(big, "BIG", "BIN", ViewSelector::Hex);
    viewer.repaint();
    viewer.grid()->scrollToBottom();
  });
  const auto sc8 = demo::DemoScreen8();
  const double pic = time([&] { viewer.ShowFile(sc8, "DEMO", "SC8", ViewSelector::Screen8); });
  const auto& text = big;
  const double txt = time([&] { viewer.ShowFile(text, "BIG", "TXT", ViewSelector::Text); });

  std::printf("viewer: BASIC listing of %zu bytes (%d lines) shown in %.1f ms\n", program.size(),
              listed, basic);
  std::printf("viewer: hex view of %zu bytes shown and scrolled to the end in %.1f ms\n",
              big.size(), hex);
  std::printf("viewer: screen 8 picture shown in %.1f ms\n", pic);
  std::printf("viewer: text view of %zu bytes shown in %.1f ms\n", text.size(), txt);
  RecordProperty("basic_ms", static_cast<int>(basic + 0.5));
  RecordProperty("hex_ms", static_cast<int>(hex + 0.5));
  RecordProperty("screen8_ms", static_cast<int>(pic + 0.5));
}

}  // namespace
}  // namespace quarnel::test
