// Program text to tokens and back: the bytes MSX-BASIC stores for each rule of its tokeniser,
// the errors with their line and column, LIST's way of writing numbers, the listing of a
// program saved as text, and the character sets.
#include "viewers/basic_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"
#include "viewers/hex_layout.h"
#include "viewers/messages.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {
namespace {

using Buf = std::vector<std::uint8_t>;

Buf B(std::initializer_list<int> v) {
  Buf b;
  for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
  return b;
}

Buf BodyOf(std::string_view text) {
  BasicTextError e;
  auto body = TokenizeLineBody(text, &e);
  EXPECT_TRUE(body) << text << ": " << e.message << " at " << e.column;
  return body ? Buf(body->begin(), body->end()) : Buf{};
}

Buf Tokenize(std::string_view text) {
  TokenizedBasic t = TokenizeBasic(text);
  EXPECT_TRUE(t.ok()) << text;
  return t.program;
}

std::string Export(const Buf& program) { return ExportBasicText(program).value_or("<none>"); }

// Each rule of the tokeniser: the text after the line number, and the tokens MSX-BASIC stores.
TEST(BasicTokenizer, LineBodiesAsMsxBasicStoresThem) {
  struct Case {
    const char* text;
    Buf tokens;
  };
  const Case cases[] = {
      {"A=1:B=2'C", B({'A', 0xEF, 0x12, ':', 'B', 0xEF, 0x13, 0x3A, 0x8F, 0xE6, 'C'})},
      {"IF A THEN 20 ELSE 30",
       B({0x8B, ' ', 'A', ' ', 0xDA, ' ', 0x0E, 20, 0, ' ', 0x3A, 0xA1, ' ', 0x0E, 30, 0})},
      {"IF A THEN 20:ELSE 30",
       B({0x8B, ' ', 'A', ' ', 0xDA, ' ', 0x0E, 20, 0, ':', 0x3A, 0xA1, ' ', 0x0E, 30, 0})},
      {"INTERVAL ON", B({0xFF, 0x85, 'E', 'R', 0xFF, 0x94, ' ', 0x95})},
      {"DATA \"a:b\",c d:print",
       B({0x84, ' ', '"', 'a', ':', 'b', '"', ',', 'c', ' ', 'd', ':', 0x91})},
      {"A=&HFFFF", B({'A', 0xEF, 0x0C, 0xFF, 0xFF})},
      {"A=&o17+&b101", B({'A', 0xEF, 0x0B, 15, 0, 0xF1, '&', 'B', '1', '0', '1'})},
      {"A=32767", B({'A', 0xEF, 0x1C, 0xFF, 0x7F})},
      {"A=32768", B({'A', 0xEF, 0x1D, 0x45, 0x32, 0x76, 0x80})},
      {"A=0:B=9:C=10:D=255:E=256",
       B({'A', 0xEF, 0x11, ':',  'B', 0xEF, 0x1A, ':',  'C',  0xEF, 0x0F, 10,
          ':', 'D',  0xEF, 0x0F, 255, ':',  'E',  0xEF, 0x1C, 0,    1})},
      {"A=1E+38", B({'A', 0xEF, 0x1D, 0x67, 0x10, 0, 0})},
      {"A=1D+38", B({'A', 0xEF, 0x1F, 0x67, 0x10, 0, 0, 0, 0, 0, 0})},
      {"A=1.5:B=.05",
       B({'A', 0xEF, 0x1D, 0x41, 0x15, 0, 0, ':', 'B', 0xEF, 0x1D, 0x3F, 0x50, 0, 0})},
      {"A=1!:B=1#",
       B({'A', 0xEF, 0x1D, 0x41, 0x10, 0, 0, ':', 'B', 0xEF, 0x1F, 0x41, 0x10, 0, 0, 0, 0, 0, 0})},
      {"A=1234567", B({'A', 0xEF, 0x1F, 0x47, 0x12, 0x34, 0x56, 0x70, 0, 0, 0})},
      {"A=1.2345678!", B({'A', 0xEF, 0x1D, 0x41, 0x12, 0x34, 0x57})},  // rounded to 6 digits
      {"A=999999.5!", B({'A', 0xEF, 0x1D, 0x47, 0x10, 0, 0})},         // the carry adds a digit
      {"PRINT#1,A", B({0x91, '#', 0x12, ',', 'A'})},
      {"ON A GOTO 10,20", B({0x95, ' ', 'A', ' ', 0x89, ' ', 0x0E, 10, 0, ',', 0x0E, 20, 0})},
      {"GOSUB 100:RETURN 20:A=20",
       B({0x8D, ' ', 0x0E, 100, 0, ':', 0x8E, ' ', 0x0E, 20, 0, ':', 'A', 0xEF, 0x0F, 20})},
      {"GOSUB 2.00:GOTO 1E3",
       B({0x8D, ' ', 0x1D, 0x41, 0x20, 0, 0, ':', 0x89, ' ', 0x1D, 0x44, 0x10, 0, 0})},
      {"print a$;chr$(65)", B({0x91, ' ', 'A', '$', ';', 0xFF, 0x96, '(', 0x0F, 65, ')'})},
      {"FORT=1 to 9:next", B({0x82, 'T', 0xEF, 0x12, ' ', 0xD9, ' ', 0x1A, ':', 0x83})},
      {"I2%=A1+B.5", B({'I', '2', '%', 0xEF, 'A', '1', 0xF1, 'B', '.', '5'})},
      {"? \"aB\":rem x:y", B({0x91, ' ', '"', 'a', 'B', '"', ':', 0x8F, ' ', 'x', ':', 'y'})},
      {"PRINT \"open", B({0x91, ' ', '"', 'o', 'p', 'e', 'n'})},
      {"CALL TURBO ON:_music",
       B({0xCA, ' ', 'T', 'U', 'R', 'B', 'O', ' ', 'O', 'N', ':', '_', 'm', 'u', 's', 'i', 'c'})},
      {"A=B\\2-C^2<>D", B({'A', 0xEF, 'B', 0xFC, 0x13, 0xF2, 'C', 0xF5, 0x13, 0xF0, 0xEE, 'D'})},
      {"DEFINT A:LINE INPUT A$", B({0xAC, ' ', 'A', ':', 0xAF, ' ', 0x85, ' ', 'A', '$'})},
      {"  PRINT", B({' ', ' ', 0x91})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BodyOf(c.text), c.tokens) << c.text;
    // And back: what LIST shows reads in to the same tokens.
    const Buf program = Tokenize(std::string("10 ") + c.text);
    EXPECT_EQ(Tokenize(Export(program)), program) << c.text;
  }
}

TEST(BasicTokenizer, LinesSortedRepeatsReplaceANumberAloneDeletes) {
  // CR, CR LF and LF end lines; 0x1A ends the text; one space after the number is not stored.
  const Buf p = Tokenize(
      "20 B\r\n10 A\r20  C\n30 D\n\n   \n30\n40 E\x1A"
      "50 F\n");
  const Buf want = B({0xFF, 0x07, 0x80, 10, 0,   'A', 0,  // 10 A
                      0x0E, 0x80, 20,   0,  ' ', 'C', 0,  // 20  C
                      0x14, 0x80, 40,   0,  'E', 0,       // 40 E
                      0,    0});
  EXPECT_EQ(p, want);
  EXPECT_EQ(Export(p), "10 A\r\n20  C\r\n40 E\r\n\x1A");
  EXPECT_EQ(Tokenize(""), B({0xFF, 0, 0}));
  EXPECT_EQ(Tokenize("65529 END"), B({0xFF, 0x07, 0x80, 0xF9, 0xFF, 0x81, 0, 0, 0}));
}

TEST(BasicTokenizer, ErrorsNameLineAndColumn) {
  struct Case {
    std::string text;
    BasicTextError error;
  };
  const Case cases[] = {
      {"PRINT 1", {1, 1, kTextLineWithoutNumber}},
      {"10 PRINT\n\n  X=1", {3, 3, kTextLineWithoutNumber}},
      {"10 END\n65530 END", {2, 1, kTextLineNumberTooLarge}},
      {"10 A=&H10000", {1, 6, kTextOverflow}},
      {"10 A=1E+64", {1, 6, kTextOverflow}},
      {"10 PRINT \"" + std::string(260, 'x'), {1, 10, kTextLineTooLong}},
      {"10 " + std::string(255, 'A') + ":", {1, 259, kTextLineTooLong}},
  };
  for (const Case& c : cases) {
    const TokenizedBasic t = TokenizeBasic(c.text);
    ASSERT_FALSE(t.ok()) << c.text;
    EXPECT_EQ(*t.error, c.error) << c.text;
    EXPECT_TRUE(t.program.empty());
  }
  EXPECT_TRUE(TokenizeBasic("10 " + std::string(255, 'A')).ok());  // 255 bytes are allowed
  // Lines of 245 bytes typed from 140 down: line 134 is the first whose link passes 0xFFFF; it
  // was typed on the text's line 7.
  std::string big;
  for (int n = 140; n >= 1; --n) big += std::to_string(n) + " REM" + std::string(239, 'x') + "\n";
  const TokenizedBasic t = TokenizeBasic(big);
  ASSERT_FALSE(t.ok());
  EXPECT_EQ(*t.error, (BasicTextError{7, 1, kTextProgramTooLarge}));
  EXPECT_TRUE(t.program.empty());
}

// LIST's way of writing BCD constants, with the mark that reads each back as the same type.
TEST(BasicExport, NumbersAsListWritesThem) {
  struct Case {
    Buf bcd;
    const char* text;
  };
  const Case cases[] = {
      {B({0x41, 0x15, 0, 0}), "1.5"},
      {B({0x46, 0x12, 0x34, 0x56}), "123456!"},
      {B({0x46, 0x10, 0, 0}), "100000!"},
      {B({0x47, 0x10, 0, 0}), "1E+06"},
      {B({0, 0, 0, 0}), "0!"},
      {B({0x40, 0x12, 0x34, 0x56}), ".123456"},
      {B({0x3E, 0x12, 0x30, 0}), ".00123"},
      {B({0x3B, 0x10, 0, 0}), ".000001"},
      {B({0x3A, 0x10, 0, 0}), "1E-07"},
      {B({0x67, 0x10, 0, 0}), "1E+38"},
      {B({0x67, 0x10, 0, 0, 0, 0, 0, 0}), "1D+38"},
      {B({0x41, 0x10, 0, 0, 0, 0, 0, 0}), "1#"},
      {B({0x4E, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}), "12345678901234#"},
      {B({0x4F, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x35}), "1.2345678901235E+14"},
      {B({0x40, 0x12, 0x34, 0x56, 0x78, 0x90, 0, 0}), ".123456789#"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BasicNumberText(c.bcd), c.text);
    // Read back as a constant, the text gives the same bytes.
    const Buf body = BodyOf(std::string("A=") + c.text);
    ASSERT_GE(body.size(), 3u);
    EXPECT_EQ(Buf(body.begin() + 3, body.end()), c.bcd) << c.text;
  }
}

TEST(BasicExport, ColonFormsLineAddressesAndDamage) {
  // 10 A=1:ELSE 10 / 20 'x / 30 GOTO <address of line 10, as RUN leaves it>
  const Buf p = B({0xFF, 0x0F, 0x80, 10,   0,    'A', 0xEF, 0x12, 0x3A, 0x3A, 0xA1, 0x0E,
                   10,   0,    0,    0x18, 0x80, 20,  0,    0x3A, 0x8F, 0xE6, 'x',  0,  // 20 'x
                   0x22, 0x80, 30,   0,    0x89, ' ', 0x0D, 0x00, 0x80, 0,    0,    0});
  EXPECT_EQ(Export(p), "10 A=1:ELSE10\r\n20 'x\r\n30 GOTO 10\r\n\x1A");
  EXPECT_FALSE(ExportBasicText(B({'1', '0'})));
  // A link past the end: the lines up to it, never a read outside the bytes.
  EXPECT_EQ(Export(B({0xFF, 0x40, 0x80, 10, 0, 0x91, 0x1F, 0x41})), "10 PRINT\r\n\x1A");
}

TEST(BasicListingOfText, KeywordsMarkedTheTextAsItStands) {
  using K = BasicRun::Kind;
  const std::string text = "10 print \"hi\":goto 10\r\n\r\nnot a line\r\n\x1A";
  const BasicListing l =
      ListBasicText(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  const std::vector<BasicRun> want = {
      {K::Plain, "10 "},    {K::Keyword, "PRINT"},    {K::Plain, " \"hi\":"},
      {K::Keyword, "GOTO"}, {K::Plain, " 10"},        {K::LineEnd, ""},
      {K::LineEnd, ""},     {K::Plain, "not a line"}, {K::LineEnd, ""},
  };
  EXPECT_EQ(l.runs, want);
  EXPECT_FALSE(l.isBasic);
  EXPECT_EQ(l.lines, 3);
  EXPECT_TRUE(LooksLikeBasicText(B({'\r', '\n', ' ', '1', '0', ' ', 'A'})));
  EXPECT_FALSE(LooksLikeBasicText(B({'A', '\r', '\n', '1', '0'})));
}

TEST(MsxCharsets, JapaneseKanaAndTheInternationalDefault) {
  const MsxCharset& jp = MsxCharset::Japanese();
  const MsxCharset& intl = MsxCharset::International();
  struct Case {
    std::string bytes;
    const char* japanese;
  };
  const Case cases[] = {
      {"\x9B\xE4\xF9", "さとる"},    // a name in hiragana
      {"\xB6\xC0\xB6\xC5", "ｶﾀｶﾅ"},  // katakana
      {"\x86\x8F\xFD", "をっん"},
      {"A\\1", "A¥1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(jp.ToUtf8(c.bytes), c.japanese);
    EXPECT_EQ(jp.FromUtf8(c.japanese), c.bytes);
  }
  EXPECT_EQ(intl.ToUtf8("\x9B\xE4\x86\x8F\x80\xE0\\"), "¢ΣåÅÇα\\");
  EXPECT_EQ(MsxCharset::ByName("int"), &intl);
  EXPECT_EQ(MsxCharset::ByName("jp"), &jp);
  EXPECT_EQ(MsxCharset::ByName("ru"), nullptr);
  // Every byte but the second blank (0xFE, shown like 0x90) reads back as itself.
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    if (c != 0xFE) {
      EXPECT_EQ(jp.FromUtf8(jp.ToUtf8(one)), one) << c;
    }
  }
  // Text with its line ends kept.
  EXPECT_EQ(jp.ToUtf8("\xB1\r\n", true), "ｱ\r\n");
  EXPECT_EQ(jp.FromUtf8("ｱ\r\n", true), "\xB1\r\n");
  // The hex view's characters: the view's own rule without a set, the set's when one is given.
  const Buf bytes = B({0xB1, 'A', 0x01});
  HexLayout hex(bytes, "BIN", 642);
  EXPECT_EQ(hex.CellText(1, 16 + 3), ".");
  hex.SetCharset(&jp);
  EXPECT_EQ(hex.CellText(1, 16 + 3), "ｱ");
  EXPECT_EQ(hex.CellText(1, 16 + 5), ".");
}

// Listed with MSX-BASIC's own keywords, the keyword runs are the words LIST writes ("NEXT",
// "TAB(", "'" for the apostrophe's REM, the operators as the other listing marks them), not
// the words inside strings.
TEST(BasicTokenizer, MsxKeywordListingMarksTheWordsListWrites) {
  const Buf program = Tokenize("10 FOR I=1 TO 2:PRINT TAB(3);\"FOR\":NEXT I ' X\r\n");
  std::vector<std::string> keywords;
  for (const BasicRun& r : ListBasicAsMsx(program).runs)
    if (r.kind == BasicRun::Kind::Keyword) keywords.push_back(r.text);
  EXPECT_EQ(keywords, (std::vector<std::string>{"FOR", "=", "TO", "PRINT", "TAB(", "NEXT", "'"}));
  EXPECT_EQ(BasicListingText(ListBasicAsMsx(program)),
            "10 FOR I=1 TO 2:PRINT TAB(3);\"FOR\":NEXT I ' X\n");
}

}  // namespace
}  // namespace quarnel::viewers
