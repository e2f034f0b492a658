// Integer division rounded to the nearest integer, halves to the even neighbour: how the cluster
// count of a disk, the colour levels of pictures and the width of the hex view are rounded.
#pragma once

#include <cstdint>

namespace quarnel {

// numerator / denominator rounded to the nearest integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); 0 when the denominator is not above 0.
constexpr std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
  if (denominator <= 0) return 0;
  std::int64_t q = numerator / denominator;
  std::int64_t rem = numerator % denominator;
  if (rem < 0) {  // towards minus infinity: 0 <= rem < denominator
    rem += denominator;
    --q;
  }
  // rem against denominator - rem: 2 x rem against the denominator, without overflow.
  if (rem > denominator - rem || (rem == denominator - rem && (q & 1) != 0)) ++q;
  return q;
}

}  // namespace quarnel
