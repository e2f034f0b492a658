// Division rounded half to even, over the whole range its callers use.
#include "core/rounding.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

struct RoundCase {
  std::int64_t numerator, denominator, rounded;
};

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  for (const auto& c : {
           RoundCase{1440, 2, 720}, RoundCase{5, 2, 2},  // 2.5
           RoundCase{7, 2, 4},                           // 3.5
           RoundCase{11, 4, 3},                          // 2.75
           RoundCase{-5, 2, -2},                         // -2.5: the hex view's narrow windows
           RoundCase{-7, 2, -4},                         // -3.5
           RoundCase{-1, 30, 0}, RoundCase{-16, 30, -1}, RoundCase{45, 30, 2},  // 1.5
           RoundCase{4294967295, 2, 2147483648},            // 2147483647.5: no overflow
           RoundCase{7 * 255, 7, 255}, RoundCase{1, 0, 0},  // no denominator
       }) {
    SCOPED_TRACE(std::to_string(c.numerator) + "/" + std::to_string(c.denominator));
    EXPECT_EQ(RoundHalfEven(c.numerator, c.denominator), c.rounded);
  }
  static_assert(RoundHalfEven(31 * 255, 35) == 226);  // full red of screen 12
}

}  // namespace
}  // namespace quarnel
