#include "viewers/basic_lister.h"

#include <algorithm>
#include <cstdio>

#include "viewers/basic_tokens.h"
#include "viewers/messages.h"

namespace quarnel::viewers {

namespace {

constexpr long kLoadBase = 0x8000;  // file offset 1 is memory address 0x8001

class ListingWriter {
 public:
  explicit ListingWriter(BasicListing& out) : out_(out) {}

  std::string& Plain() {
    if (out_.runs.empty() || out_.runs.back().kind != BasicRun::Kind::Plain) {
      out_.runs.push_back({BasicRun::Kind::Plain, {}});
    }
    return out_.runs.back().text;
  }
  void Text(std::string_view s) { Plain().append(s); }
  void Keyword(std::string_view s) {
    if (s.empty()) return;  // tokens without a text write nothing
    out_.runs.push_back({BasicRun::Kind::Keyword, std::string(s)});
  }
  void LineEnd() {
    out_.runs.push_back({BasicRun::Kind::LineEnd, {}});
    ++out_.lines;
  }
  void Error() {
    out_.runs.push_back({BasicRun::Kind::Error, std::string(kBasicLinkError)});
    ++out_.errors;
  }

 private:
  BasicListing& out_;
};

// Writes the tokens of one line from `pos`, at most `maxTokens` tokens. Stops at the zero byte,
// at a 0xFF prefix followed by a byte outside the function table, or where the data ends (an
// operand cut short by the end of the file writes nothing). True when it stopped because the
// data ended.
bool ListTokens(Bytes file, std::size_t pos, long maxTokens, ListingWriter& w,
                const MsxCharset& cs) {
  constexpr bool kCut = true;
  constexpr bool kEnded = false;
  char buf[32];
  for (long count = 0; count < maxTokens; ++count) {
    auto b = U8At(file, pos);
    if (!b) return kCut;
    ++pos;
    const std::uint8_t t = *b;
    if (t == 0x00) return kEnded;
    if ((t >= 0x01 && t <= 0x0A) || t == 0x10 || t == 0x1B || t == 0x1E) {
      w.Text(".");
    } else if (t == 0x0B || t == 0x0C || t == 0x0D || t == 0x0E || t == 0x1C) {
      auto v = Le16At(file, pos);
      if (!v) return kCut;
      pos += 2;
      switch (t) {
        case 0x0B:
          std::snprintf(buf, sizeof buf, "&O%011o", static_cast<unsigned>(*v));
          break;
        case 0x0C:
          std::snprintf(buf, sizeof buf, "&H%X", static_cast<unsigned>(*v));
          break;
        case 0x0D:
          std::snprintf(buf, sizeof buf, "Begin#%XEnd", static_cast<unsigned>(*v));
          break;
        default:
          std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(*v));
          break;
      }
      w.Text(buf);
    } else if (t == 0x0F) {
      auto v = U8At(file, pos);
      if (!v) return kCut;
      pos += 1;
      std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(*v));
      w.Text(buf);
    } else if (t >= 0x11 && t <= 0x1A) {
      buf[0] = static_cast<char>('0' + (t - 0x11));
      buf[1] = 0;
      w.Text(buf);
    } else if (t == 0x1D || t == 0x1F) {
      const std::size_t n = t == 0x1D ? 4 : 8;
      if (pos > file.size() || file.size() - pos < n) return kCut;
      w.Text(BcdFloatText(file.subspan(pos, n)));
      pos += n;
    } else if (t == 0x22) {
      std::string& s = w.Plain();
      s.push_back('"');
      for (;;) {
        auto c = U8At(file, pos);
        if (!c) return kCut;
        if (*c == 0x00) return kEnded;  // the zero byte ends the literal and the line
        ++pos;
        cs.AppendUtf8(s, *c);
        if (*c == 0x22) break;
      }
    } else if (t == 0x3A) {
      w.Text(":");
    } else if (t < 0x20) {
      w.Text(".");  // no byte below 0x20 is left, but keep every path visible
    } else if (t <= 0x80) {
      cs.AppendUtf8(w.Plain(), t);
    } else if (t <= 0xFE) {
      w.Keyword(KeywordText(t));
    } else {  // 0xFF prefix
      auto k = U8At(file, pos);
      if (!k) return kCut;
      ++pos;
      if (!IsFunctionToken(*k)) return kEnded;
      w.Keyword(FunctionText(*k));
    }
  }
  return kEnded;
}

}  // namespace

std::string BcdFloatText(Bytes bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  if (bytes.empty()) return {};
  std::string digits;
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    digits.push_back(kHex[bytes[i] >> 4]);
    digits.push_back(kHex[bytes[i] & 0x0F]);
  }
  const std::uint8_t e = bytes[0];
  std::string text = digits;
  if (e != 0) text += " E " + std::to_string(static_cast<int>(e & 0x7F) - 65);
  if (text.empty()) return text;
  text.insert(text.begin() + 1, '.');
  return text;
}

BasicListing ListBasic(Bytes file, const MsxCharset& charset) {
  BasicListing out;
  if (file.empty() || file[0] != 0xFF) return out;
  out.isBasic = true;
  ListingWriter w(out);
  const long length = static_cast<long>(file.size());
  // Keeps the first fault found.
  auto damaged = [&out](BasicDamage d, std::optional<unsigned> line, std::size_t offset) {
    if (out.Damaged()) return;
    out.damage = d;
    out.damageLine = line;
    out.damageOffset = offset;
  };

  std::size_t lineStart = 1;
  for (;;) {
    // A line needs its link and its line number inside the data; a zero link ends the program.
    auto link = Le16At(file, lineStart);
    if (!link) {
      damaged(BasicDamage::NoEndLink, std::nullopt, std::min(lineStart, file.size()));
      break;
    }
    if (*link == 0) break;
    const long next = static_cast<long>(*link) - kLoadBase;
    auto number = Le16At(file, lineStart + 2);
    if (next > length) {
      w.Error();
      damaged(BasicDamage::LinkPastEnd, number, lineStart);
    }
    if (next <= static_cast<long>(lineStart)) {
      damaged(BasicDamage::LinkBackwards, number, lineStart);
    }
    if (next <= 0) break;
    if (!number) {
      damaged(BasicDamage::LineCut, std::nullopt, lineStart);
      break;
    }

    char num[16];
    std::snprintf(num, sizeof num, "%5u  ", static_cast<unsigned>(*number));
    w.Text(num);
    const std::size_t tokens = lineStart + 4;
    if (ListTokens(file, tokens, next - static_cast<long>(tokens), w, charset)) {
      damaged(BasicDamage::LineCut, number, lineStart);
    }
    w.LineEnd();

    // Links must lead forward. One that points back or at its own line would list the same
    // lines for ever: the notice is shown and the listing ends there.
    if (next <= static_cast<long>(lineStart)) {
      w.Error();
      break;
    }
    lineStart = static_cast<std::size_t>(next);
  }
  return out;
}

std::string BasicListingText(const BasicListing& listing, bool ansi) {
  std::string s;
  for (const BasicRun& r : listing.runs) {
    switch (r.kind) {
      case BasicRun::Kind::Plain:
        s += r.text;
        break;
      case BasicRun::Kind::Keyword:
        if (ansi) {
          s += "\x1b[1;34m";
          s += r.text;
          s += "\x1b[0m";
        } else {
          s += r.text;
        }
        break;
      case BasicRun::Kind::LineEnd:
        s += '\n';
        break;
      case BasicRun::Kind::Error:
        break;
    }
  }
  return s;
}

}  // namespace quarnel::viewers
