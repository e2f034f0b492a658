// Messages with values in them: every text of the system is filled by the one formatter.
#include "core/message_text.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(MessageText, FillsPlacesInOrderAndKeepsOtherPercentSigns) {
  struct Case {
    std::string_view text;
    std::initializer_list<std::string> args;
    std::string want;
  };
  const Case cases[] = {
      {"Sector %1 of %2", {"3", "1440"}, "Sector 3 of 1440"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"cluster %1 of %2 holds", {"7", "SUB\\%1"}, "cluster 7 of SUB\\%1 holds"},  // not refilled
      {"The disk size is not 100%, but", {}, "The disk size is not 100%, but"},
      {"%3 stays when no third value is given", {"x"}, "%3 stays when no third value is given"},
      {"ends in %", {"x"}, "ends in %"},
  };
  for (const Case& c : cases) EXPECT_EQ(FillText(c.text, c.args), c.want) << c.text;
  EXPECT_EQ(DecimalText(512, 7), "    512");
  EXPECT_EQ(DecimalText(-12345678, 7), "-12345678");
  EXPECT_EQ(HexText(0xF9, 2), "0xF9");
}

}  // namespace
}  // namespace quarnel
