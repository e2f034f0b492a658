#include "viewers/basic_tokenizer.h"

#include <map>
#include <string>

#include "viewers/basic_tokens.h"
#include "viewers/messages.h"

namespace quarnel::viewers {

namespace {

constexpr std::size_t kMaxBody = 255;
constexpr unsigned kMaxLineNumber = 65529;
constexpr unsigned kLoadAddress = 0x8001;  // the first line's link sits here

constexpr bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr std::uint8_t Upper(std::uint8_t c) {
  return c >= 'a' && c <= 'z' ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
}
constexpr int HexValue(std::uint8_t c) {
  if (IsDigit(c)) return c - '0';
  const std::uint8_t u = Upper(c);
  return u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

// Tokens after which numbers are line numbers (0x0E).
constexpr bool TakesLineNumbers(std::uint8_t token) {
  switch (token) {
    case 0x89:  // GOTO
    case 0x8A:  // RUN
    case 0x8C:  // RESTORE
    case 0x8D:  // GOSUB
    case 0x8E:  // RETURN
    case 0x93:  // LIST
    case 0x9E:  // LLIST
    case 0xA1:  // ELSE
    case 0xA7:  // RESUME
    case 0xA8:  // DELETE
    case 0xA9:  // AUTO
    case 0xAA:  // RENUM
    case 0xDA:  // THEN
      return true;
    default:
      return false;
  }
}

// The one-character operators and their tokens.
constexpr std::uint8_t OperatorToken(std::uint8_t c) {
  switch (c) {
    case '>':
      return 0xEE;
    case '=':
      return 0xEF;
    case '<':
      return 0xF0;
    case '+':
      return 0xF1;
    case '-':
      return 0xF2;
    case '*':
      return 0xF3;
    case '/':
      return 0xF4;
    case '^':
      return 0xF5;
    case '\\':
      return 0xFC;
    default:
      return 0;
  }
}

void PutInteger(std::string& out, unsigned v) {
  if (v <= 9) {
    out.push_back(static_cast<char>(0x11 + v));
  } else if (v <= 255) {
    out.push_back(0x0F);
    out.push_back(static_cast<char>(v));
  } else {
    out.push_back(0x1C);
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
  }
}

void PutWord(std::string& out, std::uint8_t token, unsigned v) {
  out.push_back(static_cast<char>(token));
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// Tokenises the text of one line after its line number.
class LineCruncher {
 public:
  explicit LineCruncher(std::string_view text) : t_(text) {}

  // False on an error (errorColumn, 0-based, and error set).
  bool Run() {
    bool lineNumbers = false;
    while (p_ < t_.size()) {
      const std::size_t start = p_;
      const std::uint8_t c = At(p_);
      bool keepLineNumbers = false;
      if (c == '"') {
        CopyString();
      } else if (c == '\'') {
        Keyword(start, 1);
        out_.append(
            {static_cast<char>(kColon), static_cast<char>(kRem), static_cast<char>(kApostrophe)});
        ++p_;
        CopyRest();
      } else if (c == '_') {  // CALL's short form
        out_.push_back('_');
        ++p_;
        CopyData();
      } else if (c == '?') {
        ++p_;
        Keyword(start, 1);
        out_.push_back(static_cast<char>(kPrint));
      } else if (IsLetter(c)) {
        keepLineNumbers = Word();
      } else if (IsDigit(c) && lineNumbers) {
        if (!LineNumber()) return false;
        keepLineNumbers = true;
      } else if (IsDigit(c) || (c == '.' && p_ + 1 < t_.size() && IsDigit(At(p_ + 1)))) {
        if (!Number()) return false;
      } else if (c == '&' && p_ + 1 < t_.size()) {
        if (!Ampersand()) return false;
      } else if (const std::uint8_t op = OperatorToken(c)) {
        ++p_;
        Keyword(start, 1);
        out_.push_back(static_cast<char>(op));
      } else {
        // Spaces and commas keep a list of line numbers going (ON X GOTO 10, 20).
        keepLineNumbers = lineNumbers && (c == ' ' || c == ',');
        out_.push_back(static_cast<char>(c));
        ++p_;
      }
      lineNumbers = keepLineNumbers;
      if (out_.size() > kMaxBody) return Fail(start, kTextLineTooLong);
    }
    return true;
  }

  const std::string& out() const { return out_; }
  const std::vector<std::pair<std::size_t, std::size_t>>& keywords() const { return keywords_; }
  std::size_t errorColumn() const { return errorColumn_; }
  std::string_view error() const { return error_; }

 private:
  std::uint8_t At(std::size_t i) const { return static_cast<std::uint8_t>(t_[i]); }

  bool Fail(std::size_t at, std::string_view message) {
    errorColumn_ = at;
    error_ = message;
    return false;
  }

  void Keyword(std::size_t start, std::size_t length) { keywords_.emplace_back(start, length); }

  // A string literal, as typed, to its closing quotation mark or the line's end.
  void CopyString() {
    out_.push_back(t_[p_++]);
    while (p_ < t_.size()) {
      const char c = t_[p_++];
      out_.push_back(c);
      if (c == '"') break;
    }
  }

  void CopyRest() {
    out_.append(t_.substr(p_));
    p_ = t_.size();
  }

  // DATA items (and a CALL's text) as typed, up to a colon outside quotation marks.
  void CopyData() {
    bool quoted = false;
    while (p_ < t_.size()) {
      const char c = t_[p_];
      if (c == ':' && !quoted) break;
      if (c == '"') quoted = !quoted;
      out_.push_back(c);
      ++p_;
    }
  }

  // A keyword, or a letter of a name with the digits and points right after it (A1, A.5 are
  // names). True when line numbers follow.
  bool Word() {
    const std::size_t start = p_;
    const KeywordMatch m = MatchKeyword(t_.substr(p_));
    if (m.length == 0) {
      out_.push_back(static_cast<char>(Upper(At(p_++))));
      while (p_ < t_.size() && (IsDigit(At(p_)) || At(p_) == '.')) out_.push_back(t_[p_++]);
      return false;
    }
    p_ += m.length;
    Keyword(start, m.length);
    if (m.function) {
      out_.push_back(static_cast<char>(0xFF));
      out_.push_back(static_cast<char>(m.token));
      return false;
    }
    switch (m.token) {
      case kRem:
        out_.push_back(static_cast<char>(kRem));
        CopyRest();
        return false;
      case kData:
      case kCall:  // the statement's name and arguments are the extension's to read
        out_.push_back(static_cast<char>(m.token));
        CopyData();
        return false;
      case kElse:
        out_.push_back(static_cast<char>(kColon));
        out_.push_back(static_cast<char>(kElse));
        return true;
      default:
        out_.push_back(static_cast<char>(m.token));
        return TakesLineNumbers(m.token);
    }
  }

  bool LineNumber() {
    const std::size_t start = p_;
    unsigned long v = 0;
    while (p_ < t_.size() && IsDigit(At(p_))) {
      if (v <= 0xFFFF) v = v * 10 + (At(p_) - '0');
      ++p_;
    }
    // Too large, or written as a constant (a point, an exponent, a type mark): an ordinary
    // constant.
    bool constant = v > 0xFFFF;
    if (p_ < t_.size()) {
      const std::uint8_t c = Upper(At(p_));
      std::size_t q = p_ + 1;
      if (q < t_.size() && (t_[q] == '+' || t_[q] == '-')) ++q;
      constant = constant || c == '.' || c == '!' || c == '#' ||
                 ((c == 'E' || c == 'D') && q < t_.size() && IsDigit(At(q)));
    }
    if (constant) {
      p_ = start;
      return Number();
    }
    PutWord(out_, 0x0E, static_cast<unsigned>(v));
    return true;
  }

  // &H and &O become 0x0C and 0x0B with their value; &B stays text.
  bool Ampersand() {
    const std::size_t start = p_;
    const std::uint8_t kind = Upper(At(p_ + 1));
    if (kind == 'B') {
      out_.append("&B");
      p_ += 2;
      while (p_ < t_.size() && (At(p_) == '0' || At(p_) == '1')) out_.push_back(t_[p_++]);
      return true;
    }
    const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
    std::size_t q = p_ + 2;
    unsigned long v = 0;
    bool any = false;
    while (base != 0 && q < t_.size()) {
      const int d = HexValue(At(q));
      if (d < 0 || d >= base) break;
      v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
      if (v > 0xFFFF) return Fail(start, kTextOverflow);
      any = true;
      ++q;
    }
    if (!any) {  // a lone "&": a character
      out_.push_back('&');
      ++p_;
      return true;
    }
    PutWord(out_, base == 16 ? 0x0C : 0x0B, static_cast<unsigned>(v));
    p_ = q;
    return true;
  }

  // A decimal constant in its shortest form.
  bool Number() {
    const std::size_t start = p_;
    std::string digits;
    while (p_ < t_.size() && IsDigit(At(p_))) digits.push_back(t_[p_++]);
    const int intLength = static_cast<int>(digits.size());
    bool point = false;
    bool exponent = false;
    char kind = 0;  // '!' single, '#' double, 0 by its digits
    if (p_ < t_.size() && t_[p_] == '.') {
      point = true;
      ++p_;
      while (p_ < t_.size() && IsDigit(At(p_))) digits.push_back(t_[p_++]);
    }
    long exp10 = 0;
    if (p_ < t_.size()) {
      const std::uint8_t e = Upper(At(p_));
      std::size_t q = p_ + 1;
      bool negative = false;
      if (q < t_.size() && (t_[q] == '+' || t_[q] == '-')) negative = t_[q++] == '-';
      if ((e == 'E' || e == 'D') && q < t_.size() && IsDigit(At(q))) {
        exponent = true;
        if (e == 'D') kind = '#';
        while (q < t_.size() && IsDigit(At(q))) {
          if (exp10 < 100000) exp10 = exp10 * 10 + (At(q) - '0');
          ++q;
        }
        if (negative) exp10 = -exp10;
        p_ = q;
      }
    }
    if (p_ < t_.size() && (t_[p_] == '!' || t_[p_] == '#')) kind = t_[p_++];

    std::size_t zeros = 0;
    while (zeros < digits.size() && digits[zeros] == '0') ++zeros;
    std::string significant = digits.substr(zeros);

    if (!point && !exponent && kind == 0 && significant.size() <= 5) {
      unsigned v = 0;
      for (char d : significant) v = v * 10 + static_cast<unsigned>(d - '0');
      if (v <= 32767) {
        PutInteger(out_, v);
        return true;
      }
    }
    const bool isDouble = kind == '#' || (kind == 0 && significant.size() > 6);
    const std::size_t width = isDouble ? 14 : 6;
    long x = intLength - static_cast<long>(zeros) + exp10;  // value = 0.significant * 10^x
    if (significant.size() > width) {
      const bool up = significant[width] >= '5';
      significant.resize(width);
      if (up) {
        std::size_t i = width;
        while (i > 0 && significant[i - 1] == '9') significant[--i] = '0';
        if (i == 0) {
          significant.insert(significant.begin(), '1');
          significant.pop_back();
          ++x;
        } else {
          ++significant[i - 1];
        }
      }
    }
    while (!significant.empty() && significant.back() == '0') significant.pop_back();
    if (!significant.empty() && x > 63) return Fail(start, kTextOverflow);
    if (x < -63) significant.clear();  // too small: zero

    out_.push_back(static_cast<char>(isDouble ? 0x1F : 0x1D));
    out_.push_back(significant.empty() ? 0 : static_cast<char>(0x40 + x));
    significant.resize(width, '0');
    for (std::size_t i = 0; i < width; i += 2) {
      out_.push_back(static_cast<char>(((significant[i] - '0') << 4) | (significant[i + 1] - '0')));
    }
    return true;
  }

  std::string_view t_;
  std::size_t p_ = 0;
  std::string out_;
  std::vector<std::pair<std::size_t, std::size_t>> keywords_;  // start, length
  std::size_t errorColumn_ = 0;
  std::string_view error_;
};

// One line of the text: [begin, end) of the bytes before its line end.
struct TextLine {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The lines of a text: ends at CR LF, LF or CR; 0x1A ends the text.
std::vector<TextLine> SplitLines(Bytes text) {
  std::vector<TextLine> lines;
  std::size_t end = 0;
  while (end < text.size() && text[end] != 0x1A) ++end;
  std::size_t pos = 0;
  while (pos < end) {
    std::size_t e = pos;
    while (e < end && text[e] != '\r' && text[e] != '\n') ++e;
    lines.push_back({pos, e});
    pos = e;
    if (pos < end && text[pos] == '\r') ++pos;
    if (pos < end && text[pos] == '\n') ++pos;
  }
  return lines;
}

// The line number at the start of a line: its digits' [first, last), after blanks.
struct NumberedLine {
  std::size_t numberStart = 0;
  std::size_t bodyStart = 0;  // after the one space that may follow the number
  unsigned long number = 0;
  bool hasNumber = false;
  bool blank = false;
};

NumberedLine ReadLineNumber(std::string_view line) {
  NumberedLine n;
  std::size_t p = 0;
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
  n.numberStart = p;
  n.blank = p == line.size();
  while (p < line.size() && IsDigit(static_cast<std::uint8_t>(line[p]))) {
    n.hasNumber = true;
    if (n.number <= 0xFFFFF) n.number = n.number * 10 + static_cast<unsigned>(line[p] - '0');
    ++p;
  }
  if (p < line.size() && line[p] == ' ') ++p;  // one space parts number and text
  n.bodyStart = p;
  return n;
}

std::string_view View(Bytes text, TextLine l) {
  return {reinterpret_cast<const char*>(text.data()) + l.begin, l.end - l.begin};
}

}  // namespace

std::optional<std::string> TokenizeLineBody(std::string_view body, BasicTextError* error) {
  LineCruncher c(body);
  if (!c.Run()) {
    if (error) *error = {0, c.errorColumn() + 1, c.error()};
    return std::nullopt;
  }
  return c.out();
}

TokenizedBasic TokenizeBasic(Bytes text) {
  TokenizedBasic result;
  struct StoredLine {
    std::string body;
    std::size_t textLine = 0;  // where it was typed, for an error
  };
  std::map<unsigned, StoredLine> program;
  const std::vector<TextLine> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = View(text, lines[i]);
    const NumberedLine n = ReadLineNumber(line);
    if (n.blank) continue;
    if (!n.hasNumber) {
      result.error = BasicTextError{i + 1, n.numberStart + 1, kTextLineWithoutNumber};
      return result;
    }
    if (n.number > kMaxLineNumber) {
      result.error = BasicTextError{i + 1, n.numberStart + 1, kTextLineNumberTooLarge};
      return result;
    }
    const auto number = static_cast<unsigned>(n.number);
    if (n.bodyStart == line.size()) {  // a line number alone deletes the line
      program.erase(number);
      continue;
    }
    // A zero byte would end the stored line early: it is left out.
    std::string typed(line.substr(n.bodyStart));
    std::erase(typed, '\0');
    BasicTextError e;
    auto body = TokenizeLineBody(typed, &e);
    if (!body) {
      result.error = BasicTextError{i + 1, n.bodyStart + e.column, e.message};
      return result;
    }
    program[number] = {std::move(*body), i + 1};
  }

  std::vector<std::uint8_t>& out = result.program;
  out.push_back(0xFF);
  for (const auto& [number, line] : program) {
    const std::string& body = line.body;
    const std::size_t next = out.size() + 4 + body.size() + 1;  // file offset of the next line
    const std::size_t link = kLoadAddress - 1 + next;
    if (link > 0xFFFF) {  // the program would not fit the memory it is linked for
      out.clear();
      result.error = BasicTextError{line.textLine, 1, kTextProgramTooLarge};
      return result;
    }
    out.push_back(static_cast<std::uint8_t>(link & 0xFF));
    out.push_back(static_cast<std::uint8_t>((link >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(number & 0xFF));
    out.push_back(static_cast<std::uint8_t>(number >> 8));
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(0);
  }
  out.push_back(0);
  out.push_back(0);
  return result;
}

BasicListing ListBasicText(Bytes text, const MsxCharset& charset) {
  BasicListing listing;
  auto plain = [&](std::string_view bytes) {
    if (bytes.empty()) return;
    if (listing.runs.empty() || listing.runs.back().kind != BasicRun::Kind::Plain) {
      listing.runs.push_back({BasicRun::Kind::Plain, {}});
    }
    for (char c : bytes) charset.AppendUtf8(listing.runs.back().text, static_cast<std::uint8_t>(c));
  };
  for (const TextLine& l : SplitLines(text)) {
    const std::string_view line = View(text, l);
    const NumberedLine n = ReadLineNumber(line);
    if (n.hasNumber) {
      plain(line.substr(0, n.bodyStart));
      const std::string_view body = line.substr(n.bodyStart);
      LineCruncher c(body);
      c.Run();  // a faulty constant ends the marking there; the text is shown whole
      std::size_t at = 0;
      for (const auto& [start, length] : c.keywords()) {
        plain(body.substr(at, start - at));
        BasicRun run{BasicRun::Kind::Keyword, {}};
        for (char ch : body.substr(start, length)) {
          charset.AppendUtf8(run.text, Upper(static_cast<std::uint8_t>(ch)));
        }
        listing.runs.push_back(std::move(run));
        at = start + length;
      }
      plain(body.substr(at));
    } else {
      plain(line);
    }
    listing.runs.push_back({BasicRun::Kind::LineEnd, {}});
    ++listing.lines;
  }
  return listing;
}

bool LooksLikeBasicText(Bytes file) {
  for (const TextLine& l : SplitLines(file)) {
    const NumberedLine n = ReadLineNumber(View(file, l));
    if (!n.blank) return n.hasNumber;
  }
  return false;
}

}  // namespace quarnel::viewers
