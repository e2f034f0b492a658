// Real tokenised programs against the ASCII listings their authors keep beside them. The lister
// writes some things differently from MSX-BASIC's own LIST; those known differences are undone
// here, in the comparison, and nowhere else:
//   keyword texts "Next", "String$", "DskO$", "DskI$", "TAB", "$" (LIST: NEXT, STRING$, DSKO$,
//   DSKI$, TAB(, \); the ":" stored before ELSE; the apostrophe comment stored as ":REM" + 0xE6;
//   "Begin#..End" line addresses (LIST shows the line number); BCD exponent notation; raw bytes
//   that the listing decodes by the token table (comments) or the MSX character set (strings).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/real_data.h"
#include "support/test_env.h"
#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"
#include "viewers/basic_tokens.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {
namespace {

using Lines = std::map<unsigned, std::string>;

// Canonical form of a decimal number: significant digits and the power of ten of the first one.
std::string Canon(std::string intPart, std::string fracPart, int exp10) {
  std::string digits = intPart + fracPart;
  int lead = static_cast<int>(intPart.size()) - 1 + exp10;
  std::size_t z = 0;
  while (z < digits.size() && digits[z] == '0') ++z;
  lead -= static_cast<int>(z);
  digits.erase(0, z);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return "{0}";
  return "{" + digits + "@" + std::to_string(lead) + "}";
}

std::string ReplaceAll(std::string s, const std::regex& re,
                       const std::function<std::string(const std::smatch&)>& f) {
  std::string out;
  auto it = std::sregex_iterator(s.begin(), s.end(), re);
  std::size_t last = 0;
  for (; it != std::sregex_iterator(); ++it) {
    out.append(s, last, it->position() - last);
    out += f(*it);
    last = it->position() + it->length();
  }
  out.append(s, last, std::string::npos);
  return out;
}

// Floats written in source form (1.5, .5, 12!, 3#) in canonical form; applied to both sides.
std::string CanonFloats(const std::string& s) {
  static const std::regex re(R"((\d*)\.(\d+)(?:[ED]([+-]?\d+))?([!#]?)|(\d+)\.?([!#]))");
  static const std::regex octal(R"(&O0*(\d))");
  return ReplaceAll(ReplaceAll(s, re,
                               [](const std::smatch& m) {
                                 if (m[2].matched) {
                                   return Canon(m[1].str(), m[2].str(),
                                                m[3].matched ? std::stoi(m[3].str()) : 0);
                                 }
                                 return Canon(m[5].str(), "", 0);
                               }),
                    octal, [](const std::smatch& m) { return "&O" + m[1].str(); });
}

std::string RStrip(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  return s;
}

// The keyword as MSX-BASIC's LIST writes it.
std::string AsList(std::string_view keyword) {
  static const std::map<std::string_view, std::string_view> kAsList = {
      {"Next", "NEXT"},   {"String$", "STRING$"}, {"DskO$", "DSKO$"},
      {"DskI$", "DSKI$"}, {"TAB", "TAB("},        {"$", "\\"}};
  auto it = kAsList.find(keyword);
  return std::string(it == kAsList.end() ? keyword : it->second);
}

Lines ListingLines(const std::vector<std::uint8_t>& file) {
  const BasicListing l = ListBasic(file);
  std::vector<std::string> raw(1);
  for (std::size_t i = 0; i < l.runs.size(); ++i) {
    const BasicRun& r = l.runs[i];
    if (r.kind == BasicRun::Kind::LineEnd) {
      raw.emplace_back();
    } else if (r.kind == BasicRun::Kind::Keyword) {
      if (r.text == "ELSE" && !raw.back().empty() && raw.back().back() == ':')
        raw.back().pop_back();
      raw.back() += AsList(r.text);
    } else if (r.kind == BasicRun::Kind::Plain) {
      raw.back() += r.text;
    }
  }
  static const std::regex begin(R"(Begin#([0-9A-F]+)End)");
  static const std::regex bcd(R"((\d)\.(\d+) E (-?\d+))");
  Lines out;
  for (std::string& line : raw) {
    if (line.empty()) continue;
    const unsigned number = static_cast<unsigned>(std::stoul(line.substr(0, 5)));
    std::string body = line.substr(7);
    body = ReplaceAll(body, begin, [&](const std::smatch& m) {
      const std::size_t off = std::stoul(m[1].str(), nullptr, 16) - 0x8000 + 3;
      return std::to_string(file.at(off) | (file.at(off + 1) << 8));
    });
    body = ReplaceAll(body, bcd, [](const std::smatch& m) {
      return Canon(m[1].str(), m[2].str(), std::stoi(m[3].str()));
    });
    out[number] = RStrip(CanonFloats(body));
  }
  return out;
}

// What the listing shows for a byte that the ASCII listing keeps raw.
void AppendShown(std::string& out, std::uint8_t b, bool inString) {
  if (inString) {
    MsxCharset::International().AppendUtf8(out, b);
  } else if (b < 0x20) {
    out += '.';
  } else if (b >= 0x81 && b <= 0xFE) {
    out += AsList(KeywordText(b));
  } else {
    MsxCharset::International().AppendUtf8(out, b);
  }
}

Lines SourceLines(const std::vector<std::uint8_t>& bytes) {
  Lines out;
  std::string line;
  auto finish = [&] {
    static const std::regex numbered(R"(^\s*(\d+) ?(.*)$)");
    std::smatch m;
    if (std::regex_match(line, m, numbered)) {
      const std::string body = m[2].str();
      std::string shown;
      bool inString = false;
      for (std::size_t i = 0; i < body.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(body[i]);
        if (b == '"') inString = !inString;
        if (!inString && b == '\'') {
          shown += ":REM";
        } else if (b == '\r') {
          continue;
        } else {
          AppendShown(shown, b, inString && b != '"');
        }
      }
      out[static_cast<unsigned>(std::stoul(m[1].str()))] = RStrip(CanonFloats(shown));
    }
    line.clear();
  };
  for (std::uint8_t b : bytes) {
    if (b == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      finish();
    } else {
      line.push_back(static_cast<char>(b));
    }
  }
  finish();
  return out;
}

struct Pair {
  std::string tokenised;
  std::string listing;
  std::set<unsigned> editedUpstream;  // lines changed in the source after the program was saved
};

void Compare(const Pair& p) {
  const auto dir = test::RealDataDir("bas");
  const auto tok = test::ReadHostFile(dir / p.tokenised);
  const auto src = test::ReadHostFile(dir / p.listing);
  ASSERT_FALSE(tok.empty()) << p.tokenised;
  const BasicListing l = ListBasic(tok);
  EXPECT_EQ(l.errors, 0) << p.tokenised;
  const Lines a = ListingLines(tok);
  const Lines b = SourceLines(src);
  std::vector<unsigned> na, nb;
  for (const auto& [n, s] : a) na.push_back(n);
  for (const auto& [n, s] : b) nb.push_back(n);
  EXPECT_EQ(na, nb) << p.tokenised << ": line numbers";
  for (const auto& [n, s] : a) {
    auto it = b.find(n);
    if (it == b.end()) continue;
    if (p.editedUpstream.count(n)) {
      EXPECT_NE(s, it->second) << p.tokenised << " line " << n
                               << " now matches: drop it from the list";
      continue;
    }
    EXPECT_EQ(s, it->second) << p.tokenised << " line " << n;
  }
}

const std::string kPlatty = "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__";

Pair Platty(const std::string& upper, std::set<unsigned> edited = {}) {
  std::string lower = upper;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return {kPlatty + "output__examples.dsk__" + upper + ".BAS", kPlatty + "src__" + lower + ".bas",
          std::move(edited)};
}

TEST(RealBasicPrograms, ExamplesDiskProgramsMatchTheirSources) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  Compare(Platty("ANIMTILE"));
  Compare(Platty("COLISION", {250}));  // source adds "SC=4:"
  Compare(Platty("DDUNGEON"));
  Compare(Platty("FONT"));
  Compare(Platty("PLAY"));
  Compare(Platty("SCROLL_T"));
  Compare(Platty("SOUND"));
  // The saved program has 4 enemies and T=120; the source was edited to 3 and 90 afterwards.
  Compare(Platty("SSHOOTER", {200, 210, 600, 630, 740, 810}));
  Compare(Platty("S_SPRITE"));
  Compare(Platty("TDUNGEON"));
}

