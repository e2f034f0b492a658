// Streams of an independent XSA encoder, written from the format description and checked
// against another program's decoder, with what they decode to. They are valid decoder inputs, not
// the only right encoder output: another sound encoder may give other bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel::test {

struct XsaVector {
  std::string name;                  // "abab", "empty", "mixed32k"
  std::vector<std::uint8_t> stream;  // the .xsa file
  std::size_t size = 0;              // length of the decoded bytes
  std::uint64_t fnv1a = 0;           // FNV-1a (64 bit) of the decoded bytes
};

// "ABABABABAB"; the empty file; 32 KB of seeded pseudo-random literals and copies at distances
// 1 to 8,192 (every distance class, across one rebuild of the adaptive tree).
const std::vector<XsaVector>& XsaVectors();

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes);

}  // namespace quarnel::test
