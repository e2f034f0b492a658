// Viewer speed: a 24 KB BASIC listing, tokenising a 24 KB program text and writing it back, the hex
// layout of a 720 KB file, one decode per picture mode (real pictures where there are some, made-up
// dumps otherwise).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"
#include "viewers/basic_tokenizer.h"
#include "viewers/hex_layout.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"
#include "viewers/text_view.h"

namespace {

using Data = std::vector<std::uint8_t>;
using namespace quarnel::viewers;

Data ReadFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Data(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A 24 KB program: real lines of SSHOOTER.BAS repeated with fresh links and line numbers.
Data BigProgram() {
  const Data real = ReadFile(
      std::filesystem::path(QUARNEL_SHARED_DIR) /
      "realdata/bas/"
      "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__output__examples.dsk__SSHOOTER.BAS");
  std::vector<Data> lines;
  for (std::size_t at = 1; at + 4 < real.size();) {
    const std::size_t link = real[at] | (real[at + 1] << 8);
    if (link == 0 || link - 0x8000 <= at || link - 0x8000 > real.size()) break;
    lines.emplace_back(real.begin() + static_cast<long>(at) + 4,
                       real.begin() + static_cast<long>(link - 0x8000));
    at = link - 0x8000;
  }
  Data d{0xFF};
  unsigned number = 10;
  while (d.size() < 24 * 1024 && !lines.empty()) {
    for (const Data& tokens : lines) {
      const std::size_t next = d.size() + 4 + tokens.size() + 0x8000;
      d.insert(d.end(),
               {static_cast<std::uint8_t>(next), static_cast<std::uint8_t>(next >> 8),
                static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8)});
      d.insert(d.end(), tokens.begin(), tokens.end());
      number += 10;
    }
  }
  d.insert(d.end(), {0, 0});
  return d;
}

void BM_BasicListing24K(benchmark::State& state) {
  const Data d = BigProgram();
  for (auto _ : state) {
    auto l = ListBasic(d);
    benchmark::DoNotOptimize(l.runs.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
  state.counters["KB"] = static_cast<double>(d.size()) / 1024;
}
BENCHMARK(BM_BasicListing24K)->Unit(benchmark::kMicrosecond);

// A 24 KB program text: the LIST text of SSHOOTER.BAS, its lines repeated with fresh numbers.
std::string BigText() {
  const std::string one = ExportBasicText(BigProgram()).value_or("");
  std::vector<std::string> bodies;
  for (std::size_t at = 0; at < one.size();) {
    const std::size_t end = one.find("\r\n", at);
    if (end == std::string::npos) break;
    const std::size_t space = one.find(' ', at);
    bodies.push_back(one.substr(space + 1, end - space - 1));
    at = end + 2;
  }
  std::string text;
  unsigned number = 10;
  while (text.size() < 24 * 1024 && !bodies.empty()) {
    for (const std::string& b : bodies) {
      if (text.size() >= 24 * 1024 || number > 65000) break;
      text += std::to_string(number) + " " + b + "\r\n";
      number += 10;
    }
  }
  return text;
}

void BM_Tokenize24K(benchmark::State& state) {
  const std::string text = BigText();
  for (auto _ : state) {
    auto t = TokenizeBasic(text);
    if (!t.ok()) state.SkipWithError("the text does not tokenise");
    benchmark::DoNotOptimize(t.program.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["KB"] = static_cast<double>(text.size()) / 1024;
}
BENCHMARK(BM_Tokenize24K)->Unit(benchmark::kMicrosecond);

void BM_ExportText24K(benchmark::State& state) {
  const Data d = BigProgram();
  for (auto _ : state) {
    auto t = ExportBasicText(d);
    benchmark::DoNotOptimize(t->data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
}
BENCHMARK(BM_ExportText24K)->Unit(benchmark::kMicrosecond);

Data Disk720() {
  Data d(737280);
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  return d;
}

void BM_HexFirstScreen720K(benchmark::State& state) {
  const Data d = Disk720();
  for (auto _ : state) {
    HexLayout h(d, "DSK", 642);
    std::size_t chars = 0;
    for (std::size_t row = 0; row < 40; ++row) {
      for (int c = 0; c < h.columnCount(); ++c) chars += h.CellText(row, c).size();
    }
    benchmark::DoNotOptimize(chars);
  }
}
BENCHMARK(BM_HexFirstScreen720K)->Unit(benchmark::kMicrosecond);

void BM_HexFullWalk720K(benchmark::State& state) {
  const Data d = Disk720();
  for (auto _ : state) {
    HexLayout h(d, "DSK", 642);
    std::size_t chars = 0;
    for (std::size_t row = 0; row < h.rowCount(); ++row) {
      for (int c = 0; c < h.columnCount(); ++c) chars += h.CellText(row, c).size();
    }
    benchmark::DoNotOptimize(chars);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
}
BENCHMARK(BM_HexFullWalk720K)->Unit(benchmark::kMillisecond);

void BM_TextView720K(benchmark::State& state) {
  const Data d = Disk720();
  for (auto _ : state) benchmark::DoNotOptimize(TextBlocks(d, false));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
}
BENCHMARK(BM_TextView720K)->Unit(benchmark::kMillisecond);

Data Picture(const char* name) {
  return ReadFile(std::filesystem::path(QUARNEL_SHARED_DIR) / "realdata/pictures" / name);
}

void Decode(benchmark::State& state, PictureMode mode, const Data& d) {
  for (auto _ : state) {
    auto r = DecodePicture(mode, d);
    benchmark::DoNotOptimize(r.picture->pixels.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
  state.counters["KB"] = static_cast<double>(d.size()) / 1024;
}

void BM_Screen2(benchmark::State& s) {
  Decode(s, PictureMode::Screen2,
         Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC2"));
}
void BM_Screen5(benchmark::State& s) {
  Decode(s, PictureMode::Screen5,
         Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC5"));
}
void BM_Screen7(benchmark::State& s) {
  Decode(s, PictureMode::Screen7,
         Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC7"));
}
void BM_Screen8(benchmark::State& s) {
  Decode(s, PictureMode::Screen8,
         Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC8"));
}
void BM_Screen12(benchmark::State& s) {
  Decode(s, PictureMode::Screen12,
         Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.S12"));
}
BENCHMARK(BM_Screen2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen12)->Unit(benchmark::kMicrosecond);

void BM_PngScreen8(benchmark::State& state) {
  const auto r =
      DecodePicture(PictureMode::Screen8,
                    Picture("aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC8"));
  for (auto _ : state) benchmark::DoNotOptimize(EncodePng(*r.picture));
}
BENCHMARK(BM_PngScreen8)->Unit(benchmark::kMillisecond);

}  // namespace
