#include "formats/xsa_match.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "formats/xsa_code.h"

namespace quarnel::xsa {

namespace {

constexpr int kHashBits = 15;

std::uint32_t Hash3(const std::uint8_t* p) {
  std::uint32_t v =
      static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  return (v * 2654435761u) >> (32 - kHashBits);
}

// How many bytes from `a` equal those from `b`, up to `limit`.
int CommonLength(const std::uint8_t* a, const std::uint8_t* b, int limit) {
  int n = 0;
  while (n + 8 <= limit) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      std::uint64_t diff = x ^ y;
      if constexpr (std::endian::native == std::endian::little) {
        return n + std::countr_zero(diff) / 8;
      } else {
        return n + std::countl_zero(diff) / 8;
      }
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

}  // namespace

MatchTable FindMatches(Bytes data, const MatchOptions& options) {
  const int n = static_cast<int>(data.size());
  const std::uint8_t* d = data.data();
  MatchTable table;
  table.first.resize(static_cast<std::size_t>(n) + 1);
  table.isStart.assign(static_cast<std::size_t>(n), 0);
  table.candidates.reserve(static_cast<std::size_t>(n));

  std::vector<std::int32_t> head(std::size_t{1} << kHashBits, -1);
  std::vector<std::int32_t> prev(static_cast<std::size_t>(n), -1);
  std::vector<std::int32_t> last2(65536, -1);
  std::vector<MatchCandidate> found;

  auto insert = [&](int i) {
    if (i + 1 < n) last2[d[i] | (d[i + 1] << 8)] = i;
    if (i + 2 < n) {
      std::uint32_t h = Hash3(d + i);
      prev[i] = head[h];
      head[h] = i;
    }
  };

  int skipUntil = 0;
  for (int i = 0; i < n; ++i) {
    table.first[i] = static_cast<std::uint32_t>(table.candidates.size());
    if (i < skipUntil) {
      insert(i);
      continue;
    }
    table.isStart[i] = 1;
    const int maxLen = std::min(kMaxMatch, n - i);
    int best = 1;
    found.clear();
    if (maxLen >= 3) {
      int cand = head[Hash3(d + i)];
      for (int depth = 0; cand >= 0 && i - cand <= kMaxDistance && depth < options.chainDepth;
           ++depth) {
        if (d[cand + best] == d[i + best]) {
          int len = CommonLength(d + cand, d + i, maxLen);
          if (len > best) {
            best = len;
            found.push_back(
                {static_cast<std::uint16_t>(len), static_cast<std::uint16_t>(i - cand)});
            if (len == maxLen) break;
          }
        }
        cand = prev[cand];
      }
    }
    if (maxLen >= 2) {
      int c2 = last2[d[i] | (d[i + 1] << 8)];
      if (c2 >= 0 && i - c2 <= kMaxDistance) {
        MatchCandidate two{2, static_cast<std::uint16_t>(i - c2)};
        if (found.empty()) {
          found.push_back(two);
          best = std::max(best, 2);
        } else if (found.front().distance > two.distance) {
          if (found.front().length == 2) {
            found.front() = two;
          } else {
            found.insert(found.begin(), two);
          }
        }
      }
    }
    table.candidates.insert(table.candidates.end(), found.begin(), found.end());
    insert(i);
    if (best >= options.niceLength) skipUntil = i + best;
  }
  table.first[n] = static_cast<std::uint32_t>(table.candidates.size());
  return table;
}

}  // namespace quarnel::xsa
