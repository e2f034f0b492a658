#include "core/entry_attributes.h"

#include "core/change_guard.h"
#include "core/dir_entry.h"

namespace quarnel {

namespace {

// Where the attribute byte lies in a 32-byte entry.
constexpr std::size_t kAttributeByte = 11;

}  // namespace

AttributeOutcome SetEntryAttributes(DiskImage& image, const DirContents& dir,
                                    const FileEntry& entry, std::uint8_t bits) {
  if (!image.Usable()) return AttributeStatus::NoImage;
  if (bits & ~kEditableAttributes) return AttributeStatus::NotAllowed;
  // The entry as the directory holds it now, by its slot and where it lies.
  const std::optional<FileEntry> now = EntryAt(dir, entry.slot);
  if (!now || now->offset != entry.offset) return AttributeStatus::NotFound;
  if (now->IsDot() || (now->IsVolume() && !now->IsDirectory())) return AttributeStatus::NotAllowed;
  const std::optional<std::uint8_t> held = image.ByteAt(now->offset + kAttributeByte);
  if (!held) return AttributeStatus::NotFound;
  const auto wanted = static_cast<std::uint8_t>((*held & ~kEditableAttributes) | bits);
  if (wanted == *held) return AttributeStatus::Unchanged;
  if (auto why = CheckChange(image, PlannedChange{{}, {}, {}, {now->offset}}))
    return {AttributeStatus::NeedsCheck, std::move(*why)};
  image.PutByte(now->offset + kAttributeByte, wanted);
  return AttributeStatus::Changed;
}

}  // namespace quarnel
