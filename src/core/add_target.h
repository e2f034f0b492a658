// The file an add would replace: adding a host file under the name of a file already in the
// directory replaces it. Front ends that ask before replacing look here first.
#pragma once

#include <optional>
#include <string_view>

#include "core/disk_image.h"
#include "core/volume.h"

namespace quarnel {

// The file of `dir` whose name is `entryName` as MSX-DOS compares names (a-z folded), as the add
// finds it: a directory or volume entry of that name is never replaced. nullopt when there is
// none.
std::optional<FileEntry> FileReplacedByAdd(const DiskImage& image, const DirContents& dir,
                                           std::string_view entryName);

}  // namespace quarnel
