#include "viewers/basic_lister.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/real_data.h"
#include "support/test_env.h"
#include "viewers/basic_tokens.h"
#include "viewers/messages.h"

namespace quarnel::viewers {
namespace {

using Kind = BasicRun::Kind;
using Data = std::vector<std::uint8_t>;

// A program from lines of token bytes: links are filled in as MSX-BASIC stores them.
Data Program(const std::vector<std::pair<std::uint16_t, Data>>& lines) {
  Data d{0xFF};
  for (const auto& [number, tokens] : lines) {
    const std::size_t at = d.size();
    d.insert(d.end(), {0, 0, static_cast<std::uint8_t>(number & 0xFF),
                       static_cast<std::uint8_t>(number >> 8)});
    d.insert(d.end(), tokens.begin(), tokens.end());
    d.push_back(0);
    const std::size_t link = d.size() + 0x8000;
    d[at] = link & 0xFF;
    d[at + 1] = static_cast<std::uint8_t>(link >> 8);
  }
  d.insert(d.end(), {0, 0});
  return d;
}

std::string Text(const Data& d) { return BasicListingText(ListBasic(d)); }

TEST(BasicLister, OneLinePrintProgramGivesNumberKeywordAndLiteral) {
  const Data d = Program({{10, {0x91, 0x20, 0x22, 0x48, 0x49, 0x22}}});
  const BasicListing l = ListBasic(d);
  ASSERT_TRUE(l.isBasic);
  const std::vector<BasicRun> expected = {
      {Kind::Plain, "   10  "},
      {Kind::Keyword, "PRINT"},
      {Kind::Plain, " \"HI\""},
      {Kind::LineEnd, ""},
  };
  EXPECT_EQ(l.runs, expected);
  EXPECT_EQ(l.lines, 1);
  EXPECT_EQ(l.errors, 0);
}

TEST(BasicLister, NumberOperandsAreWrittenInTheirNotations) {
  EXPECT_EQ(Text(Program({{65535, {0x3A}}})), "65535  :\n");
  EXPECT_EQ(Text(Program({{1, {0x0B, 15, 0, 0x2C, 0x0B, 7, 0}}})),
            "    1  &O00000000017,&O00000000007\n");
  EXPECT_EQ(Text(Program({{1, {0x0C, 0xFF, 0x00}}})), "    1  &HFF\n");
  EXPECT_EQ(Text(Program({{1, {0x0F, 0x64, 0x20, 0x1C, 0x10, 0x27, 0x20, 0x11, 0x1A}}})),
            "    1  100 10000 09\n");
  EXPECT_EQ(Text(Program({{1, {0x0E, 0xE8, 0x03, 0x20, 0x0D, 0x34, 0x82}}})),
            "    1  1000 Begin#8234End\n");
  // Bytes that are no token: ".".
  EXPECT_EQ(Text(Program({{1, {0x01, 0x0A, 0x10, 0x1B, 0x1E}}})), "    1  .....\n");
  // A zero inside an operand does not end the line.
  EXPECT_EQ(Text(Program({{1, {0x0C, 0x00, 0x01, 0x41}}})), "    1  &H100A\n");
}

TEST(BasicLister, BcdFloatsShowDigitsPointAndExponent) {
  const Data single = {0x41, 0x31, 0x41, 0x59};
  EXPECT_EQ(BcdFloatText(single), "3.14159 E 0");
  const Data dbl = {0x42, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34};
  EXPECT_EQ(BcdFloatText(dbl), "1.2345678901234 E 1");
  EXPECT_EQ(BcdFloatText(Data{0, 0, 0, 0}), "0.00000");
  // The sign bit is dropped: 0xC1 lists like 0x41.
  EXPECT_EQ(BcdFloatText(Data{0xC1, 0x31, 0x41, 0x59}), "3.14159 E 0");
  EXPECT_EQ(Text(Program({{5, {0x1D, 0x41, 0x31, 0x41, 0x59}}})), "    5  3.14159 E 0\n");
  EXPECT_EQ(Text(Program({{5, {0x1F, 0x42, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}}})),
            "    5  1.2345678901234 E 1\n");
}

TEST(BasicLister, KeywordTablesAsPrinted) {
  EXPECT_EQ(KeywordText(0x81), "END");
  EXPECT_EQ(KeywordText(0x83), "Next");
  EXPECT_EQ(KeywordText(0x8F), "REM");
  EXPECT_EQ(KeywordText(0xA1), "ELSE");
  EXPECT_EQ(KeywordText(0xD1), "DskO$");
  EXPECT_EQ(KeywordText(0xDB), "TAB");
  EXPECT_EQ(KeywordText(0xDF), "SPC(");
  EXPECT_EQ(KeywordText(0xE3), "String$");
  EXPECT_EQ(KeywordText(0xE6), "");
  EXPECT_EQ(KeywordText(0xEA), "DskI$");
  EXPECT_EQ(KeywordText(0xFC), "$");
  EXPECT_EQ(KeywordText(0xFD), "");
  EXPECT_EQ(KeywordText(0xFE), "");
  EXPECT_EQ(FunctionText(0x81), "LEFT$");
  EXPECT_EQ(FunctionText(0x90), "NINP");
  EXPECT_EQ(FunctionText(0xA0), "RCDBL");
  EXPECT_EQ(FunctionText(0xB0), "MKD$");
  EXPECT_EQ(FunctionText(0xB1), "");
  EXPECT_EQ(FunctionText(0xB6), "");
  EXPECT_FALSE(IsFunctionToken(0xB7));
  // Every one-byte token from 0x81 to 0xFC has a text except 0xE6.
  for (int t = 0x81; t <= 0xFC; ++t) EXPECT_EQ(KeywordText(t).empty(), t == 0xE6) << t;
  for (int t = 0x81; t <= 0xB0; ++t) EXPECT_FALSE(FunctionText(t).empty()) << t;
}

TEST(BasicLister, KeywordsInsideCommentsAndColonBeforeElseAreDecodedByTheTable) {
  // REM text is decoded like everything else; ":" before ELSE is written.
  EXPECT_EQ(Text(Program({{1, {0x8F, 0x20, 0x91, 0x3A, 0xA1, 0xFF, 0x84, 0xE6, 0x80}}})),
            "    1  REM PRINT:ELSESGN\xC3\x87\n");
}

TEST(BasicLister, StringLiteralsUseTheMsxCharacterSetAndEndAtTheZeroByte) {
  // 0x80-0xFF inside a literal are characters, not keywords; control codes are visible.
  EXPECT_EQ(Text(Program({{1, {0x22, 0x81, 0xA4, 0xE0, 0x01, 0x41, 0x22, 0x91}}})),
            "    1  \"\xC3\xBC\xC3\xB1\xCE\xB1\xE2\x90\x81"
            "A\"PRINT\n");
  // Unterminated literal: ends at the zero byte, the next line lists normally.
  EXPECT_EQ(Text(Program({{1, {0x22, 0x41, 0x42}}, {2, {0x81}}})), "    1  \"AB\n    2  END\n");
}

TEST(BasicLister, FunctionPrefixWithAByteOutsideTheTableEndsTheLine) {
  EXPECT_EQ(Text(Program({{1, {0xFF, 0xB7, 0x91}}, {2, {0x81}}})), "    1  \n    2  END\n");
  EXPECT_EQ(Text(Program({{1, {0xFF, 0xB3, 0x41}}})), "    1  A\n");
}

TEST(BasicLister, EmptyAndNonBasicFiles) {
  EXPECT_TRUE(ListBasic(Data{0xFF, 0x00, 0x00}).runs.empty());
  EXPECT_TRUE(ListBasic(Data{0xFF, 0x00, 0x00}).isBasic);
  EXPECT_FALSE(ListBasic(Data{0xFE, 0x01, 0x80}).isBasic);
  EXPECT_TRUE(ListBasic(Data{}).runs.empty());
  EXPECT_TRUE(ListBasic(Data{0xFF}).runs.empty());
}

TEST(BasicLister, LinkPastTheEndShowsErrorAndTheLineStaysInsideTheData) {
  // One line whose link points far beyond the file and whose tokens run to the end.
  const Data d = {0xFF, 0x00, 0xF0, 0x0A, 0x00, 0x91, 0x20, 0x41};
  const BasicListing l = ListBasic(d);
  ASSERT_GE(l.runs.size(), 2u);
  EXPECT_EQ(l.runs[0].kind, Kind::Error);
  EXPECT_EQ(l.runs[0].text, kBasicLinkError);
  EXPECT_EQ(l.errors, 1);
  EXPECT_EQ(BasicListingText(l), "   10  PRINT A\n");
}

TEST(BasicLister, ErrorForEachBadLinkAndListingGoesOn) {
  Data d = Program({{10, {0x81}}, {20, {0x81}}});
  // Second line's link points beyond the end: ERROR, the line is still listed, then the end.
  d[7] = 0x00;
  d[8] = 0xF0;
  const BasicListing l = ListBasic(d);
  EXPECT_EQ(l.errors, 1);
  EXPECT_EQ(BasicListingText(l), "   10  END\n   20  END\n");
}

TEST(BasicLister, BackwardAndSelfLinksEndTheListingWithAnError) {
  Data self = Program({{10, {0x81}}});
  self[1] = 0x01;  // link 0x8001: the line itself
  self[2] = 0x80;
  BasicListing l = ListBasic(self);
  EXPECT_EQ(BasicListingText(l), "   10  \n");  // no token may be read: next - tokens < 0
  EXPECT_EQ(l.errors, 1);

  Data back = Program({{10, {0x81}}, {20, {0x82}}});
  back[7] = 0x01;  // second line links back to the first
  back[8] = 0x80;
  l = ListBasic(back);
  EXPECT_EQ(BasicListingText(l), "   10  END\n   20  \n");
  EXPECT_EQ(l.errors, 1);
}

TEST(BasicLister, TokenCountIsBoundedByTheLinkDistance) {
  // Link says the line holds 2 bytes of tokens, but no zero byte follows: only 2 tokens.
  const Data d = {0xFF, 0x07, 0x80, 0x01, 0x00, 0x41, 0x42, 0x00, 0x00};
  EXPECT_EQ(Text(d), "    1  AB\n");
}

TEST(BasicLister, TruncatedOperandsAndPrefixAtTheLastByteStopTheLine) {
  for (std::uint8_t t : {0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x1C, 0x1D, 0x1F, 0xFF, 0x22}) {
    const Data d = {0xFF, 0x00, 0xF0, 0x01, 0x00, 0x41, t};
    const BasicListing l = ListBasic(d);
    EXPECT_EQ(BasicListingText(l).substr(0, 8), "    1  A") << int(t);
    EXPECT_EQ(l.lines, 1);
  }
  // Data that ends inside the link or the line number: nothing to list.
  EXPECT_EQ(Text(Data{0xFF, 0x10}), "");
  EXPECT_EQ(Text(Data{0xFF, 0x10, 0x80, 0x01}), "");
}

TEST(BasicLister, AnsiTextWrapsKeywords) {
  const std::string s = BasicListingText(ListBasic(Program({{1, {0x81}}})), true);
  EXPECT_EQ(s, "    1  \x1b[1;34mEND\x1b[0m\n");
}

// Damage is told apart from sound programs, and the listing up to the fault stays as it was.
TEST(BasicLister, DamagedProgramsSayWhyAndStillList) {
  struct Case {
    const char* what;
    Data data;
    BasicDamage damage;
    std::optional<unsigned> line;
    std::string listing;
  };
  const Data two = Program({{10, {0x81}}, {20, {0x81}}});
  auto with = [](Data d, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), d.begin() + static_cast<std::ptrdiff_t>(at));
    return d;
  };
  auto cut = [](Data d, std::size_t n) {
    d.resize(d.size() - n);
    return d;
  };
  Data padded = two;  // as saved to a disk sector
  padded.push_back(0x1A);
  padded.resize(256, 0x00);
  const std::string both = "   10  END\n   20  END\n";
  const Case cases[] = {
      {"padding after the end link", padded, BasicDamage::None, std::nullopt, both},
      {"link back to the first line", with(two, 7, {0x01, 0x80}), BasicDamage::LinkBackwards, 20u,
       "   10  END\n   20  \n"},
      {"link to 8000", with(two, 1, {0x00, 0x80}), BasicDamage::LinkBackwards, 10u, ""},
      {"link past the end", with(two, 7, {0x00, 0xF0}), BasicDamage::LinkPastEnd, 20u, both},
      {"operand cut by the end",
       {0xFF, 0x07, 0x80, 0x01, 0x00, 0x41, 0x0C},
       BasicDamage::LineCut,
       1u,
       "    1  A\n"},
      {"line number cut by the end",
       {0xFF, 0x03, 0x80, 0x01},
       BasicDamage::LineCut,
       std::nullopt,
       ""},
      {"no end link", cut(two, 2), BasicDamage::NoEndLink, std::nullopt, both},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BasicListing l = ListBasic(c.data);
    EXPECT_EQ(l.damage, c.damage);
    EXPECT_EQ(l.damageLine, c.line);
    EXPECT_EQ(BasicListingText(l), c.listing);
  }
}

TEST(RealBasicPrograms, AreNotDamaged) {
  QUARNEL_NEEDS_REAL_DATA("bas");
  int programs = 0;
  const auto dir = test::RealDataDir("bas");
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const auto bytes = test::ReadHostFile(e.path());
    if (bytes.empty() || bytes[0] != 0xFF) continue;
    EXPECT_FALSE(ListBasic(bytes).Damaged()) << e.path().filename();
    ++programs;
  }
  EXPECT_EQ(programs, 21);
}

}  // namespace
}  // namespace quarnel::viewers
