// Builds MSX cassette images (.cas) in memory for tests: blocks start with the sync header at a
// multiple of 8 bytes, padded with zeros before it, as tape writers do.
//
//   TapeBuilder b;
//   b.FileHeader(0xD0, "GAME  ").Header().Raw({0x00, 0x90, 0x00, 0x90, 0x00, 0x90, 0xC9});
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <vector>

#include "formats/cassette.h"

namespace quarnel::test {

struct TapeBuilder {
  std::vector<std::uint8_t> t;
  TapeBuilder& Pad() {
    while (t.size() % 8) t.push_back(0);
    return *this;
  }
  TapeBuilder& Header() {
    Pad();
    t.insert(t.end(), std::begin(kCasBlockHeader), std::end(kCasBlockHeader));
    return *this;
  }
  TapeBuilder& Raw(std::initializer_list<std::uint8_t> b) {
    t.insert(t.end(), b);
    return *this;
  }
  TapeBuilder& Text(std::string_view s) {
    t.insert(t.end(), s.begin(), s.end());
    return *this;
  }
  TapeBuilder& Fill(std::size_t n, std::uint8_t v) {
    t.insert(t.end(), n, v);
    return *this;
  }
  // A file's header block: ten bytes of its kind (0xD3 BASIC, 0xEA ASCII, 0xD0 binary) and a
  // six-character name.
  TapeBuilder& FileHeader(std::uint8_t kind, std::string_view name6) {
    return Header().Fill(10, kind).Text(name6);
  }
};

}  // namespace quarnel::test
