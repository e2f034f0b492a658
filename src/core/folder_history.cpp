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

FolderPlace PlaceStillThere(const DiskImage& image, const FolderPlace& place) {
  FolderPlace kept;
  for (const DirLevel& level : place) {
    if (!kept.empty()) {
      const auto parent = ListDirectory(image, kept.back().dir);
      const bool listed =
          parent && std::ranges::any_of(EntriesOf(*parent), [&](const FileEntry& e) {
            return e.IsDirectory() && !e.IsDot() && e.firstCluster == level.dir.firstCluster;
          });
      if (!listed) break;
    }
    kept.push_back(level);
  }
  return kept;
}

void KeepShownFolders(Workspace& ws) {
  ws.folders = PlaceStillThere(ws.image, ws.folders);
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
