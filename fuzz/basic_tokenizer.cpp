// Any bytes as program text: the tokeniser must end, stay inside the text and report errors
// inside it. For plain ASCII text what it makes must be a sound program whose LIST text tokenises
// again. (Not to the same bytes: LIST joins what the program holds apart, on an MSX as here: a
// constant right after another, 1E30#5 or 0.8.0; a type mark after a constant's own, .4!#, listed
// .4#; "?" listed as PRINT between letters; and more. The texts with the known joins are left out
// before the listing is checked.)
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
  }
  // A run of digits and dots with two dots holds two constants in a row (0.8.0, ..00).
  int dots = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const bool numeric = (data[i] >= '0' && data[i] <= '9') || data[i] == '.';
    dots = numeric ? dots + (data[i] == '.') : 0;
    if (dots > 1) return 0;
  }
  const BasicListing listing = ListBasic(t.program);
  if (!listing.isBasic || listing.Damaged()) __builtin_trap();
  const auto exported = ExportBasicText(t.program);
  if (!exported) __builtin_trap();
  const TokenizedBasic again = TokenizeBasic(std::string_view(*exported));
  if (!again.ok()) __builtin_trap();
  return 0;
}
