// Match finding for the XSA compressor: for every position of the input, the copies it could
// start with, nearest first, each longer than the one before.
#pragma once

#include <cstdint>
#include <vector>

#include "core/bytes.h"

namespace quarnel::xsa {

struct MatchCandidate {
  std::uint16_t length;
  std::uint16_t distance;
};

struct MatchOptions {
  int chainDepth = 64;   // earlier positions tried per position
  int niceLength = 254;  // a copy this long is taken as it is; the positions it covers are skipped
};

struct MatchTable {
  // The candidates of position i are candidates[first[i] .. first[i + 1]); distance and length
  // both grow along them.
  std::vector<std::uint32_t> first;
  std::vector<MatchCandidate> candidates;
  // 0 for the positions inside a copy of niceLength or more: no token starts there.
  std::vector<std::uint8_t> isStart;
};

MatchTable FindMatches(Bytes data, const MatchOptions& options = {});

}  // namespace quarnel::xsa
