// Any bytes as a tokenised BASIC program: the listing must stay inside the data and end.
#include "viewers/basic_lister.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quarnel::Bytes bytes(data, size);
  const auto listing = quarnel::viewers::ListBasic(bytes);
  // Every "ERROR" notice comes from a damaged program, and the fault lies inside the data.
  if (listing.errors > 0 && !listing.Damaged()) __builtin_trap();
  if (listing.damageOffset > size) __builtin_trap();
  (void)quarnel::viewers::BasicListingText(listing, true);
  return 0;
}
