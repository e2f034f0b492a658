#include "core/directory_slots.h"

#include <algorithm>

#include "core/add_target.h"
#include "core/dir_entry.h"

namespace quarnel {

namespace {

// The key entries of one name share: MatchForAdd compares names through the fold.
std::string KeyOf(const MsxName11& name) {
  const MsxName11 folded = FoldedMsxName(name.data());
  return std::string(folded.begin(), folded.end());
}

}  // namespace

DirectorySlots::DirectorySlots(DirContents contents) : contents_(std::move(contents)) {
  free_.assign(contents_.table.size(), false);
  named_.reserve(contents_.table.size());
  std::size_t next = 0;  // where a run of adjacent slots would go on
  for (int slot = 0; slot < static_cast<int>(contents_.table.size()); ++slot) {
    const std::size_t off = contents_.table[static_cast<std::size_t>(slot)].offset;
    if (slot == 0 || off != next) runs_[off] = slot;
    next = off + kDirEntrySize;
    Index(slot);
  }
}

void DirectorySlots::Index(int slot) {
  const ListingRecord& r = contents_.table[static_cast<std::size_t>(slot)].record;
  switch (MatchForAdd(r, NameOf(r))) {
    case AddMatch::Free:
      free_[static_cast<std::size_t>(slot)] = true;
      noneFreeBelow_ = std::min(noneFreeBelow_, static_cast<std::size_t>(slot));
      return;
    case AddMatch::Other:  // a long-name piece or a volume entry
      return;
    case AddMatch::File:
    case AddMatch::Directory:
      break;
  }
  std::vector<int>& slots = named_[KeyOf(NameOf(r))];
  slots.insert(std::lower_bound(slots.begin(), slots.end(), slot), slot);
}

void DirectorySlots::Unindex(int slot) {
  const ListingRecord& r = contents_.table[static_cast<std::size_t>(slot)].record;
  if (free_[static_cast<std::size_t>(slot)]) {
    free_[static_cast<std::size_t>(slot)] = false;
    return;
  }
  if (MatchForAdd(r, NameOf(r)) == AddMatch::Other) return;
  auto it = named_.find(KeyOf(NameOf(r)));
  if (it == named_.end()) return;
  std::erase(it->second, slot);
  if (it->second.empty()) named_.erase(it);
}

std::optional<int> DirectorySlots::FirstFree() const {
  while (noneFreeBelow_ < free_.size() && !free_[noneFreeBelow_]) ++noneFreeBelow_;
  if (noneFreeBelow_ == free_.size()) return std::nullopt;
  return static_cast<int>(noneFreeBelow_);
}

const std::vector<int>& DirectorySlots::Named(const MsxName11& name) const {
  static const std::vector<int> kNone;
  auto it = named_.find(KeyOf(name));
  return it == named_.end() ? kNone : it->second;
}

void DirectorySlots::Reread(const DiskImage& image, int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= contents_.table.size()) return;
  DirContents::Slot& s = contents_.table[static_cast<std::size_t>(slot)];
  const std::optional<Bytes> raw = image.Read(s.offset, kDirEntrySize);
  if (!raw) return;
  Unindex(slot);
  s.record = DecodeListingRecord(raw->data());
  Index(slot);
}

void DirectorySlots::Grew(const DiskImage& image, std::uint16_t cluster) {
  const std::size_t base = ClusterOffset(image.geometry, cluster);
  const std::optional<Bytes> data = ClusterData(image, cluster);
  if (!data) return;
  const int first = static_cast<int>(contents_.table.size());
  runs_[base] = first;
  for (std::size_t e = 0; e + kDirEntrySize <= data->size(); e += kDirEntrySize) {
    contents_.table.push_back({base + e, DecodeListingRecord(data->data() + e)});
    free_.push_back(false);
    Index(static_cast<int>(contents_.table.size()) - 1);
  }
}

std::optional<int> DirectorySlots::SlotAt(std::size_t offset) const {
  auto it = runs_.upper_bound(offset);
  if (it == runs_.begin()) return std::nullopt;
  --it;
  const std::size_t into = offset - it->first;
  if (into % kDirEntrySize != 0) return std::nullopt;
  const std::size_t slot = static_cast<std::size_t>(it->second) + into / kDirEntrySize;
  if (slot >= contents_.table.size() || contents_.table[slot].offset != offset) return std::nullopt;
  return static_cast<int>(slot);
}

}  // namespace quarnel
