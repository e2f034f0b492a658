#include "viewers/disk_pictures.h"

#include <algorithm>
#include <optional>

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
  const auto isPicture = [](const FileEntry& e) {
    if (e.IsDirectory() || e.IsVolume()) return false;
    return ModeOfView(SelectorForCaption(e.Caption(), e.size)).has_value();
  };
  for (auto i = at - entries.begin() + step; i >= 0 && i < std::ssize(entries); i += step)
    if (isPicture(entries[static_cast<std::size_t>(i)]))
      return entries[static_cast<std::size_t>(i)];
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadDiskPicture(const DiskImage& image,
                                                         const DiskPicture& picture) {
  ChainBytes read = ReadChainBytes(image, picture.firstCluster, picture.size);
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace quarnel::viewers
