// Three small edits: renaming an entry of a directory, the disk's volume name (an entry
// of the root directory with attribute bit 0x08) and the 8-byte OEM signature of the boot sector.
#pragma once

#include <string>
#include <string_view>

#include "core/add_file.h"
#include "core/clock.h"
#include "core/disk_image.h"
#include "core/outcome.h"
#include "core/volume.h"

namespace quarnel {

enum class RenameStatus {
  Renamed,
  NoImage,
  Invalid,     // the name breaks the 8.3 rule (IsValidMsxName); nothing changed
  Duplicate,   // another entry of the directory has that name; nothing changed
  DotEntry,    // "." and ".." keep their names
  NeedsCheck,  // the entry lies in a cluster a file also uses: writing it would change that file
};
using RenameOutcome = Outcome<RenameStatus>;

// Writes MakeMsxName(newName) into the name bytes of `entry`, listed in `dir`; the attribute and
// every other byte stay.
RenameOutcome RenameEntry(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                          std::string_view newName);

// Longest volume name a volume entry holds.
inline constexpr std::size_t kVolumeNameLength = 11;

enum class VolumeStatus {
  Unchanged,      // no image, or the text is the name the entry holds
  Written,        // an existing volume entry got the text
  Created,        // a new volume entry, dated today at 00:00:00
  Cleared,        // empty text: the volume entry is marked deleted
  DirectoryFull,  // "Directory full"
  LeadingBlank,   // refused: a name that starts with a blank
};
using VolumeOutcome = Outcome<VolumeStatus>;

// The volume-name edit: writes `text` (cut to 11 characters, padded with blanks, not
// upper-cased; bytes of 0x80 and more kept) into the root directory's volume entry, or makes one
// in the first free root slot. An empty text removes the volume entry (an entry of 11 blanks is
// no name). The name the entry holds, typed again with or without the blanks of its extension
// field, changes nothing. Always acts on the root directory.
VolumeOutcome SetVolumeName(DiskImage& image, std::string_view text, const Clock& clock);

// Typed text (UTF-8) as the bytes of a name field, or why it cannot be one.
struct FieldText {
  std::string bytes;
  NameProblem problem = NameProblem::Ok;
  bool ok() const { return problem == NameProblem::Ok; }
};

// A volume name as typed: each character as the MSX international character set has it ("ã" is
// 0xB1), a-z upper-cased as MSX-DOS keeps names. A control character, one that the set does not
// have and one that no name may hold (the blank aside) are refused.
FieldText VolumeNameFromText(std::string_view text);

// An OEM signature as typed: each character as the MSX international character set has it,
// letter case kept (formatting programs write "mkfs.fat"). A control character and one that the
// set does not have are refused.
FieldText OemSignatureFromText(std::string_view text);

// The volume name of the root directory's volume entry, trailing blanks removed; empty when
// there is none.
std::string VolumeNameOf(const DiskImage& image);

// The 8 bytes of the OEM signature (boot-sector bytes 3-10), one character each; "" without an
// image.
std::string OemSignatureOf(const DiskImage& image);
// Writes `text` (cut to 8 characters, padded with 0x00) into boot-sector bytes 3-10, also when
// the text is what was there. False when no image is loaded.
bool SetOemSignature(DiskImage& image, std::string_view text);

}  // namespace quarnel
