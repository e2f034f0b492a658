#include "core/rename.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/add_file.h"
#include "core/ascii.h"
#include "core/boot_sector.h"
#include "core/change_guard.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/messages.h"
#include "core/msx_charset.h"

namespace quarnel {

RenameOutcome RenameEntry(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                          std::string_view newName) {
  if (!image.Usable()) return RenameStatus::NoImage;
  if (entry.IsDot()) return RenameStatus::DotEntry;
  if (!IsValidMsxName(newName)) return RenameStatus::Invalid;
  const auto name = MakeMsxName(newName);
  // A second entry of the same name would hide one of the two from MSX-DOS.
  for (const FileEntry& other : EntriesOf(dir)) {
    if (other.slot == entry.slot || other.IsVolume()) continue;
    const MsxName11 otherName = NameOf(dir.table[static_cast<std::size_t>(other.slot)].record);
    if (SameMsxName(otherName.data(), name.data())) return RenameStatus::Duplicate;
  }
  // A long name that PC systems wrote for the old name would now belong to no entry.
  std::vector<std::size_t> written = LongNamePieceOffsets(dir, entry.slot);
  written.push_back(entry.offset);
  if (auto why = CheckChange(image, PlannedChange{{}, {}, {}, written}))
    return {RenameStatus::NeedsCheck, std::move(*why)};
  written.pop_back();
  for (auto piece : written) image.PutByte(piece, kEntryDeleted);
  image.Write(entry.offset, Bytes(name.data(), name.size()));
  return RenameStatus::Renamed;
}

namespace {

// Slot of the root's volume entry: a live entry (as listed) with bit 0x08, no long-name piece.
std::optional<int> RootVolumeSlot(const DiskImage& img) {
  const std::vector<std::size_t> slots = RootSlotOffsets(img);
  for (std::size_t slot = 0; slot < slots.size(); ++slot) {
    const std::optional<Bytes> raw = img.Read(slots[slot], kDirEntrySize);
    if (!raw) break;
    const DirEntry e = *DirEntryAt(*raw, 0);
    if (IsFreeSlot(e.name[0]) || IsLongNameAttribute(e.attribute)) continue;
    if (e.attribute & kAttrVolume) return static_cast<int>(slot);
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

// The extended boot record of a hard-disk volume: its signature, and the volume name PC systems
// read from the boot sector. An MSX floppy keeps its boot program or VOL_ID there instead.
constexpr std::size_t kExtendedSignatureOffset = 0x26;
constexpr std::uint8_t kExtendedSignature = 0x29;
constexpr std::size_t kBootLabelOffset = 0x2B;

// Writes `name` (NO NAME when it is blank) into the boot sector of a volume larger than a floppy
// that has the extended record, so that the name reads the same there as in the root.
void PutBootLabel(DiskImage& img, std::array<std::uint8_t, 11> name) {
  if (img.Size() <= kLargestFloppyBytes ||
      img.ByteAt(kExtendedSignatureOffset) != kExtendedSignature)
    return;
  if (name == VolumeBytes("")) name = VolumeBytes("NO NAME");
  img.Write(kBootLabelOffset, Bytes(name.data(), name.size()));
}

VolumeOutcome WriteVolumeName(DiskImage& img, std::string_view text, const Clock& clock);

}  // namespace

VolumeOutcome SetVolumeName(DiskImage& img, std::string_view text, const Clock& clock) {
  const VolumeOutcome out = WriteVolumeName(img, text, clock);
  if (out == VolumeStatus::Written || out == VolumeStatus::Created || out == VolumeStatus::Cleared)
    PutBootLabel(img, VolumeBytes(text.substr(0, std::min(text.size(), kVolumeNameLength))));
  return out;
}

namespace {

VolumeOutcome WriteVolumeName(DiskImage& img, std::string_view text, const Clock& clock) {
  if (!img.Usable()) return VolumeStatus::Unchanged;
  text = text.substr(0, std::min(text.size(), kVolumeNameLength));
  const auto slot = RootVolumeSlot(img);
  // The name the entry holds, typed again (with or without the blanks of the extension field
  // that the listed caption carries), changes nothing.
  if (slot && VolumeBytes(text) == VolumeBytes(VolumeNameOf(img))) return VolumeStatus::Unchanged;
  if (!text.empty() && text.front() == ' ')
    return {VolumeStatus::LeadingBlank, std::string(msg::kVolumeLeadingBlank)};
  const auto name = VolumeBytes(text);
  if (slot) {
    const std::size_t off = *RootSlotOffset(img, *slot);
    if (text.empty()) {
      img.PutByte(off, kEntryDeleted);
      return VolumeStatus::Cleared;
    }
    std::array<std::uint8_t, 12> e;
    std::copy(name.begin(), name.end(), e.begin());
    e[0] = StoredFirstByte(e[0]);
    e[11] = static_cast<std::uint8_t>(img.ByteAt(off + 11).value_or(0) | kAttrVolume);
    img.Write(off, e);
    return VolumeStatus::Written;
  }
  if (text.empty()) return VolumeStatus::Unchanged;  // no volume entry to remove
  auto free = FindFreeRootSlot(img);
  if (!free) return {VolumeStatus::DirectoryFull, std::string(msg::kDirectoryFull)};
  DirEntry e{};
  std::memcpy(e.name, name.data(), 8);
  std::memcpy(e.extension, name.data() + 8, 3);
  e.name[0] = StoredFirstByte(e.name[0]);
  e.attribute = kAttrVolume;
  e.time.Set(0);
  e.date.Set(FatDate(clock.Now()));
  img.Write(*RootSlotOffset(img, *free), EntryBytes(e));
  return VolumeStatus::Created;
}

}  // namespace

namespace {

// `text` through the international character set; NotInCharset or ControlByte when a character
// does not come through, or comes through as a control code.
FieldText FieldFromText(std::string_view text) {
  FieldText out;
  const std::optional<std::string> bytes = MsxCharset::International().FromUtf8(text);
  if (!bytes) {
    // A control character is no character of the set either: say which it is.
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    out.problem = control ? NameProblem::ControlByte : NameProblem::NotInCharset;
    return out;
  }
  out.bytes = *bytes;
  for (char c : out.bytes)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) out.problem = NameProblem::ControlByte;
  return out;
}

}  // namespace

FieldText VolumeNameFromText(std::string_view text) {
  FieldText out = FieldFromText(text);
  if (!out.ok()) return out;
  for (char& c : out.bytes) {
    if (c != ' ' && IsForbiddenNameChar(c)) out.problem = NameProblem::ForbiddenChar;
    c = static_cast<char>(AsciiUpper(static_cast<std::uint8_t>(c)));
  }
  return out;
}

FieldText OemSignatureFromText(std::string_view text) { return FieldFromText(text); }

std::string VolumeNameOf(const DiskImage& img) {
  if (!img.Usable()) return {};
  auto slot = RootVolumeSlot(img);
  if (!slot) return {};
  const std::optional<Bytes> raw = img.Read(*RootSlotOffset(img, *slot), kVolumeNameLength);
  if (!raw) return {};
  const std::uint8_t* e = raw->data();
  std::string s(reinterpret_cast<const char*>(e), kVolumeNameLength);
  s[0] = static_cast<char>(ReadFirstByte(e[0]));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string OemSignatureOf(const DiskImage& img) {
  std::string s;
  for (std::size_t i = 0; i < kBootOemLength && kBootOemOffset + i < img.Size(); ++i)
    s.push_back(static_cast<char>(img.ByteAt(kBootOemOffset + i).value_or(0)));
  return s;
}

bool SetOemSignature(DiskImage& img, std::string_view text) {
  if (img.Size() < kBootOemOffset + kBootOemLength) return false;
  std::array<std::uint8_t, kBootOemLength> oem{};
  for (std::size_t i = 0; i < kBootOemLength && i < text.size(); ++i)
    oem[i] = static_cast<std::uint8_t>(text[i]);
  return img.Write(kBootOemOffset, oem);
}

}  // namespace quarnel
