#include "core/add_target.h"

#include "core/add_file.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"

namespace quarnel {

std::optional<FileEntry> FileReplacedByAdd(const DiskImage& image, const DirContents& dir,
                                           std::string_view entryName) {
  const auto name = MakeMsxName(entryName);
  for (FileEntry& e : EntriesOf(dir)) {
    if ((e.attribute & (kAttrVolume | kAttrDirectory)) != 0) continue;
    if (e.offset + 11 > image.Size()) continue;
    if (SameMsxName(image.Read(e.offset, kDirEntrySize)->data(), name.data())) return std::move(e);
  }
  return std::nullopt;
}

}  // namespace quarnel
