#include "viewers/text_view.h"

#include <algorithm>

namespace quarnel::viewers {

std::string TextBlock(Bytes file, std::size_t index, bool masked, const MsxCharset& charset) {
  std::string s;
  if (index >= TextBlockCount(file.size())) return s;
  const std::size_t from = index * kTextBlockSize;
  const std::size_t to = std::min(file.size(), from + kTextBlockSize);
  s.reserve(to - from);
  for (std::size_t i = from; i < to; ++i) {
    const std::uint8_t b = file[i];
    if (masked) {
      s.push_back(b == 0x09 || b == 0x0A || (b >= 0x20 && b <= 0x7E) ? static_cast<char>(b) : '.');
    } else if (b == 0x00) {
      s.push_back('.');
    } else if (b == 0x09 || b == 0x0A || b == 0x0D) {
      s.push_back(static_cast<char>(b));
    } else {
      charset.AppendUtf8(s, b);
    }
  }
  return s;
}

std::vector<std::string> TextBlocks(Bytes file, bool masked, const MsxCharset& charset) {
  std::vector<std::string> out;
  const std::size_t count = TextBlockCount(file.size());
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) out.push_back(TextBlock(file, i, masked, charset));
  return out;
}

}  // namespace quarnel::viewers
