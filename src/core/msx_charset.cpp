#include "core/msx_charset.h"

#include <algorithm>

namespace quarnel {

namespace {

constexpr std::array<char32_t, 256> MakeInternational() {
  std::array<char32_t, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = 0x2400 + c;  // control pictures
  for (int c = 0x20; c < 0x7F; ++c) t[c] = static_cast<char32_t>(c);
  t[0x7F] = 0x2421;
  constexpr char32_t high[128] = {
      // 0x80
      0x00C7,
      0x00FC,
      0x00E9,
      0x00E2,
      0x00E4,
      0x00E0,
      0x00E5,
      0x00E7,
      0x00EA,
      0x00EB,
      0x00E8,
      0x00EF,
      0x00EE,
      0x00EC,
      0x00C4,
      0x00C5,
      // 0x90
      0x00C9,
      0x00E6,
      0x00C6,
      0x00F4,
      0x00F6,
      0x00F2,
      0x00FB,
      0x00F9,
      0x00FF,
      0x00D6,
      0x00DC,
      0x00A2,
      0x00A3,
      0x00A5,
      0x20A7,
      0x0192,
      // 0xA0
      0x00E1,
      0x00ED,
      0x00F3,
      0x00FA,
      0x00F1,
      0x00D1,
      0x00AA,
      0x00BA,
      0x00BF,
      0x2310,
      0x00AC,
      0x00BD,
      0x00BC,
      0x00A1,
      0x00AB,
      0x00BB,
      // 0xB0
      0x00C3,
      0x00E3,
      0x0128,
      0x0129,
      0x00D5,
      0x00F5,
      0x0168,
      0x0169,
      0x0132,
      0x0133,
      0x00BE,
      0x223D,
      0x25C7,
      0x2030,
      0x00B6,
      0x00A7,
      // 0xC0: block graphics (Symbols for Legacy Computing where Unicode has the MSX shapes)
      0x2582,
      0x259A,
      0x2586,
      0x1FB82,
      0x25AC,
      0x1FB85,
      0x258E,
      0x259E,
      0x258A,
      0x1FB87,
      0x1FB8A,
      0x1FB99,
      0x1FB98,
      0x1FB6D,
      0x1FB6F,
      0x1FB6C,
      // 0xD0
      0x1FB6E,
      0x1FB9A,
      0x1FB9B,
      0x2598,
      0x2597,
      0x259D,
      0x2596,
      0x1FB96,
      0x0394,
      0x2021,
      0x03C9,
      0x2588,
      0x2584,
      0x258C,
      0x2590,
      0x2580,
      // 0xE0
      0x03B1,
      0x00DF,
      0x0393,
      0x03C0,
      0x03A3,
      0x03C3,
      0x00B5,
      0x03C4,
      0x03A6,
      0x0398,
      0x03A9,
      0x03B4,
      0x221E,
      0x03C6,
      0x2208,
      0x2229,
      // 0xF0
      0x2261,
      0x00B1,
      0x2265,
      0x2264,
      0x2320,
      0x2321,
      0x00F7,
      0x2248,
      0x00B0,
      0x2219,
      0x00B7,
      0x221A,
      0x207F,
      0x00B2,
      0x25A0,
      0x2588,
  };
  for (int c = 0; c < 128; ++c) t[0x80 + c] = high[c];
  return t;
}

constexpr std::array<char32_t, 256> MakeJapanese() {
  std::array<char32_t, 256> t = MakeInternational();
  t[0x5C] = 0x00A5;  // the yen sign stands where the backslash stands elsewhere
  // 0x80-0x9F: card suits, circles and small hiragana, then hiragana a-so.
  constexpr char32_t low[32] = {
      U'\u2660', U'\u2665', U'\u2663', U'\u2666', U'\u25CB', U'\u25CF', U'を', U'ぁ',
      U'ぃ',     U'ぅ',     U'ぇ',     U'ぉ',     U'ゃ',     U'ゅ',     U'ょ', U'っ',
      U'\u3000', U'あ',     U'い',     U'う',     U'え',     U'お',     U'か', U'き',
      U'く',     U'け',     U'こ',     U'さ',     U'し',     U'す',     U'せ', U'そ',
  };
  for (int c = 0; c < 32; ++c) t[0x80 + c] = low[c];
  // 0xA0-0xDF: the katakana of JIS X 0201, as Unicode's half-width forms.
  t[0xA0] = 0x00A0;
  for (int c = 0xA1; c <= 0xDF; ++c) t[c] = static_cast<char32_t>(0xFF61 + (c - 0xA1));
  // 0xE0-0xFD: hiragana ta-n; 0xFE blank, 0xFF the block of the cursor.
  constexpr char32_t high[32] = {
      U'た', U'ち', U'つ', U'て', U'と', U'な', U'に', U'ぬ', U'ね',     U'の',     U'は',
      U'ひ', U'ふ', U'へ', U'ほ', U'ま', U'み', U'む', U'め', U'も',     U'や',     U'ゆ',
      U'よ', U'ら', U'り', U'る', U'れ', U'ろ', U'わ', U'ん', U'\u3000', U'\u2588',
  };
  for (int c = 0; c < 32; ++c) t[0xE0 + c] = high[c];
  return t;
}

constexpr MsxCharset kInternational{"MSX international", MakeInternational()};
constexpr MsxCharset kJapanese{"MSX Japanese", MakeJapanese()};

}  // namespace

const MsxCharset& MsxCharset::International() { return kInternational; }
const MsxCharset& MsxCharset::Japanese() { return kJapanese; }

const MsxCharset* MsxCharset::ByName(std::string_view name) {
  if (name == kCharsetInternational) return &kInternational;
  if (name == kCharsetJapanese) return &kJapanese;
  return nullptr;
}

void MsxCharset::AppendUtf8(std::string& out, std::uint8_t code) const {
  char32_t cp = table_[code];
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else {
    quarnel::AppendUtf8(out, cp);
  }
}

std::string MsxCharset::ToUtf8(std::string_view bytes, bool controlsAsIs) const {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto code = static_cast<std::uint8_t>(c);
    if (controlsAsIs && code < 0x20) {
      out.push_back(c);
    } else {
      AppendUtf8(out, code);
    }
  }
  return out;
}

