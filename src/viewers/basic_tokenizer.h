// MSX-BASIC program text (what SAVE "X",A writes and LOAD reads) to the tokenised program
// MSX-BASIC keeps in memory and SAVE writes: the same bytes, rule for rule.
//
//   0xFF, then the lines sorted by number, each: link (LE16, address of the next line's link,
//   the first line at 0x8001), line number (LE16), tokens, 0x00; then a zero link.
//   A line whose number repeats replaces the earlier one; a line number alone deletes the line.
//   Keywords and functions in any case become tokens (the longest word wins, so FORT=1 is
//   FOR T=1); ELSE is stored as ":" ELSE, the apostrophe as ":" REM 0xE6; "?" is PRINT.
//   Strings, the text after REM and ', and DATA items and the text after CALL or "_" up to a
//   ":" outside quotes stay as typed; other letters are upper-cased. One space after the line
//   number parts it from the text and is not stored; further spaces are. Numbers take the shortest
//   form: 0x11-0x1A (0-9), 0x0F (10-255), 0x1C (256-32767), 0x1D single (at most 6 digits, or "!"),
//   0x1F double (more digits, "#" or a D exponent), &H as 0x0C, &O as 0x0B, &B as text. After GOTO,
//   GOSUB, THEN, ELSE, RESTORE, RUN, RETURN, RESUME, LIST, LLIST, DELETE, RENUM and AUTO the
//   numbers (and those after commas, as in ON X GOTO 10,20) are line numbers, 0x0E.
// Lines end at CR LF, LF or CR; 0x1A ends the text. The bytes are the MSX's own (its character
// set), not UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "viewers/basic_lister.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {

// The longest text taken for a program: a tokenised program ends below 0xFFFF, and no keyword,
// number or line number grows more than about sevenfold as text, so the text of the largest
// program fits several times over.
inline constexpr std::size_t kLongestBasicText = 512 * 1024;

// Where and why the text is no program. `line` counts the lines of the text from 1, `column`
// the bytes of that line from 1.
struct BasicTextError {
  std::size_t line = 0;
  std::size_t column = 0;
  std::string_view message;  // one of the kText... messages

  bool operator==(const BasicTextError&) const = default;
};

struct TokenizedBasic {
  std::vector<std::uint8_t> program;  // the file SAVE writes; empty on an error
  std::optional<BasicTextError> error;
  bool ok() const { return !error; }
};

// Refused: a line that is not blank and has no line number, a line number over 65529, a line
// over 255 bytes once tokenised, a constant too large for its form, a program whose links would
// pass 0xFFFF (the error names the first line that does not fit). A string that is not closed
// ends at the line's end, as on an MSX.
TokenizedBasic TokenizeBasic(Bytes text);
inline TokenizedBasic TokenizeBasic(std::string_view text) {
  return TokenizeBasic(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The tokens of one line's text after its line number (no link, number or closing zero).
// nullopt, with `error` set (its line 0), when the text cannot be tokenised.
std::optional<std::string> TokenizeLineBody(std::string_view body, BasicTextError* error = nullptr);

// A program saved as text, listed like a tokenised one: each line of the text as it stands (the
// bytes shown through `charset`), the words that MSX-BASIC reads as keywords in Keyword runs.
// isBasic is false (the bytes are no tokenised program); lines counts the text's lines.
BasicListing ListBasicText(Bytes text, const MsxCharset& charset = MsxCharset::International());

// True when `file` looks like a program saved as text: its first line that is not blank starts
// with a line number.
bool LooksLikeBasicText(Bytes file);

}  // namespace quarnel::viewers
