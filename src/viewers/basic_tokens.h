// The keyword texts of tokenised MSX-BASIC, as the listing writes them. Constant data.
#pragma once

#include <cstdint>
#include <string_view>

namespace quarnel::viewers {

// One-byte tokens 0x81-0xFE. Empty for tokens that have no text (nothing is written).
std::string_view KeywordText(std::uint8_t token);

// Function tokens after the 0xFF prefix, 0x81-0xB6. Empty for tokens without text.
std::string_view FunctionText(std::uint8_t token);

// True when 0xFF followed by `token` is a function token (0x81-0xB6); any other byte after the
// prefix ends the line.
constexpr bool IsFunctionToken(std::uint8_t token) { return token >= 0x81 && token <= 0xB6; }

}  // namespace quarnel::viewers