namespace {

// The code point of the UTF-8 character at `i`, which then moves past it; nullopt for a byte that
// starts no valid character (`i` moves past that byte only).
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
  if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
    ++i;
    return std::nullopt;
  }
  char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto cont = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
    if ((cont & 0xC0) != 0x80) {
      ++i;
      return std::nullopt;
    }
    cp = (cp << 6) | (cont & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

}  // namespace

std::optional<std::uint8_t> MsxCharset::CodeOf(char32_t cp) const {
  if (cp < asciiCode_.size()) {
    if (asciiCode_[cp] < 0) return std::nullopt;
    return static_cast<std::uint8_t>(asciiCode_[cp]);
  }
  const auto* found = std::find(table_.begin(), table_.end(), cp);
  if (found == table_.end()) return std::nullopt;
  return static_cast<std::uint8_t>(found - table_.begin());
}

std::optional<std::string> MsxCharset::FromUtf8(std::string_view text, bool controlsAsIs) const {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> cp = NextCodePoint(text, i);
    if (!cp) return std::nullopt;
    if (controlsAsIs && *cp < 0x20) {
      out.push_back(static_cast<char>(*cp));
      continue;
    }
    const std::optional<std::uint8_t> code = CodeOf(*cp);
    if (!code) return std::nullopt;
    out.push_back(static_cast<char>(*code));
  }
  return out;
}

std::string MsxCharset::FromUtf8Or(std::string_view text, char stand) const {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> cp = NextCodePoint(text, i);
    const std::optional<std::uint8_t> code = cp ? CodeOf(*cp) : std::nullopt;
    out.push_back(code ? static_cast<char>(*code) : stand);
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size())
    if (!NextCodePoint(text, i)) return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace quarnel
