#include "viewers/basic_export.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "viewers/basic_lister.h"
#include "viewers/basic_tokens.h"

namespace quarnel::viewers {

namespace {

constexpr long kLoadBase = 0x8000;  // file offset 1 is memory address 0x8001

// Copies bytes from `pos` as they are up to the line's zero byte; with `toColon`, also up to a
// colon outside quotation marks (DATA). Returns the position of the byte that ended the copy.
std::size_t CopyRaw(Bytes f, std::size_t pos, bool toColon, std::string& out) {
  bool quoted = false;
  while (pos < f.size() && f[pos] != 0) {
    const std::uint8_t c = f[pos];
    if (toColon && c == kColon && !quoted) break;
    if (c == '"') quoted = !quoted;
    out.push_back(static_cast<char>(c));
    ++pos;
  }
  return pos;
}

// Where the keywords lie in the text written: offset and length of each.
using KeywordSpans = std::vector<std::pair<std::size_t, std::size_t>>;

// The tokens of one line from `pos` to its zero byte (or the end of the data); the keywords'
// places go to `spans` when given.
void ExportLine(Bytes f, std::size_t pos, std::string& out, KeywordSpans* spans) {
  char buf[32];
  const auto keyword = [&out, spans](std::string_view text) {
    if (spans) spans->emplace_back(out.size(), text.size());
    out.append(text);
  };
  while (pos < f.size()) {
    const std::uint8_t t = f[pos++];
    if (t == 0x00) return;
    if (t == '"') {
      out.push_back('"');
      while (pos < f.size() && f[pos] != 0) {
        const std::uint8_t c = f[pos++];
        out.push_back(static_cast<char>(c));
        if (c == '"') break;
      }
    } else if (t == kColon) {
      if (U8At(f, pos) == kElse) continue;  // shown as ELSE alone
      if (U8At(f, pos) == kRem && U8At(f, pos + 1) == kApostrophe) {
        keyword("'");
        pos = CopyRaw(f, pos + 2, false, out);
      } else {
        out.push_back(':');
      }
    } else if (t == kRem) {
      keyword(BasicKeywordText(kRem));
      pos = CopyRaw(f, pos, false, out);
    } else if (t == kData || t == kCall) {
      keyword(BasicKeywordText(t));
      pos = CopyRaw(f, pos, true, out);
    } else if (t == '_') {
      out.push_back('_');
      pos = CopyRaw(f, pos, true, out);
    } else if (t == 0x0B || t == 0x0C || t == 0x0D || t == 0x0E || t == 0x1C) {
      const auto v = Le16At(f, pos);
      if (!v) return;
      pos += 2;
      unsigned shown = *v;
      if (t == 0x0D) {  // a line's address: the number of that line, 3 bytes on
        const long at = static_cast<long>(*v) - kLoadBase + 3;
        const auto n = at >= 0 ? Le16At(f, static_cast<std::size_t>(at)) : std::nullopt;
        shown = n.value_or(0);
      }
      std::snprintf(buf, sizeof buf, t == 0x0B ? "&O%o" : t == 0x0C ? "&H%X" : "%u", shown);
      out.append(buf);
    } else if (t == 0x0F) {
      const auto v = U8At(f, pos);
      if (!v) return;
      ++pos;
      out.append(std::to_string(*v));
    } else if (t >= 0x11 && t <= 0x1A) {
      out.push_back(static_cast<char>('0' + (t - 0x11)));
    } else if (t == 0x1D || t == 0x1F) {
      const std::size_t n = t == 0x1D ? 4 : 8;
      if (pos > f.size() || f.size() - pos < n) return;
      out.append(BasicNumberText(f.subspan(pos, n)));
      pos += n;
    } else if (t == 0xFF) {
      const auto k = U8At(f, pos);
      const std::string_view text = k ? BasicFunctionText(*k) : std::string_view();
      if (text.empty()) {
        out.push_back(static_cast<char>(t));
      } else {
        keyword(text);
        ++pos;
      }
    } else if (t >= 0x81) {
      const std::string_view text = BasicKeywordText(t);
      if (text.empty()) {
        out.push_back(static_cast<char>(t));
      } else {
        keyword(text);
      }
    } else {
      out.push_back(static_cast<char>(t));
    }
  }
}

}  // namespace

std::string BasicNumberText(Bytes bcd) {
  if (bcd.empty()) return {};
  const bool isDouble = bcd.size() > 4;
  std::string digits;
  for (std::size_t i = 1; i < bcd.size(); ++i) {
    for (const int nibble : {bcd[i] >> 4, bcd[i] & 0x0F}) {
      digits.push_back(static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10));
    }
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  const std::uint8_t e = bcd[0];
  std::string s;
  bool exponent = false;
  if (e == 0 || digits.empty()) {
    s = "0";
  } else {
    if (e & 0x80) s.push_back('-');
    const long x = static_cast<long>(e & 0x7F) - 0x40;  // value = 0.digits * 10^x
    const long d = static_cast<long>(digits.size());
    const long width = isDouble ? 14 : 6;
    const bool fixed = x > 0 ? x <= width : d - x <= width;
    if (fixed && x > 0) {
      if (d <= x) {
        s += digits + std::string(static_cast<std::size_t>(x - d), '0');
      } else {
        s += digits.substr(0, static_cast<std::size_t>(x)) + "." +
             digits.substr(static_cast<std::size_t>(x));
      }
    } else if (fixed) {
      s += "." + std::string(static_cast<std::size_t>(-x), '0') + digits;
    } else {
      exponent = true;
      s += digits.substr(0, 1);
      if (d > 1) s += "." + digits.substr(1);
      // Six digits or fewer read back as single precision unless the exponent says D.
      s.push_back(isDouble && d <= 6 ? 'D' : 'E');
      char buf[8];
      std::snprintf(buf, sizeof buf, "%c%02ld", x - 1 < 0 ? '-' : '+', x - 1 < 0 ? 1 - x : x - 1);
      s += buf;
    }
  }
  if (isDouble && !exponent) s.push_back('#');
  if (!isDouble && !exponent && s.find('.') == std::string::npos) s.push_back('!');
  return s;
}

namespace {

// Every line of the program as LIST writes it, each handed to `line` with its keyword places.
template <class Line>
void ForEachExportedLine(Bytes program, Line line) {
  std::size_t lineStart = 1;
  std::string text;
  KeywordSpans spans;
  for (;;) {
    const auto link = Le16At(program, lineStart);
    const auto number = Le16At(program, lineStart + 2);
    if (!link || *link == 0 || !number) break;
    text = std::to_string(*number) + ' ';
    spans.clear();
    ExportLine(program, lineStart + 4, text, &spans);
    line(text, spans);
    const long next = static_cast<long>(*link) - kLoadBase;
    if (next <= static_cast<long>(lineStart) || next > static_cast<long>(program.size())) break;
    lineStart = static_cast<std::size_t>(next);
  }
}

}  // namespace

std::optional<std::string> ExportBasicText(Bytes program) {
  if (program.empty() || program[0] != 0xFF) return std::nullopt;
  std::string out;
  ForEachExportedLine(program, [&out](const std::string& text, const KeywordSpans&) {
    out.append(text);
    out.append("\r\n");
  });
  out.push_back('\x1A');
  return out;
}

BasicListing ListBasicAsMsx(Bytes program, const MsxCharset& charset) {
  BasicListing listing = ListBasic(program, charset);  // for the damage it finds
  std::vector<BasicRun> errors;
  for (BasicRun& r : listing.runs)
    if (r.kind == BasicRun::Kind::Error) errors.push_back(std::move(r));
  listing.runs.clear();
  if (!listing.isBasic) return listing;
  int lines = 0;
  ForEachExportedLine(program, [&](const std::string& text, const KeywordSpans& spans) {
    std::size_t at = 0;
    const auto add = [&](BasicRun::Kind kind, std::size_t from, std::size_t to) {
      if (to > from)
        listing.runs.push_back(
            {kind, charset.ToUtf8(std::string_view(text).substr(from, to - from))});
    };
    for (const auto& [from, length] : spans) {
      add(BasicRun::Kind::Plain, at, from);
      add(BasicRun::Kind::Keyword, from, from + length);
      at = from + length;
    }
    add(BasicRun::Kind::Plain, at, text.size());
    listing.runs.push_back({BasicRun::Kind::LineEnd, {}});
    ++lines;
  });
  listing.lines = lines;
  for (BasicRun& e : errors) listing.runs.push_back(std::move(e));
  return listing;
}

}  // namespace quarnel::viewers
