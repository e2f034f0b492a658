// The XSA compressor. It picks its copies by what they cost in bits under the format's
// adaptive distance code (a shortest-path parse, refined over a few passes), keeps every
// distance within 8192 bytes and every copy within 2 ... 254 bytes, so that any conforming
// decompressor reads what it writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/bytes.h"

namespace quarnel {

struct XsaEncodeOptions {
  int passes = 3;       // parses, each priced with the code the previous one ended up using
  int chainDepth = 64;  // earlier positions tried per position
};

// The largest input the compressor takes: its match tables and bit costs count in 32 bits,
// which holds for up to 253 candidates per byte of 16 MiB (far above any MSX disk).
inline constexpr std::size_t kMaxXsaInput = std::size_t{16} << 20;

// A whole .xsa file holding `data`. `name` is stored in the header (an empty name is stored as
// "DISK.DSK", since some readers refuse an empty one). Inputs above kMaxXsaInput are refused by
// returning an empty vector.
std::vector<std::uint8_t> EncodeXsa(Bytes data, std::string_view name,
                                    const XsaEncodeOptions& options = {});

}  // namespace quarnel
