// Lists a tokenised MSX-BASIC program (the file SAVE writes without ",A") as text runs.
//
// File: 0xFF, then program lines. A line is a link (LE16, memory address of the next line's
// link; file offset = link - 0x8000; 0 ends the program), a line number (LE16) and tokens up to
// a zero byte. The lister follows the links, writes each line as "%5s  " + its tokens, and never
// reads outside the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {

// One piece of the listing. A window writes Plain and Keyword runs with its text operations
// (keywords bold and in the keyword colour), starts a new line at LineEnd, and shows a message
// box with `text` (kBasicLinkError) at each Error, in stream order.
struct BasicRun {
  enum class Kind : std::uint8_t { Plain, Keyword, LineEnd, Error };
  Kind kind = Kind::Plain;
  std::string text;  // UTF-8; empty for LineEnd

  bool operator==(const BasicRun&) const = default;
};

// Why a program's bytes cannot be what SAVE wrote. Bytes after the end-of-program link (padding
// to a sector, 0x1A) are no damage.
enum class BasicDamage : std::uint8_t {
  None,
  LinkBackwards,  // a link that does not lead past its own line's start (0x8000 and below too)
  LinkPastEnd,    // a link beyond the end of the file: the line that shows an Error run
  LineCut,        // the data ends inside a line (its line number or its tokens)
  NoEndLink,      // the data ends where the next line's link should be: no zero link
};

struct BasicListing {
  bool isBasic = false;  // the first byte is 0xFF; otherwise the listing is empty
  std::vector<BasicRun> runs;
  int lines = 0;   // program lines listed
  int errors = 0;  // Error runs

  // The first fault found. The runs hold what could be listed, exactly as for a sound program:
  // every line before the fault and the line at fault as far as its bytes go.
  BasicDamage damage = BasicDamage::None;
  std::optional<unsigned> damageLine;  // the number of the line at fault, when it was read
  std::size_t damageOffset = 0;        // file offset of the line at fault, or where data ends
  bool Damaged() const { return damage != BasicDamage::None; }
};

BasicListing ListBasic(Bytes file, const MsxCharset& charset = MsxCharset::International());

// The listing as plain text: one program line per "\n"-ended line, "ERROR" notices left out
// (a front end reports them itself). With `ansi`, keywords are wrapped in bold + colour escape
// sequences.
std::string BasicListingText(const BasicListing& listing, bool ansi = false);

// The text of a BCD floating-point constant: `bytes` is the exponent byte and 3 (single) or 7
// (double) mantissa bytes. "3.14159 E 0", "0.00000".
std::string BcdFloatText(Bytes bytes);

}  // namespace quarnel::viewers
