// The mounts table and sysfs numbers the floppy device checks read, on any text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/floppy_devices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto sources = quarnel::MountSources(text);
  std::size_t total = 0;
  for (const auto& s : sources) total += s.size();
  if (total > size) __builtin_trap();  // decoding escapes only ever shortens a field
  (void)quarnel::SysfsNumber(text);
  return 0;
}
