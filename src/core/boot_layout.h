// Whether the layout a boot sector gives fits the image it starts, and the standard layout of the
// image's size when it does not. The check, the repair and every writer that needs the layout
// confirmed ask here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/disk_image.h"
#include "core/new_image.h"

namespace quarnel {

// A media descriptor: 0xF0 or 0xF8..0xFF.
bool IsMediaByte(std::uint8_t b);

// What makes the (derived) geometry `g` implausible for the bytes of `image`, one sentence per
// problem; empty when nothing does. Looked at: 512-byte sectors; 1, 2, 4 or 8 sectors per
// cluster; reserved sectors; 1 or 2 FATs, each big enough for the clusters; a root directory of
// whole sectors; a media descriptor; a disk that the image holds, with room for data; the first
// FAT starting with a media descriptor and 0xFF 0xFF and a second one doing the same (or blank);
// and directory entries where the root directory lies.
std::vector<std::string> LayoutProblems(const DiskImage& image, const DiskGeometry& g);

// `image` read by `g` instead of its boot sector (the bytes are copied, nothing is written).
DiskImage WithGeometry(const DiskImage& image, const DiskGeometry& g);

// The verdict on an image's boot sector.
struct BootLayout {
  // Why the boot sector's layout does not fit the image (the load's refusal included); empty
  // when it does.
  std::vector<std::string> problems;
  // The standard row of the image's size (the one whose FATs and root directory are found where
  // it says, when one is); nullopt when no standard disk has that size.
  std::optional<GeometryRow> standard;
  bool standardFits = false;                  // `standard` has no layout problem on this image
  std::vector<std::string> standardProblems;  // the problems of `standard` when it does not fit
  bool refused = false;                       // the load refused the boot sector
  // The boot sector is plausible, and so is the standard layout, which places the FATs, the root
  // directory or the clusters elsewhere.
  bool standardDiffers = false;

  bool Plausible() const { return problems.empty(); }
  // A plausible boot sector, or a standard layout confirmed by the FATs and the root directory:
  // the disk may be read and mended by it.
  bool Confirmed() const { return Plausible() || standardFits; }
};

// Judges the boot sector of a loaded image (refused or not). A boot sector whose layout fits but
// differs from the confirmed standard layout of its size, and with which the disk reads with
// more findings of the check than with the standard one, is implausible too.
BootLayout JudgeBootLayout(const DiskImage& image);

// The one-sentence finding on an implausible boot sector: its problems and the standard layout
// proposed for the image's size.
std::string DescribeBootLayout(const BootLayout& layout);

}  // namespace quarnel
