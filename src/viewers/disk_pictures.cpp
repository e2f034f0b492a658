#include "viewers/disk_pictures.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <set>

#include "core/dir_entry.h"
#include "core/tree_map.h"
#include "core/view_choice.h"
#include "core/volume.h"

namespace quarnel::viewers {

namespace {

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> names;
  std::size_t from = 0;
  for (std::size_t at; (at = path.find('\\', from)) != std::string::npos; from = at + 1)
    names.push_back(path.substr(from, at - from));
  names.push_back(path.substr(from));
  return names;
}

// The name of an entry as a path holds it: the blanks that pad the extension left out, as
// FindDiskPictures's paths have them.
std::string PathName(const FileEntry& e) {
  std::string ext = e.extension;
  while (!ext.empty() && ext.back() == ' ') ext.pop_back();
  return ext.empty() ? ShownText(e.name) : ShownText(e.name) + "." + ShownText(ext);
}

}  // namespace

std::vector<DiskPicture> FindDiskPictures(const DiskImage& image) {
  std::vector<DiskPicture> found;
  if (!image.Usable()) return found;
  const TreeClusters tree = MapTreeClusters(image);
  for (std::size_t i = 0; i < tree.entries.size(); ++i) {
    const TreeEntry& e = tree.entries[i];
    if (e.attribute & (kAttrDirectory | kAttrVolume)) continue;
    std::string path = tree.PathOf(i);
    std::vector<std::string> names = Split(path);
    const auto size = static_cast<std::int32_t>(std::min<std::uint32_t>(e.size, INT32_MAX));
    const std::optional<PictureMode> mode = ModeOfView(SelectorForCaption(names.back(), size));
    if (!mode) continue;
    found.push_back({std::move(path), std::move(names), *mode, e.firstCluster, e.size});
  }
  return found;
}

std::optional<FileEntry> NeighbourPicture(const std::vector<FileEntry>& entries, int slot,
                                          int step) {
  const auto at = std::find_if(entries.begin(), entries.end(),
                               [slot](const FileEntry& e) { return e.slot == slot; });
  if (at == entries.end() || step == 0) return std::nullopt;
  const auto isPicture = [](const FileEntry& e) { return PictureModeOf(e).has_value(); };
  for (auto i = at - entries.begin() + step; i >= 0 && i < std::ssize(entries); i += step)
    if (isPicture(entries[static_cast<std::size_t>(i)]))
      return entries[static_cast<std::size_t>(i)];
  return std::nullopt;
}

std::optional<PictureMode> PictureModeOf(const FileEntry& entry) {
  if (entry.IsDirectory() || entry.IsVolume()) return std::nullopt;
  return ModeOfView(SelectorForCaption(entry.Caption(), entry.size));
}

std::vector<PictureEntry> FindPicturesBelow(const DiskImage& image, DirRef dir) {
  std::vector<PictureEntry> found;
  if (!image.Usable()) return found;
  std::deque<std::pair<DirRef, std::string>> queue{{dir, std::string()}};
  std::set<std::uint16_t> read{dir.firstCluster};
  while (!queue.empty()) {
    auto [at, prefix] = std::move(queue.front());
    queue.pop_front();
    const std::optional<DirContents> contents = ListDirectory(image, at);
    if (!contents) continue;
    for (FileEntry& e : EntriesOf(*contents)) {
      if (e.IsDot() || e.IsVolume()) continue;
      if (e.IsDirectory()) {
        // A subdirectory's chain never starts at cluster 0, the root's mark.
        if (e.firstCluster != 0 && read.insert(e.firstCluster).second)
          queue.emplace_back(DirRef{e.firstCluster}, prefix + PathName(e) + "\\");
        continue;
      }
      const std::optional<PictureMode> mode = PictureModeOf(e);
      if (!mode) continue;
      std::string path = prefix + PathName(e);
      found.push_back({std::move(e), std::move(path), *mode});
    }
  }
  return found;
}

std::optional<std::vector<std::uint8_t>> ReadDiskPicture(const DiskImage& image,
                                                         const DiskPicture& picture) {
  ChainBytes read = ReadChainBytes(image, picture.firstCluster, picture.size);
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace quarnel::viewers
