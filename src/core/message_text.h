// The one way a message with values in it is made: a text of the system with "%1", "%2", ...
// where the values go, filled in order. Numbers are written as the messages show them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quarnel {

// `text` with "%1", "%2", ... replaced by `args` in order ("%" before anything else stays).
std::string FillText(std::string_view text, std::initializer_list<std::string> args);
// `v` in decimal, right-aligned in `width` characters (no padding when it is longer).
std::string DecimalText(std::int64_t v, int width = 0);
// `v` as "0x" and `digits` hexadecimal digits.
std::string HexText(std::uint32_t v, int digits);

}  // namespace quarnel
