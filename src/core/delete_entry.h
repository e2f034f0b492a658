// Deleting entries: a file's chain goes back to the free pool and its entry is marked 0xE5; a
// subdirectory goes only when it holds nothing but "." and "..", and its clusters are freed too.
// Entries are changed in the directory they were listed in (the root or a subdirectory).
#pragma once

#include <cstdint>
#include <vector>

#include "core/disk_image.h"
#include "core/outcome.h"
#include "core/volume.h"

namespace quarnel {

class ChangeGuard;
class Workspace;

// The clusters that freeing the chain from `first` releases, in chain order: a
// ChainPolicy::Free() walk. It ends at the end marker, at a value that is no data cluster, at a
// free entry and at a cluster met before, so it always ends and never leaves the data area. A
// cluster marked bad is never freed.
std::vector<std::uint16_t> ChainToFree(const DiskImage& image, std::uint16_t first);

// Sets the FAT entries of `clusters` to 0 (first FAT only).
void FreeClusters(DiskImage& image, const std::vector<std::uint16_t>& clusters);

enum class DeleteStatus {
  Deleted,
  NoImage,
  DotEntry,    // "." and ".." stay
  NotEmpty,    // "Directory not empty!"
  NeedsCheck,  // the FAT and the directories disagree on a cluster it frees, or a directory
               // below the one to delete is broken or leads back up
};
using DeleteOutcome = Outcome<DeleteStatus>;

// Deletes `entry`, listed in `dir`: a file's chain goes back to the free pool (also an empty
// file's: an entry of size 0 that still has clusters would leak them); a directory goes only when
// it holds nothing but its two dot entries. Long-name pieces PC systems wrote for it go with it.
// A run of changes to the image passes its `guard` (see ChangeGuard), which the deletion keeps up
// to date; without one the deletion checks on a map of its own.
DeleteOutcome DeleteEntry(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                          ChangeGuard* guard = nullptr);

// Deletes `entry`, listed in `dir`, and for a directory everything below it: every file's chain
// and every directory's chain go back to the free pool, and the entry (with its long-name
// pieces) is marked deleted; the entries below lie in the freed clusters. Decided whole before
// anything changes: a directory below whose chain is broken, or that leads back to the root or
// to a directory above it, refuses the whole deletion. A file is deleted as DeleteEntry does.
// `guard` as for DeleteEntry.
DeleteOutcome DeleteTree(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                         ChangeGuard* guard = nullptr);

// What a directory holds, at every level below it: the files and the directories that DeleteTree
// would remove with it (dot entries and volume labels not counted). A directory whose chain is
// broken counts as holding nothing; each directory is counted once however often it is listed.
struct TreeCount {
  std::size_t files = 0, folders = 0;
  bool Empty() const { return files == 0 && folders == 0; }
};
TreeCount CountBelow(const DiskImage& image, const FileEntry& directory);

// The Delete command on the shown directory: the entries of `slots` (the selected rows, in list
// order) one after another, then the directory is listed again. With `withContents` directories go
// with everything in them (DeleteTree), otherwise only empty ones. One outcome per slot that held
// an entry; the image counts as changed once anything was deleted.
std::vector<DeleteOutcome> DeleteSelected(Workspace& ws, const std::vector<int>& slots,
                                          bool withContents = false);

}  // namespace quarnel
