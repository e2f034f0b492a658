#include "viewers/basic_tokens.h"

#include <array>

namespace quarnel::viewers {

namespace {

// The one keyword table. Index = token - 0x81. `listed`: exactly what the listing writes, also
// where it differs from MSX-BASIC's own words ("Next", "String$", "DskO$", "DskI$", "TAB", "$",
// "NINP", "RCDBL"). `basic`: the word as MSX-BASIC's LIST writes it and its tokeniser reads it.
struct Keyword {
  std::string_view listed;
  std::string_view basic;
};

constexpr std::array<Keyword, 126> kKeywords = {{
    {"END", "END"},          // 81
    {"FOR", "FOR"},          // 82
    {"Next", "NEXT"},        // 83
    {"DATA", "DATA"},        // 84
    {"INPUT", "INPUT"},      // 85
    {"DIM", "DIM"},          // 86
    {"READ", "READ"},        // 87
    {"LET", "LET"},          // 88
    {"GOTO", "GOTO"},        // 89
    {"RUN", "RUN"},          // 8A
    {"IF", "IF"},            // 8B
    {"RESTORE", "RESTORE"},  // 8C
    {"GOSUB", "GOSUB"},      // 8D
    {"RETURN", "RETURN"},    // 8E
    {"REM", "REM"},          // 8F
    {"STOP", "STOP"},        // 90
    {"PRINT", "PRINT"},      // 91
    {"CLEAR", "CLEAR"},      // 92
    {"LIST", "LIST"},        // 93
    {"NEW", "NEW"},          // 94
    {"ON", "ON"},            // 95
    {"WAIT", "WAIT"},        // 96
    {"DEF", "DEF"},          // 97
    {"POKE", "POKE"},        // 98
    {"CONT", "CONT"},        // 99
    {"CSAVE", "CSAVE"},      // 9A
    {"CLOAD", "CLOAD"},      // 9B
    {"OUT", "OUT"},          // 9C
    {"LPRINT", "LPRINT"},    // 9D
    {"LLIST", "LLIST"},      // 9E
    {"CLS", "CLS"},          // 9F
    {"WIDTH", "WIDTH"},      // A0
    {"ELSE", "ELSE"},        // A1
    {"TRON", "TRON"},        // A2
    {"TROFF", "TROFF"},      // A3
    {"SWAP", "SWAP"},        // A4
    {"ERASE", "ERASE"},      // A5
    {"ERROR", "ERROR"},      // A6
    {"RESUME", "RESUME"},    // A7
    {"DELETE", "DELETE"},    // A8
    {"AUTO", "AUTO"},        // A9
    {"RENUM", "RENUM"},      // AA
    {"DEFSTR", "DEFSTR"},    // AB
    {"DEFINT", "DEFINT"},    // AC
    {"DEFSNG", "DEFSNG"},    // AD
    {"DEFDBL", "DEFDBL"},    // AE
    {"LINE", "LINE"},        // AF
    {"OPEN", "OPEN"},        // B0
    {"FIELD", "FIELD"},      // B1
    {"GET", "GET"},          // B2
    {"PUT", "PUT"},          // B3
    {"CLOSE", "CLOSE"},      // B4
    {"LOAD", "LOAD"},        // B5
    {"MERGE", "MERGE"},      // B6
    {"FILES", "FILES"},      // B7
    {"LSET", "LSET"},        // B8
    {"RSET", "RSET"},        // B9
    {"SAVE", "SAVE"},        // BA
    {"LFILES", "LFILES"},    // BB
    {"CIRCLE", "CIRCLE"},    // BC
    {"COLOR", "COLOR"},      // BD
    {"DRAW", "DRAW"},        // BE
    {"PAINT", "PAINT"},      // BF
    {"BEEP", "BEEP"},        // C0
    {"PLAY", "PLAY"},        // C1
    {"PSET", "PSET"},        // C2
    {"PRESET", "PRESET"},    // C3
    {"SOUND", "SOUND"},      // C4
    {"SCREEN", "SCREEN"},    // C5
    {"VPOKE", "VPOKE"},      // C6
    {"SPRITE", "SPRITE"},    // C7
    {"VDP", "VDP"},          // C8
    {"BASE", "BASE"},        // C9
    {"CALL", "CALL"},        // CA
    {"TIME", "TIME"},        // CB
    {"KEY", "KEY"},          // CC
    {"MAX", "MAX"},          // CD
    {"MOTOR", "MOTOR"},      // CE
    {"BLOAD", "BLOAD"},      // CF
    {"BSAVE", "BSAVE"},      // D0
    {"DskO$", "DSKO$"},      // D1
    {"SET", "SET"},          // D2
    {"NAME", "NAME"},        // D3
    {"KILL", "KILL"},        // D4
    {"IPL", "IPL"},          // D5
    {"COPY", "COPY"},        // D6
    {"CMD", "CMD"},          // D7
    {"LOCATE", "LOCATE"},    // D8
    {"TO", "TO"},            // D9
    {"THEN", "THEN"},        // DA
    {"TAB", "TAB("},         // DB
    {"STEP", "STEP"},        // DC
    {"USR", "USR"},          // DD
    {"FN", "FN"},            // DE
    {"SPC(", "SPC("},        // DF
    {"NOT", "NOT"},          // E0
    {"ERL", "ERL"},          // E1
    {"ERR", "ERR"},          // E2
    {"String$", "STRING$"},  // E3
    {"USING", "USING"},      // E4
    {"INSTR", "INSTR"},      // E5
    {"", "'"},               // E6
    {"VARPTR", "VARPTR"},    // E7
    {"CSRLIN", "CSRLIN"},    // E8
    {"ATTR$", "ATTR$"},      // E9
    {"DskI$", "DSKI$"},      // EA
    {"OFF", "OFF"},          // EB
    {"INKEY$", "INKEY$"},    // EC
    {"POINT", "POINT"},      // ED
    {">", ">"},              // EE
    {"=", "="},              // EF
    {"<", "<"},              // F0
    {"+", "+"},              // F1
    {"-", "-"},              // F2
    {"*", "*"},              // F3
    {"/", "/"},              // F4
    {"^", "^"},              // F5
    {"AND", "AND"},          // F6
    {"OR", "OR"},            // F7
    {"XOR", "XOR"},          // F8
    {"EQV", "EQV"},          // F9
    {"IMP", "IMP"},          // FA
    {"MOD", "MOD"},          // FB
    {"$", "\\"},             // FC
    {"", ""},                // FD
    {"", ""},                // FE
}};

// Index = token - 0x81, for 0x81-0xB6.
constexpr std::array<Keyword, 54> kFunctions = {{
    {"LEFT$", "LEFT$"},    // 81
    {"RIGHT$", "RIGHT$"},  // 82
    {"MID$", "MID$"},      // 83
    {"SGN", "SGN"},        // 84
    {"INT", "INT"},        // 85
    {"ABS", "ABS"},        // 86
    {"SQR", "SQR"},        // 87
    {"RND", "RND"},        // 88
    {"SIN", "SIN"},        // 89
    {"LOG", "LOG"},        // 8A
    {"EXP", "EXP"},        // 8B
    {"COS", "COS"},        // 8C
    {"TAN", "TAN"},        // 8D
    {"ATN", "ATN"},        // 8E
    {"FRE", "FRE"},        // 8F
    {"NINP", "INP"},       // 90
    {"POS", "POS"},        // 91
    {"LEN", "LEN"},        // 92
    {"STR$", "STR$"},      // 93
    {"VAL", "VAL"},        // 94
    {"ASC", "ASC"},        // 95
    {"CHR$", "CHR$"},      // 96
    {"PEEK", "PEEK"},      // 97
    {"VPEEK", "VPEEK"},    // 98
    {"SPACE$", "SPACE$"},  // 99
    {"OCT$", "OCT$"},      // 9A
    {"HEX$", "HEX$"},      // 9B
    {"LPOS", "LPOS"},      // 9C
    {"BIN$", "BIN$"},      // 9D
    {"CINT", "CINT"},      // 9E
    {"CSNG", "CSNG"},      // 9F
    {"RCDBL", "CDBL"},     // A0
    {"FIX", "FIX"},        // A1
    {"STICK", "STICK"},    // A2
    {"STRIG", "STRIG"},    // A3
    {"PDL", "PDL"},        // A4
    {"PAD", "PAD"},        // A5
    {"DSKF", "DSKF"},      // A6
    {"FPOS", "FPOS"},      // A7
    {"CVI", "CVI"},        // A8
    {"CVS", "CVS"},        // A9
    {"CVD", "CVD"},        // AA
    {"EOF", "EOF"},        // AB
    {"LOC", "LOC"},        // AC
    {"LOF", "LOF"},        // AD
    {"MKI$", "MKI$"},      // AE
    {"MKS$", "MKS$"},      // AF
    {"MKD$", "MKD$"},      // B0
    {"", ""},              // B1
    {"", ""},              // B2
    {"", ""},              // B3
    {"", ""},              // B4
    {"", ""},              // B5
    {"", ""},              // B6
}};

// True for the words the tokeniser looks for: those that start with a letter. The operators,
// the apostrophe and "\\" are single characters and are handled by the tokeniser itself.
constexpr bool IsWord(std::string_view s) { return !s.empty() && ((s[0] >= 'A' && s[0] <= 'Z')); }

constexpr bool SameLetters(char a, char b) {
  const char ua = a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a;
  return ua == b;
}

// The words by first letter, for the tokeniser's search: a keyword as token - 0x80 (1-126), a
// function as 0x80 | (token - 0x81); 0 ends a list.
constexpr std::array<std::array<std::uint8_t, 24>, 26> MakeByLetter() {
  std::array<std::array<std::uint8_t, 24>, 26> lists{};
  std::array<std::size_t, 26> used{};
  auto add = [&](std::string_view word, std::uint8_t code) {
    if (!IsWord(word)) return;
    const auto letter = static_cast<std::size_t>(word[0] - 'A');
    lists[letter][used[letter]++] = code;
  };
  for (std::size_t i = 0; i < kKeywords.size(); ++i) {
    add(kKeywords[i].basic, static_cast<std::uint8_t>(i + 1));
  }
  for (std::size_t i = 0; i < kFunctions.size(); ++i) {
    add(kFunctions[i].basic, static_cast<std::uint8_t>(0x80 | i));
  }
  return lists;
}

constexpr std::array<std::array<std::uint8_t, 24>, 26> kByLetter = MakeByLetter();

}  // namespace

std::string_view KeywordText(std::uint8_t token) {
  if (token < 0x81 || token > 0xFE) return {};
  return kKeywords[token - 0x81].listed;
}

std::string_view FunctionText(std::uint8_t token) {
  if (!IsFunctionToken(token)) return {};
  return kFunctions[token - 0x81].listed;
}

std::string_view BasicKeywordText(std::uint8_t token) {
  if (token < 0x81 || token > 0xFE) return {};
  return kKeywords[token - 0x81].basic;
}

std::string_view BasicFunctionText(std::uint8_t token) {
  if (!IsFunctionToken(token)) return {};
  return kFunctions[token - 0x81].basic;
}

KeywordMatch MatchKeyword(std::string_view text) {
  KeywordMatch best;
  if (text.empty()) return best;
  const char first =
      text[0] >= 'a' && text[0] <= 'z' ? static_cast<char>(text[0] - 'a' + 'A') : text[0];
  if (first < 'A' || first > 'Z') return best;
  for (const std::uint8_t code : kByLetter[static_cast<std::size_t>(first - 'A')]) {
    if (code == 0) break;
    const bool function = code & 0x80;
    const std::uint8_t token =
        static_cast<std::uint8_t>(function ? 0x81 + (code & 0x7F) : 0x80 + code);
    const std::string_view word =
        function ? kFunctions[token - 0x81].basic : kKeywords[token - 0x81].basic;
    if (word.size() > text.size() || word.size() <= best.length) continue;
    bool same = true;
    for (std::size_t i = 1; i < word.size() && same; ++i) same = SameLetters(text[i], word[i]);
    if (same) best = {word.size(), function, token};
  }
  return best;
}

}  // namespace quarnel::viewers
