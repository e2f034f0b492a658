// ASCII letter case and file-name extensions. Only a-z and A-Z change case: MSX names, captions
// and host paths hold bytes of other character sets, which stay as they are whatever the host's
// locale says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarnel {

// a-z as A-Z; every other byte as it is.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr std::uint8_t AsciiUpper(std::uint8_t c) {
  return (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
}
// The text with a-z as A-Z.
std::string AsciiUpper(std::string_view text);

// A-Z as a-z; every other byte as it is.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
// The text with A-Z as a-z.
std::string AsciiLower(std::string_view text);

// True when `a` and `b` are the same but for the case of ASCII letters.
bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b);

// The part of `path` after its last / or \ (all of it when there is none).
std::string_view FileNameOf(std::string_view path);

// The extension of `name`, from its last dot on (".dsk"); empty when there is no dot. `name`
// is taken whole: a / or \ in it is a character like any other.
std::string_view ExtensionOf(std::string_view name);

// The extension of the file name in `path` (after the last / or \), from its last dot on,
// upper-cased and cut to `keep` characters, dot included (".DSK"); empty when the name has no
// dot.
std::string UpperExtension(std::string_view path, std::size_t keep = std::string_view::npos);

}  // namespace quarnel
