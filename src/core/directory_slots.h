// A directory's slots as a run of adds meets them: the listing, its free slots in order and its
// entries by folded name, kept up to date as the run writes, so that finding the slot of a new
// entry and the entries of the same name reads no slot a second time.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/directory.h"
#include "core/disk_image.h"
#include "core/msx_name.h"

namespace quarnel {

class DirectorySlots {
 public:
  explicit DirectorySlots(DirContents contents);

  const DirContents& Contents() const { return contents_; }
  // The first free slot (never used or deleted); nullopt when every slot is in use.
  std::optional<int> FirstFree() const;
  // The slots, in order, of the entries an add of `name` meets (MatchForAdd: a file or a
  // directory of that name).
  const std::vector<int>& Named(const MsxName11& name) const;

  // After slot `slot` was written: read again from the image.
  void Reread(const DiskImage& image, int slot);
  // After the directory grew by `cluster`: its slots are appended.
  void Grew(const DiskImage& image, std::uint16_t cluster);
  // The slot at image offset `offset`; nullopt when the directory has none there.
  std::optional<int> SlotAt(std::size_t offset) const;

 private:
  void Index(int slot);
  void Unindex(int slot);

  DirContents contents_;
  std::vector<bool> free_;                                   // by slot
  mutable std::size_t noneFreeBelow_ = 0;                    // no slot below it is free
  std::unordered_map<std::string, std::vector<int>> named_;  // by folded name
  std::map<std::size_t, int> runs_;  // image offset of each run of slots -> its first slot
};

}  // namespace quarnel
