// The owners of one cluster in the tree map: one held in place, more spilled to a list, and
// back again as owners are taken away.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/tree_map.h"

namespace quarnel {
namespace {

struct Step {
  bool add;  // push_back, or Erase
  std::uint32_t owner;
};

TEST(OwnerList, KeepsEveryOwnerInOrderThroughAddsAndRemovals) {
  const std::vector<std::tuple<std::string, std::vector<Step>, std::vector<std::uint32_t>>> cases =
      {
          {"none", {}, {}},
          {"one", {{true, 7}}, {7}},
          {"one taken away", {{true, 7}, {false, 7}}, {}},
          {"another one is not taken away", {{true, 7}, {false, 8}}, {7}},
          {"three", {{true, 1}, {true, 2}, {true, 3}}, {1, 2, 3}},
          {"back to one", {{true, 1}, {true, 2}, {false, 1}}, {2}},
          {"back to one, then more", {{true, 1}, {true, 2}, {false, 2}, {true, 3}}, {1, 3}},
          {"back to none, then one", {{true, 4}, {true, 4}, {false, 4}, {true, 5}}, {5}},
          {"the middle one", {{true, 1}, {true, 2}, {true, 3}, {false, 2}}, {1, 3}},
      };
  for (const auto& [what, steps, expected] : cases) {
    SCOPED_TRACE(what);
    OwnerList owners;
    for (const Step& s : steps) s.add ? owners.push_back(s.owner) : owners.Erase(s.owner);
    EXPECT_EQ(std::vector<std::uint32_t>(owners.begin(), owners.end()), expected);
    EXPECT_EQ(owners.size(), expected.size());
    EXPECT_EQ(owners.empty(), expected.empty());
    if (!expected.empty()) {
      EXPECT_EQ(owners.front(), expected.front());
      EXPECT_EQ(owners.back(), expected.back());
    }
  }
}

}  // namespace
}  // namespace quarnel
