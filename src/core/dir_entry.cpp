#include "core/dir_entry.h"

#include <cstring>

namespace quarnel {

std::optional<DirEntry> DirEntryAt(Bytes bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(DirEntry)) return std::nullopt;
  DirEntry e;
  std::memcpy(&e, bytes.data() + offset, sizeof e);
  return e;
}

bool PutDirEntry(MutableBytes bytes, std::size_t offset, const DirEntry& e) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(DirEntry)) return false;
  std::memcpy(bytes.data() + offset, &e, sizeof e);
  return true;
}

}  // namespace quarnel
