// The keyword table of tokenised MSX-BASIC: for each token the text the listing writes and the
// word MSX-BASIC itself lists and reads. Constant data, shared by the lister, the text export
// and the tokeniser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarnel::viewers {

// One-byte tokens 0x81-0xFE, as the listing writes them. Empty for tokens that have no text
// (nothing is written).
std::string_view KeywordText(std::uint8_t token);

// Function tokens after the 0xFF prefix, 0x81-0xB6, as the listing writes them. Empty for
// tokens without text.
std::string_view FunctionText(std::uint8_t token);

// The same tokens as MSX-BASIC's LIST writes them ("NEXT", "TAB(", "'", "\", "INP", "CDBL").
std::string_view BasicKeywordText(std::uint8_t token);
std::string_view BasicFunctionText(std::uint8_t token);

// True when 0xFF followed by `token` is a function token (0x81-0xB6); any other byte after the
// prefix ends the line.
constexpr bool IsFunctionToken(std::uint8_t token) { return token >= 0x81 && token <= 0xB6; }

// The longest keyword word (one starting with a letter) at the start of `text`, letters in any
// case. length 0: none.
struct KeywordMatch {
  std::size_t length = 0;
  bool function = false;  // a function token: 0xFF, token
  std::uint8_t token = 0;
};
KeywordMatch MatchKeyword(std::string_view text);

// Bytes of a tokenised line that the tokeniser and the text export treat specially.
inline constexpr std::uint8_t kColon = 0x3A;
inline constexpr std::uint8_t kData = 0x84;
inline constexpr std::uint8_t kRem = 0x8F;
inline constexpr std::uint8_t kPrint = 0x91;
inline constexpr std::uint8_t kElse = 0xA1;
inline constexpr std::uint8_t kCall = 0xCA;
inline constexpr std::uint8_t kApostrophe = 0xE6;

}  // namespace quarnel::viewers
