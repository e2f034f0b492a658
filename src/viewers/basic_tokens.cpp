#include "viewers/basic_tokens.h"

#include <array>

namespace quarnel::viewers {

namespace {

// Index = token - 0x81. The texts are exactly those of the listing, including the ones that
// differ from what MSX-BASIC's own LIST writes ("Next", "String$", "DskO$", "DskI$", "TAB").
constexpr std::array<std::string_view, 126> kKeywords = {
    // 0x81
    "END", "FOR", "Next", "DATA", "INPUT", "DIM", "READ", "LET", "GOTO", "RUN", "IF", "RESTORE",
    "GOSUB", "RETURN", "REM",
    // 0x90
    "STOP", "PRINT", "CLEAR", "LIST", "NEW", "ON", "WAIT", "DEF", "POKE", "CONT", "CSAVE",
    "CLOAD", "OUT", "LPRINT", "LLIST", "CLS",
    // 0xA0
    "WIDTH", "ELSE", "TRON", "TROFF", "SWAP", "ERASE", "ERROR", "RESUME", "DELETE", "AUTO",
    "RENUM", "DEFSTR", "DEFINT", "DEFSNG", "DEFDBL", "LINE",
    // 0xB0
    "OPEN", "FIELD", "GET", "PUT", "CLOSE", "LOAD", "MERGE", "FILES", "LSET", "RSET", "SAVE",
    "LFILES", "CIRCLE", "COLOR", "DRAW", "PAINT",
    // 0xC0
    "BEEP", "PLAY", "PSET", "PRESET", "SOUND", "SCREEN", "VPOKE", "SPRITE", "VDP", "BASE",
    "CALL", "TIME", "KEY", "MAX", "MOTOR", "BLOAD",
    // 0xD0
    "BSAVE", "DskO$", "SET", "NAME", "KILL", "IPL", "COPY", "CMD", "LOCATE", "TO", "THEN", "TAB",
    "STEP", "USR", "FN", "SPC(",
    // 0xE0
    "NOT", "ERL", "ERR", "String$", "USING", "INSTR", "", "VARPTR", "CSRLIN", "ATTR$", "DskI$",
    "OFF", "INKEY$", "POINT", ">", "=",
    // 0xF0
    "<", "+", "-", "*", "/", "^", "AND", "OR", "XOR", "EQV", "IMP", "MOD", "$", "", "",
};

// Index = token - 0x81, for 0x81-0xB6.
constexpr std::array<std::string_view, 54> kFunctions = {
    // 0x81
    "LEFT$", "RIGHT$", "MID$", "SGN", "INT", "ABS", "SQR", "RND", "SIN", "LOG", "EXP", "COS",
    "TAN", "ATN", "FRE",
    // 0x90
    "NINP", "POS", "LEN", "STR$", "VAL", "ASC", "CHR$", "PEEK", "VPEEK", "SPACE$", "OCT$",
    "HEX$", "LPOS", "BIN$", "CINT", "CSNG",
    // 0xA0
    "RCDBL", "FIX", "STICK", "STRIG", "PDL", "PAD", "DSKF", "FPOS", "CVI", "CVS", "CVD", "EOF",
    "LOC", "LOF", "MKI$", "MKS$",
    // 0xB0
    "MKD$", "", "", "", "", "", "",
};

}  // namespace

std::string_view KeywordText(std::uint8_t token) {
  if (token < 0x81 || token > 0xFE) return {};
  return kKeywords[token - 0x81];
}

std::string_view FunctionText(std::uint8_t token) {
  if (!IsFunctionToken(token)) return {};
  return kFunctions[token - 0x81];
}

}  // namespace quarnel::viewers
