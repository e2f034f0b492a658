// Whatever the compressor writes, the decompressor gives back.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarnel::Bytes in(data, size);
  auto xsa = quarnel::EncodeXsa(in, "F.DSK");
  auto back = quarnel::DecodeXsa(xsa);
  if (!back.ok() || back.bytes.size() != size ||
      !std::equal(back.bytes.begin(), back.bytes.end(), data)) {
    __builtin_trap();
  }
  return 0;
}
