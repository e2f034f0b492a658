// Back and Forward through the folders of a disk image: each place is the stack of directories
// from the root down, as the workspace showed it. A place is shown again by the directories'
// identities (their first clusters, each found in the one above it), not by their names, so a
// folder deleted or moved meanwhile is not entered by mistake.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/workspace.h"

namespace quarnel {

using FolderPlace = std::vector<DirLevel>;

// The same directories from the root down (the paths as shown may differ after a rename).
bool SamePlace(const FolderPlace& a, const FolderPlace& b);

class FolderHistory {
 public:
  // Places kept behind the current one; the oldest go first.
  static constexpr std::size_t kMostPlaces = 100;

  // The workspace shows `place`. A place other than the current one becomes current, and the
  // places ahead of the old one (Forward) are dropped, as a browser does.
  void Visit(const FolderPlace& place);
  bool CanGoBack() const { return at_ > 0; }
  bool CanGoForward() const { return at_ + 1 < places_.size(); }
  // The place before (Back) or after (Forward) the current one, which becomes current; nullopt
  // when there is none.
  std::optional<FolderPlace> Back();
  std::optional<FolderPlace> Forward();
  // The current place as it could be shown (a folder of it gone meanwhile).
  void Settle(const FolderPlace& place) {
    if (!places_.empty() && !place.empty()) places_[at_] = place;
  }
  // Another image, or the same one opened again: nothing to go back to.
  void Clear();

 private:
  std::vector<FolderPlace> places_;
  std::size_t at_ = 0;
};

// The levels of `place` that are still there in `image`: each directory below the root while
// the one above it lists it as a directory (by its first cluster); the first one gone ends it.
FolderPlace PlaceStillThere(const DiskImage& image, const FolderPlace& place);

// After the bytes of the workspace's image were put back or changed from outside its commands:
// each directory walked into stays shown while its parent still lists it as a directory (by its
// first cluster), else the walk ends at the deepest level that is still there; then the listing
// is read again.
void KeepShownFolders(Workspace& ws);

// Shows `place` in `ws` as far as it is still there: each directory below the root must still
// be a directory entry of the one above it, found by its first cluster. The walk stops at the
// first one that is gone, and the deepest one found is shown. True when the whole place was found.
bool RevisitPlace(Workspace& ws, const FolderPlace& place);

}  // namespace quarnel
