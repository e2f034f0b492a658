// Deleting entries: a file's chain goes back to the free pool and its entry is marked 0xE5; a
// subdirectory goes only when it holds nothing but "." and "..", and its clusters are freed too.
// Entries are changed in the directory that is shown (the root or a subdirectory).
#pragma once

#include <cstdint>
#include <vector>

#include "core/disk_image.h"
#include "core/ui.h"

namespace quarnel {

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
  NoEntry,     // the entry does not lie in the shown directory
  DotEntry,    // "." and ".." stay (message shown)
  NotEmpty,    // "Directory not empty!" shown
  NeedsCheck,  // the FAT and the directories disagree on a cluster it frees (message shown)
};

// Deletes the entry decoded in ws.current (a file: its chain is freed when its size is above 0).
DeleteStatus DeleteEntry(Workspace& ws, Ui& ui);

// Deletes the directory decoded in ws.current when it holds only its two dot entries, freeing
// its chain; otherwise "Directory not empty!".
DeleteStatus DeleteDirectory(Workspace& ws, Ui& ui);

// The Delete command: every slot of the shown directory in `slots` (the selected rows' hidden
// column, in list order), directories through DeleteDirectory; then the list is read again once.
// Returns how many entries were deleted.
int DeleteSelected(Workspace& ws, const std::vector<int>& slots, Ui& ui);

}  // namespace quarnel
