// The pictures of a disk: every file of the directory tree whose name a picture view takes (its
// extension chooses the mode, as a double-click does), in the order the tree walk meets them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/directory.h"
#include "core/disk_image.h"
#include "viewers/picture.h"

namespace quarnel::viewers {

struct DiskPicture {
  std::string path;                // "GAMES\TITLE.SC5": the names from the root down
  std::vector<std::string> names;  // the same names one by one ("GAMES", "TITLE.SC5")
  PictureMode mode = PictureMode::Screen2;
  std::uint16_t firstCluster = 0;
  std::uint32_t size = 0;
};

std::vector<DiskPicture> FindDiskPictures(const DiskImage& image);

// A picture file of one directory or below it, by its entry (directory and slot, by value).
struct PictureEntry {
  FileEntry entry;
  std::string path;  // "GAMES\TITLE.SC5": the names from the directory searched down
  PictureMode mode = PictureMode::Screen2;
};

// The picture files of `dir` and of every directory below it: each directory's own files in slot
// order, then the directories it holds, level by level. Each directory is read once, so a chain
// that leads back to a directory already read ends the walk there; a directory whose chain is
// broken is left out.
std::vector<PictureEntry> FindPicturesBelow(const DiskImage& image, DirRef dir);

// The mode a picture view shows for `entry` (its caption and size choose it, as a double-click
// does); none for directories, volume labels and files no picture view takes.
std::optional<PictureMode> PictureModeOf(const FileEntry& entry);

// The picture file after (`step` 1) or before (`step` -1) the entry in slot `slot` among
// `entries` (one directory's, in slot order): the nearest file whose name a picture view takes.
// nullopt at the end or the start of the directory.
std::optional<FileEntry> NeighbourPicture(const std::vector<FileEntry>& entries, int slot,
                                          int step);

// The file's bytes as its chain holds them (fewer than its size when the chain ends early);
// nullopt when the chain is broken.
std::optional<std::vector<std::uint8_t>> ReadDiskPicture(const DiskImage& image,
                                                         const DiskPicture& picture);

}  // namespace quarnel::viewers