TEST(RealBasicPrograms, IntermediateCodeSamplerMatchesItsListing) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  Compare({"mr-GreyWolf_MSX-BASIC-Intermediate-code__code.bas",
           "mr-GreyWolf_MSX-BASIC-Intermediate-code__code_a.bas",
           {}});
}

TEST(RealBasicPrograms, ProgramsWithoutListingsListWithoutErrors) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  for (const auto& e : std::filesystem::directory_iterator(test::RealDataDir("bas"))) {
    const auto bytes = test::ReadHostFile(e.path());
    if (bytes.empty() || bytes[0] != 0xFF) continue;
    const BasicListing l = ListBasic(bytes);
    EXPECT_EQ(l.errors, 0) << e.path().filename();
    EXPECT_GT(l.lines, 0) << e.path().filename();
  }
}

// With MSX-BASIC's own keywords the listing is the text export, line for line.
TEST(RealBasicPrograms, MsxKeywordsListAsTheTextExport) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  const MsxCharset& cs = MsxCharset::International();
  for (const auto& e : std::filesystem::directory_iterator(test::RealDataDir("bas"))) {
    const auto bytes = test::ReadHostFile(e.path());
    if (bytes.empty() || bytes[0] != 0xFF) continue;
    const auto exported = ExportBasicText(bytes);
    ASSERT_TRUE(exported) << e.path().filename();
    std::string expected;  // the export's lines, CR LF as LF, without the final 0x1A
    for (std::size_t at = 0, end; (end = exported->find("\r\n", at)) != std::string::npos;
         at = end + 2)
      expected += cs.ToUtf8(std::string_view(*exported).substr(at, end - at)) + "\n";
    EXPECT_EQ(BasicListingText(ListBasicAsMsx(bytes, cs)), expected) << e.path().filename();
  }
}

}  // namespace
}  // namespace quarnel::viewers
