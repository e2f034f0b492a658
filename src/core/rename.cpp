#include "core/rename.h"

#include <algorithm>
#include <cstring>

#include "core/add_file.h"
#include "core/boot_sector.h"
#include "core/change_guard.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"
#include "core/directory.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

RenameStatus RenameEntry(Workspace& ws, int slot, std::string_view newName, std::string* refusal) {
  if (!ws.HasImage()) return RenameStatus::NoImage;
  auto off = CurrentSlotOffset(ws, slot);
  if (!off || IsFreeSlot(ws.image.bytes[*off])) return RenameStatus::NoEntry;
  std::uint8_t* entry = ws.image.bytes.data() + *off;
  if (IsDotEntry(entry)) return RenameStatus::DotEntry;
  if (!IsValidMsxName(newName)) return RenameStatus::Invalid;
  const auto name = MakeMsxName(newName);
  // A second entry of the same name would hide one of the two from MSX-DOS.
  // (The listing holds the slots of the shown directory as they are in the image.)
  for (std::size_t other = 0; other < ws.listing.size(); ++other) {
    if (static_cast<int>(other) == slot) continue;
    const ListingRecord& r = ws.listing[other];
    if (IsFreeSlot(r.name[0]) || IsLongNameAttribute(r.attribute) || (r.attribute & kAttrVolume))
      continue;
    std::uint8_t e[11];
    std::copy(r.name.begin(), r.name.end(), e);
    std::copy(r.extension.begin(), r.extension.end(), e + 8);
    if (SameMsxName(e, name.data())) return RenameStatus::Duplicate;
  }
  // A long name that PC systems wrote for the old name would now belong to no entry.
  std::vector<std::size_t> written = LongNamePieceOffsets(ws, slot);
  written.push_back(*off);
  if (auto why = CheckChange(ws.image, PlannedChange{{}, {}, {}, written})) {
    if (refusal) *refusal = std::move(*why);
    return RenameStatus::NeedsCheck;
  }
  written.pop_back();
  for (auto piece : written) ws.image.bytes[piece] = kEntryDeleted;
  std::memcpy(entry, name.data(), name.size());
  ws.image.changed = true;
  // The listing follows the bytes; the row shows the name as typed.
  if (static_cast<std::size_t>(slot) < ws.listing.size()) {
    auto& r = ws.listing[static_cast<std::size_t>(slot)];
    std::copy(name.begin(), name.begin() + 8, r.name.begin());
    std::copy(name.begin() + 8, name.end(), r.extension.begin());
  }
  for (auto& row : ws.fileList.rows)
    if (row.slot == slot) row.caption = std::string(newName);
  return RenameStatus::Renamed;
}

namespace {

// Slot of the root's volume entry: a live entry (as listed) with bit 0x08, no long-name piece.
std::optional<int> RootVolumeSlot(const DiskImage& img) {
  for (int slot = 0; slot < static_cast<int>(img.geometry.rootEntries); ++slot) {
    auto off = RootSlotOffset(img, slot);
    if (!off) break;
    const std::uint8_t* e = img.bytes.data() + *off;
    if (IsFreeSlot(e[0]) || IsLongNameAttribute(e[11])) continue;
    if (e[11] & kAttrVolume) return slot;
  }
  return std::nullopt;
}

std::array<std::uint8_t, 11> VolumeBytes(std::string_view text) {
  std::array<std::uint8_t, 11> out;
  out.fill(' ');
  for (std::size_t i = 0; i < text.size() && i < out.size(); ++i)
    out[i] = static_cast<std::uint8_t>(text[i]);
  return out;
}

}  // namespace

VolumeStatus SetVolumeName(Workspace& ws, std::string_view text, Ui& ui, const Clock& clock) {
  if (!ws.HasImage()) return VolumeStatus::Unchanged;
  text = text.substr(0, std::min(text.size(), kVolumeNameLength));
  if (text == ws.listedVolume) return VolumeStatus::Unchanged;
  // The listed name carries the blanks of the extension field: the name the entry already holds,
  // typed again without them, changes nothing either.
  if (!ws.listedVolume.empty() && VolumeBytes(text) == VolumeBytes(VolumeNameOf(ws)))
    return VolumeStatus::Unchanged;
  if (!text.empty() && text.front() == ' ') {
    ui.Notify(msg::kVolumeLeadingBlank);
    ws.volumeField = ws.listedVolume;
    return VolumeStatus::LeadingBlank;
  }
  DiskImage& img = ws.image;
  const auto name = VolumeBytes(text);
  if (!ws.listedVolume.empty()) {
    auto slot = RootVolumeSlot(img);
    if (!slot) return VolumeStatus::Unchanged;
    ws.listedVolume = std::string(text);
    std::uint8_t* e = img.bytes.data() + *RootSlotOffset(img, *slot);
    if (text.empty()) {
      e[0] = kEntryDeleted;
      img.changed = true;
      ws.volumeField.clear();
      ReadDirectory(ws, ui);
      return VolumeStatus::Cleared;
    }
    std::memcpy(e, name.data(), name.size());
    if (e[0] == kEntryDeleted) e[0] = kEntryE5Stand;
    e[11] |= kAttrVolume;
    img.changed = true;
    ReadDirectory(ws, ui);
    return VolumeStatus::Written;
  }
  if (text.empty()) return VolumeStatus::Unchanged;  // no volume entry to remove
  ws.listedVolume = std::string(text);
  auto slot = FindFreeRootSlot(img);
  if (!slot) {
    ui.Notify(msg::kDirectoryFull);
    ws.volumeField.clear();
    return VolumeStatus::DirectoryFull;
  }
  DirEntry e{};
  std::memcpy(e.name, name.data(), 8);
  std::memcpy(e.extension, name.data() + 8, 3);
  if (e.name[0] == kEntryDeleted) e.name[0] = kEntryE5Stand;
  e.attribute = kAttrVolume;
  e.time.Set(0);
  e.date.Set(FatDate(clock.Now()));
  PutDirEntry(img.MutableView(), *RootSlotOffset(img, *slot), e);
  img.changed = true;
  ReadDirectory(ws, ui);
  return VolumeStatus::Created;
}

std::string VolumeNameOf(const Workspace& ws) {
  if (!ws.HasImage()) return {};
  auto slot = RootVolumeSlot(ws.image);
  if (!slot) return {};
  const std::uint8_t* e = ws.image.bytes.data() + *RootSlotOffset(ws.image, *slot);
  std::string s(reinterpret_cast<const char*>(e), kVolumeNameLength);
  if (e[0] == kEntryE5Stand) s[0] = static_cast<char>(kEntryDeleted);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

bool SetOemSignature(Workspace& ws, std::string_view text) {
  DiskImage& img = ws.image;
  if (img.imagePath.empty() || img.bytes.size() < kBootOemOffset + kBootOemLength) return false;
  for (std::size_t i = 0; i < kBootOemLength; ++i)
    img.bytes[kBootOemOffset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x00;
  ws.oemField.assign(reinterpret_cast<const char*>(img.bytes.data() + kBootOemOffset),
                     kBootOemLength);
  img.changed = true;
  return true;
}

}  // namespace quarnel
