// The attribute bits a user may set on an entry of a directory: read-only, hidden and archive.
// The system bit is shown but kept; the volume and directory bits say what the entry is and are
// never changed here.
#pragma once

#include <cstdint>

#include "core/directory.h"
#include "core/disk_image.h"
#include "core/outcome.h"

namespace quarnel {

// The bits SetEntryAttributes changes.
inline constexpr std::uint8_t kEditableAttributes = 0x01 | 0x02 | 0x20;

enum class AttributeStatus {
  Changed,
  Unchanged,  // the entry already has those bits
  NoImage,
  NotFound,    // slot `entry.slot` of `dir` holds no entry at `entry.offset` (any more)
  NotAllowed,  // a volume name, "." or "..", or bits outside kEditableAttributes asked for
  NeedsCheck,  // the entry lies in a cluster a file also uses: writing it would change that file
};
using AttributeOutcome = Outcome<AttributeStatus>;

// Gives the entry in slot `entry.slot` of `dir` the editable bits of `bits`: each bit of
// kEditableAttributes set or cleared as `bits` has it; every other bit and byte of the entry
// stays. Only the attribute byte is written.
AttributeOutcome SetEntryAttributes(DiskImage& image, const DirContents& dir,
                                    const FileEntry& entry, std::uint8_t bits);

}  // namespace quarnel
