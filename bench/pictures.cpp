// Picture decoders: one full screen per mode, from the real dumps where there are some (IMAGE01
// in screens 2, 5, 6, 7, 8 and 12, font.sc1, coche.sc2 through its name table) and from a full
// made-up dump (0x0000-0xFA9F, palettes included) otherwise.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "viewers/picture_decoder.h"

namespace {

using Data = std::vector<std::uint8_t>;
using namespace quarnel::viewers;

Data Real(const std::string& name) {
  std::ifstream f(std::filesystem::path(QUARNEL_SHARED_DIR) / "realdata/pictures" / name,
                  std::ios::binary);
  return Data(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

Data FullDump() {
  Data d = {0xFE, 0x00, 0x00, 0x9F, 0xFA, 0x00, 0x00};
  for (std::size_t i = 0; i < 0xFAA0; ++i)
    d.push_back(static_cast<std::uint8_t>(i * 37 + (i >> 7)));
  return d;
}

void Decode(benchmark::State& state, PictureMode mode, const Data& d, bool msx = false) {
  for (auto _ : state) {
    auto r = DecodePicture(mode, d, PictureOptions{msx});
    benchmark::DoNotOptimize(r.picture->pixels.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
}

const std::string kImage01 = "aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.";

void BM_Screen1(benchmark::State& s) {
  Decode(s, PictureMode::Screen1,
         Real("hra1129_msx_basic_compiler__msx_basic_compiler__test002__font.sc1"));
}
void BM_Screen2(benchmark::State& s) {
  Decode(s, PictureMode::Screen2,
         Real("kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__coche.sc2"));
}
void BM_Patterns(benchmark::State& s) { Decode(s, PictureMode::Patterns, Real(kImage01 + "SC2")); }
void BM_Screen3(benchmark::State& s) { Decode(s, PictureMode::Screen3, FullDump()); }
void BM_Screen4(benchmark::State& s) { Decode(s, PictureMode::Screen4, FullDump()); }
void BM_Screen5(benchmark::State& s) {
  Decode(s, PictureMode::Screen5,
         Real("hra1129_msx_basic_compiler__msx_basic_compiler__test002__TEST.SC5"));
}
void BM_Screen6(benchmark::State& s) { Decode(s, PictureMode::Screen6, Real(kImage01 + "SC6")); }
void BM_Screen7(benchmark::State& s) { Decode(s, PictureMode::Screen7, Real(kImage01 + "SC7")); }
void BM_Screen8(benchmark::State& s) { Decode(s, PictureMode::Screen8, Real(kImage01 + "SC8")); }
void BM_Screen10(benchmark::State& s) { Decode(s, PictureMode::Screen10, FullDump()); }
void BM_Screen11(benchmark::State& s) { Decode(s, PictureMode::Screen11, FullDump()); }
void BM_Screen12(benchmark::State& s) { Decode(s, PictureMode::Screen12, Real(kImage01 + "S12")); }
void BM_Screen12Msx(benchmark::State& s) {
  Decode(s, PictureMode::Screen12, Real(kImage01 + "S12"), true);
}

BENCHMARK(BM_Screen1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Patterns)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen11)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen12)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen12Msx)->Unit(benchmark::kMicrosecond);

}  // namespace
