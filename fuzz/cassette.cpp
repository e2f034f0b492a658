// The tape scan and the entry bytes on any input.
#include "formats/cassette.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarnel::Bytes tape(data, size);
  auto entries = quarnel::ScanCassette(tape);
  // Every entry takes a header block and a data block of at least 8 bytes each.
  if (entries.size() > size / 16) __builtin_trap();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    if (e.start > e.end || e.end > size) __builtin_trap();
    auto bytes = quarnel::CasEntryBytes(tape, e);
    if (bytes.size() > e.Size() + 1) __builtin_trap();
    (void)quarnel::CasHostFileName(e, i);
  }
  return 0;
}
