// The XSA decompressor: a whole .xsa file in, the original bytes out. Every read is bounded by
// the input and every write by the length the header gives; broken files end in a message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace quarnel {

struct XsaDecoded {
  std::vector<std::uint8_t> bytes;
  std::string name;   // the original file name stored in the header
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

XsaDecoded DecodeXsa(Bytes file);

// True when `file` starts with the XSA signature.
bool LooksLikeXsa(Bytes file);

}  // namespace quarnel
