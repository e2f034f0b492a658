// MSX character sets: which Unicode character an MSX shows for each byte. Every text that
// leaves the program (names, listings, views) is UTF-8 made through one of these tables, and
// every text that comes in as a name on the disk (host names, typed names) is taken back
// through one, so another MSX character set (Japanese, Russian, ...) can be chosen later by
// passing another table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// The names by which a user chooses a character set (command line, settings).
inline constexpr std::string_view kCharsetInternational = "int";
inline constexpr std::string_view kCharsetJapanese = "jp";

class MsxCharset {
 public:
  // The international character set of European and American MSX machines (the default).
  static const MsxCharset& International();
  // The character set of Japanese MSX machines: the yen sign at 0x5C, hiragana at 0x86-0x9F
  // and 0xE0-0xFD, the katakana of JIS X 0201 at 0xA1-0xDF (Unicode's half-width forms), card
  // suits and circles at 0x80-0x85.
  static const MsxCharset& Japanese();
  // The set a user names: kCharsetInternational or kCharsetJapanese; nullptr for other names.
  static const MsxCharset* ByName(std::string_view name);

  std::string_view name() const { return name_; }

  // The character shown for `code`. Codes 0x00-0x1F and 0x7F are control codes on an MSX; the
  // table gives their Unicode "control picture" (U+2400 + code, U+2421 for 0x7F) so that they
  // are visible and never act on a terminal or text widget.
  char32_t ToUnicode(std::uint8_t code) const { return table_[code]; }

  // Appends the UTF-8 form of ToUnicode(code).
  void AppendUtf8(std::string& out, std::uint8_t code) const;

  // MSX bytes (a file name, a volume name) as UTF-8 text. With `controlsAsIs`, codes below 0x20
  // stay those codes (line ends of a text) instead of becoming control pictures.
  std::string ToUtf8(std::string_view bytes, bool controlsAsIs = false) const;
  // UTF-8 text back to the MSX bytes that show it; nullopt when the text is no valid UTF-8 or
  // holds a character this set does not have. With `controlsAsIs`, characters below U+0020 are
  // taken as those codes.
  std::optional<std::string> FromUtf8(std::string_view text, bool controlsAsIs = false) const;
  // The same for a text that must come through whole: a character this set does not have, and
  // each byte that is no UTF-8, becomes `stand`.
  std::string FromUtf8Or(std::string_view text, char stand) const;

  constexpr MsxCharset(std::string_view name, const std::array<char32_t, 256>& table)
      : name_(name), table_(table) {
    // The lowest code of each ASCII character, looked up at once (names are mostly ASCII).
    asciiCode_.fill(-1);
    for (int code = 255; code >= 0; --code)
      if (table_[static_cast<std::size_t>(code)] < 0x80)
        asciiCode_[table_[static_cast<std::size_t>(code)]] = static_cast<std::int16_t>(code);
  }

 private:
  // The code that shows `cp`; nullopt when the set has none.
  std::optional<std::uint8_t> CodeOf(char32_t cp) const;

  std::string_view name_;
  std::array<char32_t, 256> table_;
  std::array<std::int16_t, 0x80> asciiCode_{};  // -1: no code shows it
};

// True when `text` is valid UTF-8 throughout.
bool IsUtf8(std::string_view text);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace quarnel
