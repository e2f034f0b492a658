// The file an add would replace: adding a host file under the name of a file already in the
// directory replaces it. Front ends that ask before replacing look here first; the add itself
// matches slots by the same rule.
#pragma once

#include <optional>
#include <string_view>

#include "core/directory.h"
#include "core/disk_image.h"
#include "core/msx_name.h"

namespace quarnel {

// How a slot of the target directory meets the name being added.
enum class AddMatch {
  Free,       // a free slot: the new entry may go there
  Other,      // another name, a long-name piece or a volume entry: never touched
  File,       // a file of that name (as MSX-DOS compares names): the add replaces it
  Directory,  // a directory of that name: never replaced
};
AddMatch MatchForAdd(const ListingRecord& slot, const MsxName11& name);

// The file of `dir` whose name is `entryName` as the add finds it (MatchForAdd). nullopt when
// there is none.
std::optional<FileEntry> FileReplacedByAdd(const DirContents& dir, std::string_view entryName);

}  // namespace quarnel
