// Three small edits: renaming an entry of the shown directory, the disk's volume name (an entry
// of the root directory with attribute bit 0x08) and the 8-byte OEM signature of the boot sector.
#pragma once

#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/ui.h"

namespace quarnel {

class Workspace;

enum class RenameStatus {
  Renamed,
  NoImage,
  Invalid,     // the name breaks the 8.3 rule (IsValidMsxName); nothing changed
  Duplicate,   // another entry of the shown directory has that name; nothing changed
  DotEntry,    // "." and ".." keep their names
  NoEntry,     // the slot holds no entry
  NeedsCheck,  // the entry lies in a cluster a file also uses: writing it would change that file
};

// Writes MakeMsxName(newName) into the name bytes of slot `slot` of the shown directory; the
// attribute and every other byte stay. The row keeps `newName` as its caption, as typed. For
// NeedsCheck, `refusal` (when given) receives the message to show.
RenameStatus RenameEntry(Workspace& ws, int slot, std::string_view newName,
                         std::string* refusal = nullptr);

// Longest volume name a volume entry holds.
inline constexpr std::size_t kVolumeNameLength = 11;

enum class VolumeStatus {
  Unchanged,      // no image, or the text is the remembered name
  Written,        // an existing volume entry got the text
  Created,        // a new volume entry, dated today at 00:00:00
  Cleared,        // empty text: the volume entry is marked deleted
  DirectoryFull,  // "Directory full" shown; the volume field is cleared
  LeadingBlank,   // refused: a name that starts with a blank (message shown)
};

// The volume-name edit: writes `text` (cut to 11 characters, padded with blanks, not
// upper-cased; bytes of 0x80 and more kept) into the root directory's volume entry, or makes one
// in the first free root slot. An empty text removes the volume entry (an entry of 11 blanks is
// no name). Always acts on the root directory, whichever directory is shown.
VolumeStatus SetVolumeName(Workspace& ws, std::string_view text, Ui& ui, const Clock& clock);

// The volume name of the root directory's volume entry, trailing blanks removed; empty when
// there is none.
std::string VolumeNameOf(const Workspace& ws);

// Writes `text` (cut to 8 characters, padded with 0x00) into boot-sector bytes 3-10 and marks the
// image changed, also when the text is what was there. False when no image is loaded.
bool SetOemSignature(Workspace& ws, std::string_view text);

}  // namespace quarnel
