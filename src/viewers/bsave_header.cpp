#include "viewers/bsave_header.h"

namespace quarnel::viewers {

std::optional<BsaveHeader> ReadBsaveHeader(Bytes file) {
  if (!HasBsaveId(file) || file.size() < BsaveHeader::kSize) return std::nullopt;
  BsaveHeader h;
  h.start = *Le16At(file, 1);
  h.end = *Le16At(file, 3);
  h.run = *Le16At(file, 5);
  return h;
}

}  // namespace quarnel::viewers
