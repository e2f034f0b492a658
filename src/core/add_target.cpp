#include "core/add_target.h"

#include "core/dir_entry.h"

namespace quarnel {

AddMatch MatchForAdd(const ListingRecord& slot, const MsxName11& name) {
  if (IsFreeSlot(slot.name[0])) return AddMatch::Free;
  // The common case, decided on the first byte.
  if (FoldNameByte(slot.name[0], true) != FoldNameByte(name[0], true)) return AddMatch::Other;
  if (IsLongNameAttribute(slot.attribute) || (slot.attribute & kAttrVolume)) return AddMatch::Other;
  if (!SameMsxName(NameOf(slot).data(), name.data())) return AddMatch::Other;
  return (slot.attribute & kAttrDirectory) ? AddMatch::Directory : AddMatch::File;
}

std::optional<FileEntry> FileReplacedByAdd(const DirContents& dir, std::string_view entryName) {
  const MsxName11 name = MakeMsxName(entryName);
  for (int slot = 0; slot < static_cast<int>(dir.table.size()); ++slot)
    if (MatchForAdd(dir.table[static_cast<std::size_t>(slot)].record, name) == AddMatch::File)
      return EntryAt(dir, slot);
  return std::nullopt;
}

}  // namespace quarnel
