#include "core/message_text.h"

#include <cstdio>

namespace quarnel {

std::string FillText(std::string_view text, std::initializer_list<std::string> args) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto k = static_cast<std::size_t>(text[i + 1] - '1');
      if (k < args.size()) {
        out += *(args.begin() + k);
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string DecimalText(std::int64_t v, int width) {
  std::string digits = std::to_string(v);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
  return digits;
}

std::string HexText(std::uint32_t v, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int i = digits - 1; i >= 0; --i) s.push_back(kDigits[(v >> (4 * i)) & 0xF]);
  return s;
}

}  // namespace quarnel
