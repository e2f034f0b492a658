// The XSA decompressor on any input; the fixed header is often valid so the stream gets fuzzed.
#include "formats/xsa_decode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)quarnel::DecodeXsa(quarnel::Bytes(data, size));
  // The same bytes behind a plausible header with a small length.
  if (size >= 2) {
    std::vector<std::uint8_t> file = {0x50, 0x43, 0x4B, 0x08, data[0], data[1], 0,
                                      0,    0,    0,    0,    0,       'F',     0};
    file.insert(file.end(), data + 2, data + size);
    auto r = quarnel::DecodeXsa(file);
    if (r.ok() && r.bytes.size() != static_cast<std::size_t>(data[0] | (data[1] << 8)))
      __builtin_trap();
  }
  return 0;
}
