// Slots of the root directory in the image, and comparing the name bytes of entries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/disk_image.h"

namespace quarnel {

// Byte offset of slot `slot` of the root directory; nullopt outside the root or the image.
std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot);

// The 11 name bytes of an entry compared as MSX-DOS does, letters a-z folded to upper case.
bool SameMsxName(const std::uint8_t* a11, const std::uint8_t* b11);

// The "." and ".." entries of a subdirectory.
bool IsDotEntry(const std::uint8_t* name11);

}  // namespace quarnel
