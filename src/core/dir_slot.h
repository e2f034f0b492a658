// Where the 32-byte entries of a directory lie in the image, so that a change to a listed entry
// lands in the directory that is shown (the root or a subdirectory's clusters).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/disk_image.h"

namespace quarnel {

class Workspace;

// Byte offset of slot `slot` of the root directory; nullopt outside the root or the image.
std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot);

// Byte offset of slot `slot` of the current directory of `ws` (following a subdirectory's
// chain); nullopt when the slot lies outside the directory, its chain or the image.
std::optional<std::size_t> CurrentSlotOffset(const Workspace& ws, int slot);

// The byte offsets of the VFAT long-name pieces that PC systems wrote for the entry in slot
// `slot` of the current directory: the pieces right before it, numbered 1, 2, ... backwards.
// Their checksum is not asked for: pieces in that place belong to this entry or, when the
// checksum is off, to no entry at all, so they go with it either way. Empty when there are none.
std::vector<std::size_t> LongNamePieceOffsets(const Workspace& ws, int slot);

// The 11 name bytes of an entry compared as MSX-DOS does, letters a-z folded to upper case.
bool SameMsxName(const std::uint8_t* a11, const std::uint8_t* b11);

// The "." and ".." entries of a subdirectory.
bool IsDotEntry(const std::uint8_t* name11);

}  // namespace quarnel
