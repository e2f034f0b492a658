// The files of the demo disk that are made by a program rather than kept as text: a tokenised
// MSX-BASIC program and BSAVE dumps of video memory for screen modes 2, 5, 7, 8 and 12, each
// with a pattern of our own. Plain C++ (no Qt, no library of ours), so that the generator in
// this folder and the tests of the desktop program make the very same bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace quarnel::demo {

using FileBytes = std::vector<std::uint8_t>;

// Token bytes of MSX-BASIC used by the demo program.
namespace tok {
inline constexpr std::uint8_t kGoto = 0x89, kIf = 0x8B, kRem = 0x8F, kPrint = 0x91, kCls = 0x9F;
inline constexpr std::uint8_t kFor = 0x82, kNext = 0x83, kTo = 0xD9, kThen = 0xDA;
inline constexpr std::uint8_t kInkey = 0xEC, kEq = 0xEF, kTimes = 0xF3;
}  // namespace tok

// One program line being tokenised.
class BasicLine {
 public:
  explicit BasicLine(std::uint16_t number) : number_(number) {}
  BasicLine& K(std::uint8_t token) {
    bytes_.push_back(token);
    return *this;
  }
  BasicLine& T(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  // An integer constant as MSX-BASIC stores it: 0-9 in one byte, up to 255 with 0x0F, else 0x1C.
  BasicLine& N(unsigned v) {
    if (v <= 9) {
      bytes_.push_back(static_cast<std::uint8_t>(0x11 + v));
    } else if (v <= 255) {
      bytes_.push_back(0x0F);
      bytes_.push_back(static_cast<std::uint8_t>(v));
    } else {
      bytes_.push_back(0x1C);
      bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
      bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return *this;
  }
  // A line number after GOTO or THEN.
  BasicLine& L(std::uint16_t line) {
    bytes_.push_back(0x0E);
    bytes_.push_back(static_cast<std::uint8_t>(line & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(line >> 8));
    return *this;
  }
  // A single-precision constant: exponent byte and three BCD mantissa bytes.
  BasicLine& F(std::initializer_list<std::uint8_t> bcd) {
    bytes_.push_back(0x1D);
    bytes_.insert(bytes_.end(), bcd.begin(), bcd.end());
    return *this;
  }
  std::uint16_t number() const { return number_; }
  const FileBytes& tokens() const { return bytes_; }

 private:
  std::uint16_t number_;
  FileBytes bytes_;
};

// A program file: 0xFF, then the lines with their links (memory address of the next line's
// link, the program loaded so that file offset 1 is address 0x8001), then a zero link.
inline FileBytes TokenisedProgram(const std::vector<BasicLine>& lines) {
  FileBytes out{0xFF};
  for (const BasicLine& l : lines) {
    const std::size_t next = out.size() + 4 + l.tokens().size() + 1;
    const unsigned link = 0x8000 + static_cast<unsigned>(next);
    out.push_back(static_cast<std::uint8_t>(link & 0xFF));
    out.push_back(static_cast<std::uint8_t>(link >> 8));
    out.push_back(static_cast<std::uint8_t>(l.number() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(l.number() >> 8));
    out.insert(out.end(), l.tokens().begin(), l.tokens().end());
    out.push_back(0x00);
  }
  out.push_back(0x00);
  out.push_back(0x00);
  return out;
}

// HELLO.BAS:
//   10 REM Quarnel demo program
//   20 CLS
//   30 PRINT "Hello from Quarnel!"
//   40 FOR I=1 TO 10
//   50 PRINT I;I*I;255
//   60 NEXT I
//   70 A$="MSX":PRINT A$;" BASIC";3.14159
//   80 IF INKEY$="" THEN 80
//   90 GOTO 30
inline FileBytes HelloBas() {
  using namespace tok;
  std::vector<BasicLine> lines;
  lines.push_back(BasicLine(10).K(kRem).T(" Quarnel demo program"));
  lines.push_back(BasicLine(20).K(kCls));
  lines.push_back(BasicLine(30).K(kPrint).T(" \"Hello from Quarnel!\""));
  lines.push_back(BasicLine(40).K(kFor).T(" I").K(kEq).N(1).T(" ").K(kTo).T(" ").N(10));
  lines.push_back(BasicLine(50).K(kPrint).T(" I;I").K(kTimes).T("I;").N(255));
  lines.push_back(BasicLine(60).K(kNext).T(" I"));
  lines.push_back(BasicLine(70)
                      .T("A$")
                      .K(kEq)
                      .T("\"MSX\":")
                      .K(kPrint)
                      .T(" A$;\" BASIC\";")
                      .F({0x41, 0x31, 0x41, 0x59}));
  lines.push_back(BasicLine(80).K(kIf).T(" ").K(kInkey).K(kEq).T("\"\" ").K(kThen).T(" ").L(80));
  lines.push_back(BasicLine(90).K(kGoto).T(" ").L(30));
  return TokenisedProgram(lines);
}

// A BSAVE file: 0xFE, start, end and run address (little-endian), then the data.
inline FileBytes Bsave(std::uint16_t start, const FileBytes& data, std::uint16_t run = 0) {
  const unsigned end = start + static_cast<unsigned>(data.size()) - 1;
  FileBytes out{0xFE,
                static_cast<std::uint8_t>(start & 0xFF),
                static_cast<std::uint8_t>(start >> 8),
                static_cast<std::uint8_t>(end & 0xFF),
                static_cast<std::uint8_t>(end >> 8),
                static_cast<std::uint8_t>(run & 0xFF),
                static_cast<std::uint8_t>(run >> 8)};
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// DEMO.SC2: screen 2 video memory 0x0000-0x37FF. Every cell shows a diagonal stripe; the
// colours run through the palette from cell to cell, on a background that changes per row.
inline FileBytes DemoScreen2() {
  FileBytes vram(0x3800, 0);
  for (int i = 0; i < 24; ++i)
    for (int k = 0; k < 32; ++k)
      for (int j = 0; j < 8; ++j) {
        const int at = i * 256 + k * 8 + j;
        const int d = (j + k + i) % 8;
        vram[at] = static_cast<std::uint8_t>((0xF0F0 >> d) & 0xFF);
        const int fg = 2 + (k + i) % 14;
        int bg = 1 + (i / 3) % 15;
        if (bg == fg) bg = 1;
        vram[0x2000 + at] = static_cast<std::uint8_t>((fg << 4) | bg);
      }
  for (int n = 0; n < 768; ++n) vram[0x1800 + n] = static_cast<std::uint8_t>(n & 0xFF);  // names
  return Bsave(0x0000, vram);
}

// DEMO.SC5: screen 5, 212 lines of 128 bytes; two pixels per byte, colour bands and a frame.
inline FileBytes DemoScreen5() {
  FileBytes vram(212 * 128, 0);
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 256; ++x) {
      int c = 2 + ((x / 16 + y / 16) % 14);
      if (x < 2 || x > 253 || y < 2 || y > 209) c = 15;
      std::uint8_t& b = vram[static_cast<std::size_t>(y) * 128 + x / 2];
      b = static_cast<std::uint8_t>(x % 2 ? (b & 0xF0) | c : (b & 0x0F) | (c << 4));
    }
  return Bsave(0x0000, vram);
}

// DEMO.SC7: screen 7, 212 lines of 256 bytes (512 pixels) and a palette of its own (16 shades
// of orange) at video address 0xFA80 + 2i, where the viewer takes it from.
inline FileBytes DemoScreen7() {
  FileBytes data(0xFAA0 - 0, 0);
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 512; ++x) {
      const int c = ((x / 32) + (y / 53) * 4) % 16;
      std::uint8_t& b = data[static_cast<std::size_t>(y) * 256 + x / 2];
      b = static_cast<std::uint8_t>(x % 2 ? (b & 0xF0) | c : (b & 0x0F) | (c << 4));
    }
  for (int i = 0; i < 16; ++i) {
    const int r = i / 2, g = i / 4, bl = 0;
    data[0xFA80 + 2 * i] = static_cast<std::uint8_t>((r << 4) | bl);
    data[0xFA80 + 2 * i + 1] = static_cast<std::uint8_t>(g);
  }
  return Bsave(0x0000, data);
}

// DEMO.SC8: screen 8, 212 lines of 256 bytes; green grows downwards, red to the right, blue
// in four squares.
inline FileBytes DemoScreen8() {
  FileBytes vram(212 * 256, 0);
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 256; ++x) {
      const int g = y * 8 / 212, r = x * 8 / 256, b = ((x / 128) + 2 * (y / 106)) & 3;
      vram[static_cast<std::size_t>(y) * 256 + x] =
          static_cast<std::uint8_t>((g << 5) | (r << 2) | b);
    }
  return Bsave(0x0000, vram);
}

// DEMO.SCC: screen 12, 212 lines of 64 YJK groups; brightness grows downwards, the colour
// differences change across the line.
inline FileBytes DemoScreen12() {
  FileBytes vram(212 * 256, 0);
  for (int y = 0; y < 212; ++y)
    for (int g = 0; g < 64; ++g) {
      const int k = (g % 32) - 16, j = (g / 2) % 32 - 16;  // -16..15
      const unsigned kb = static_cast<unsigned>(k) & 0x3F, jb = static_cast<unsigned>(j) & 0x3F;
      const int yv = y * 31 / 211;
      std::uint8_t* p = &vram[static_cast<std::size_t>(y) * 256 + g * 4];
      p[0] = static_cast<std::uint8_t>((yv << 3) | (kb & 7));
      p[1] = static_cast<std::uint8_t>((yv << 3) | ((kb >> 3) & 7));
      p[2] = static_cast<std::uint8_t>((yv << 3) | (jb & 7));
      p[3] = static_cast<std::uint8_t>((yv << 3) | ((jb >> 3) & 7));
    }
  return Bsave(0x0000, vram);
}

// DEMO.SC1: screen 1 video memory 0x0000-0x201F. Every character is a frame with a bar pattern
// of its own; the names run diagonally and each group of 8 characters has its colour.
inline FileBytes DemoScreen1() {
  FileBytes vram(0x2020, 0);
  for (int n = 0; n < 256; ++n)
    for (int j = 0; j < 8; ++j)
      vram[n * 8 + j] = static_cast<std::uint8_t>(
          j == 0 || j == 7 ? 0xFF : 0x81 | ((n >> (j - 1)) & 1 ? 0x3C : 0x00));
  for (int c = 0; c < 768; ++c)
    vram[0x1800 + c] = static_cast<std::uint8_t>(((c / 32) * 7 + c % 32) & 0xFF);
  for (int i = 0; i < 32; ++i)
    vram[0x2000 + i] = static_cast<std::uint8_t>(((2 + i % 14) << 4) | 1);
  return Bsave(0x0000, vram);
}

// DEMO.SC6: screen 6, 212 lines of 128 bytes (512 pixels, 4 a byte) in diagonal bands of the
// four colours, and a palette of its own at 0x7680 (dark blue, orange, green, white).
inline FileBytes DemoScreen6() {
  FileBytes vram(0x76A0, 0);
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 512; ++x) {
      const int c = ((x + y) / 24) % 4;
      vram[static_cast<std::size_t>(y) * 128 + x / 4] |=
          static_cast<std::uint8_t>(c << (2 * (3 - x % 4)));
    }
  const std::uint8_t palette[8] = {0x02, 0x00, 0x70, 0x04, 0x10, 0x06, 0x77, 0x07};
  for (int i = 0; i < 8; ++i) vram[0x7680 + i] = palette[i];
  return Bsave(0x0000, vram);
}

// DEMO.SCB: screen 11, YJK pixels with the attribute bit. The left half is YJK colour (even Y
// growing downwards, J and K changing across), the right half bars of the 16 palette colours;
// the palette at 0xFA80 is a rainbow.
inline FileBytes DemoScreen11() {
  FileBytes vram(0xFAA0, 0);
  for (int y = 0; y < 212; ++y)
    for (int g = 0; g < 64; ++g) {
      std::uint8_t* p = &vram[static_cast<std::size_t>(y) * 256 + g * 4];
      if (g < 32) {
        const unsigned k = static_cast<unsigned>(g - 16) & 0x3F;
        const unsigned j = static_cast<unsigned>(15 - (y / 7) % 32) & 0x3F;
        const unsigned yv = static_cast<unsigned>(y * 15 / 211) << 4;
        p[0] = static_cast<std::uint8_t>(yv | (k & 7));
        p[1] = static_cast<std::uint8_t>(yv | ((k >> 3) & 7));
        p[2] = static_cast<std::uint8_t>(yv | (j & 7));
        p[3] = static_cast<std::uint8_t>(yv | ((j >> 3) & 7));
      } else {
        for (int n = 0; n < 4; ++n) p[n] = static_cast<std::uint8_t>((((g - 32) / 2) << 4) | 8);
      }
    }
  for (int i = 0; i < 16; ++i) {
    const int r = i < 8 ? 7 - i : 0, gr = i < 8 ? i : 15 - i, b = i < 8 ? 0 : i - 8;
    vram[0xFA80 + 2 * i] = static_cast<std::uint8_t>((r << 4) | b);
    vram[0xFA80 + 2 * i + 1] = static_cast<std::uint8_t>(gr);
  }
  return Bsave(0x0000, vram);
}

// Every generated file by its name on the demo disk.
inline std::vector<std::pair<std::string, FileBytes>> DemoFiles() {
  return {{"HELLO.BAS", HelloBas()},   {"DEMO.SC2", DemoScreen2()}, {"DEMO.SC5", DemoScreen5()},
          {"DEMO.SC7", DemoScreen7()}, {"DEMO.SC8", DemoScreen8()}, {"DEMO.SCC", DemoScreen12()},
          {"DEMO.SC1", DemoScreen1()}, {"DEMO.SC6", DemoScreen6()}, {"DEMO.SCB", DemoScreen11()}};
}

}  // namespace quarnel::demo
