// Slots of the root directory in the image, comparing the name bytes of entries, and whether 32
// bytes read as an entry some system wrote.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "core/msx_name.h"

namespace quarnel {

// Byte offset of slot `slot` of the root directory; nullopt outside the root or the image.
std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot);

// True when the 32 bytes at `e` could be a slot a system wrote into a directory: free (first
// byte 0x00 with nothing after it, or 0xE5), a long-name piece, or an entry whose attribute has
// neither of the two unused high bits, whose name holds no control byte (a leading 0x05 stands
// for 0xE5), and whose first cluster is a FAT12 cluster number.
bool PlausibleEntry(const std::uint8_t* e);

// True when `slots` (a directory cluster, or the root) reads as directory data: at most half of
// the slots that are not blank hold no plausible entry. A file's data read as a directory fails.
bool LooksLikeDirectory(Bytes slots);

}  // namespace quarnel
