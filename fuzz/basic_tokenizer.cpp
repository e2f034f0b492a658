// Any bytes as program text: the tokeniser must end, stay inside the text and report errors
// inside it. For plain ASCII text (bytes above 0x7F and control codes outside strings are stored
// as typed and then read as tokens, as on an MSX) what it makes must be a sound program whose
// LIST text reads back to the same bytes. ("?" is left out of that check: LIST writes it as
// PRINT, and the letters around it can then read as another keyword, COL?R as C O LPRINT R, on
// an MSX as here; so are two constants in a row, 1E30#5, whose LIST text 1D+305 joins them, and a
// type mark after a constant's own, .4!#, which LIST writes as .4# since a single-precision
// constant is listed without its "!", and a "." before a constant, ..00, which lists as .0!.)
#include "viewers/basic_tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarnel::viewers;
  const quarnel::Bytes text(data, size);
  const TokenizedBasic t = TokenizeBasic(text);
  (void)ListBasicText(text);
  if (!t.ok()) {
    if (t.error->line == 0 || t.error->column == 0 || !t.program.empty()) __builtin_trap();
    return 0;
  }
  for (std::size_t i = 0; i < size; ++i) {
    if ((data[i] < 0x20 || data[i] > 0x7E || data[i] == '?') && data[i] != '\r' &&
        data[i] != '\n') {
      return 0;
    }
    if ((data[i] == '#' || data[i] == '!') && i + 1 < size &&
        ((data[i + 1] >= '0' && data[i + 1] <= '9') || data[i + 1] == '.' || data[i + 1] == '#' ||
         data[i + 1] == '!' || data[i + 1] == '%' || data[i + 1] == '$')) {
      return 0;
    }
    if (data[i] == '.' && i + 1 < size && data[i + 1] == '.') return 0;
  }
  const BasicListing listing = ListBasic(t.program);
  if (!listing.isBasic || listing.Damaged()) __builtin_trap();
  const auto exported = ExportBasicText(t.program);
  if (!exported) __builtin_trap();
  const TokenizedBasic again = TokenizeBasic(std::string_view(*exported));
  if (!again.ok() || again.program != t.program) __builtin_trap();
  return 0;
}
