// A tokenised MSX-BASIC program as the text MSX-BASIC's LIST shows and SAVE "X",A writes, so
// that LOAD on an MSX reads it back to the same program: the line number, one space, the
// tokens in MSX-BASIC's own words; CR LF after each line; 0x1A at the end. The bytes are the
// MSX's own (its character set), not UTF-8.
//
// Strings, REM and ' comments and DATA items are copied as they are stored; the ":" stored
// before ELSE and before the apostrophe's REM is not shown; line addresses left by a RUN
// (0x0D) are shown as the number of the line they point at; numbers are written as MSX-BASIC
// prints them, with "!" after a single-precision number that shows neither "." nor "E" and "#"
// after a double-precision number without an exponent ("D" is its exponent letter when the
// digits alone would read back as single precision).
#pragma once

#include <optional>
#include <string>

#include "core/bytes.h"
#include "viewers/basic_lister.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {

// nullopt when the first byte is not 0xFF. The lines are followed by their links as LIST does;
// a damaged program gives the lines up to the damage (the lister reports what is wrong).
std::optional<std::string> ExportBasicText(Bytes program);

// The same lines as runs for a window: the keywords as MSX-BASIC's own LIST writes them as
// Keyword runs, the rest as Plain runs in `charset` as UTF-8, a LineEnd after each line (no
// CR LF, no 0x1A). The damage and its Error runs are those ListBasic finds (the Error runs after
// the lines).
BasicListing ListBasicAsMsx(Bytes program, const MsxCharset& charset = MsxCharset::International());

// A BCD constant (exponent byte and 3 or 7 mantissa bytes) as MSX-BASIC writes it, with its
// type mark where one is needed to read it back as the same constant.
std::string BasicNumberText(Bytes bcd);

}  // namespace quarnel::viewers
