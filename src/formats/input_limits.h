// The largest host file each converter reads: a larger one cannot be an image of its format and
// is refused before a byte of it is read.
#pragma once

#include <cstdint>

#include "core/disk_image.h"
#include "formats/disk_convert.h"
#include "formats/xsa_encode.h"

namespace quarnel {

// A .DDI: its header before the largest disk.
inline constexpr std::uintmax_t kMaxDdiFile = kDdiHeaderBytes + kLargestImageSize;
// An .IMG: a standard disk size, or 737,281 bytes.
inline constexpr std::uintmax_t kMaxImgFile =
    kLargestImageSize > kImgWithLeadByte ? kLargestImageSize : kImgWithLeadByte;
// An .MSX: exactly 737,280 bytes.
inline constexpr std::uintmax_t kMaxMsxFile = kMsxImageBytes;
// An .XSA: what xsc makes of its largest input (16 MiB at 9 bits a byte at worst, 18 MiB) with
// room for the header.
inline constexpr std::uintmax_t kMaxXsaFile = 20 * 1024 * 1024;
static_assert(kMaxXsaFile > kMaxXsaInput / 8 * 9 + 65536);

}  // namespace quarnel
