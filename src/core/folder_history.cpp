#include "core/folder_history.h"

#include <algorithm>

#include "core/directory.h"

namespace quarnel {

bool SamePlace(const FolderPlace& a, const FolderPlace& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const DirLevel& x, const DirLevel& y) { return x.dir == y.dir; });
}

void FolderHistory::Visit(const FolderPlace& place) {
  if (place.empty()) return;
  if (!places_.empty()) {
    if (SamePlace(places_[at_], place)) {
      places_[at_] = place;  // the same folders, perhaps renamed
      return;
    }
    places_.resize(at_ + 1);
  }
  places_.push_back(place);
  if (places_.size() > kMostPlaces) places_.erase(places_.begin());
  at_ = places_.size() - 1;
}

std::optional<FolderPlace> FolderHistory::Back() {
  if (!CanGoBack()) return std::nullopt;
  return places_[--at_];
}

std::optional<FolderPlace> FolderHistory::Forward() {
  if (!CanGoForward()) return std::nullopt;
  return places_[++at_];
}

void FolderHistory::Clear() {
  places_.clear();
  at_ = 0;
}

void KeepShownFolders(Workspace& ws) {
  for (std::size_t level = 1; level < ws.folders.size(); ++level) {
    const DirRef dir = ws.folders[level].dir;
    const auto parent = ListDirectory(ws.image, ws.folders[level - 1].dir);
    const bool listed =
        parent && std::ranges::any_of(EntriesOf(*parent), [&](const FileEntry& e) {
          return e.IsDirectory() && !e.IsDot() && e.firstCluster == dir.firstCluster;
        });
    if (!listed) {
      ws.folders.resize(level);
      break;
    }
  }
  ws.Refresh();
}

bool RevisitPlace(Workspace& ws, const FolderPlace& place) {
  if (!ws.HasImage() || place.empty()) return false;
  ws.folders = place;
  if (ws.folders.size() > static_cast<std::size_t>(kDirStackDepth))
    ws.folders.resize(static_cast<std::size_t>(kDirStackDepth));
  KeepShownFolders(ws);
  return SamePlace(ws.folders, place);
}

}  // namespace quarnel
