#include "core/image_path.h"

#include "core/fat.h"
#include "core/msx_name.h"

namespace quarnel {

namespace {

// A caption or a typed name, compared without letter case, trailing blanks or a trailing dot:
// "README.   " and "readme" are the same name.
std::string NameKey(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.back() == '.') s.remove_suffix(1);
  return FoldedNameText(s);
}

// Walks the first `count` names of `names` from the root.
Resolved WalkDirectories(const DiskImage& image, const std::vector<std::string>& names,
                         std::size_t count) {
  Resolved r;
  if (!image.Usable()) return r;
  auto root = ListDirectory(image, kRootDir);
  if (!root) return r;  // never: the root lies inside a usable image
  r.folders.assign(1, DirLevel{"\\", kRootDir});
  r.listing = std::move(*root);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = names[i];
    if (name == "..") {
      if (r.folders.size() > 1) r.folders.pop_back();
      // The directory above is listed again as it stands: one whose chain broke gives way to
      // its parent, up to the root, which never breaks.
      while (r.folders.size() > 1 && !ListDirectory(image, r.folders.back().dir))
        r.folders.pop_back();
      if (auto contents = ListDirectory(image, r.folders.back().dir))
        r.listing = std::move(*contents);
      continue;
    }
    const std::optional<FileEntry> entry = FindEntryIn(r.listing, name);
    if (!entry) {
      r.result = {PathStatus::NotFound, name};
      return r;
    }
    if (!entry->IsDirectory()) {
      r.result = {PathStatus::NotADirectory, name};
      return r;
    }
    auto fail = [&](EnterOutcome why) {
      r.result = {PathStatus::Failed, name, why};
      return r;
    };
    if (static_cast<int>(r.folders.size()) >= kDirStackDepth) return fail(EnterOutcome::TooDeep);
    // Below 2, above the disk, or a cluster the image does not hold.
    if (!FirstClusterValid(image, entry->firstCluster)) return fail(EnterOutcome::Illegal);
    const DirRef dir{entry->firstCluster};
    auto contents = ListDirectory(image, dir);
    if (!contents) return fail(EnterOutcome::BrokenChain);
    r.folders.push_back({r.DirPath() + entry->Caption() + "\\", dir});
    r.listing = std::move(*contents);
  }
  r.result.status = PathStatus::Ok;
  return r;
}

}  // namespace

std::vector<std::string> SplitImagePath(std::string_view path) {
  std::vector<std::string> names;
  std::string cur;
  auto flush = [&] {
    if (!cur.empty() && cur != ".") names.push_back(cur);
    cur.clear();
  };
  for (char c : path) {
    if (c == '/' || c == '\\')
      flush();
    else
      cur.push_back(c);
  }
  flush();
  return names;
}

std::optional<FileEntry> FindEntryIn(const DirContents& dir, std::string_view name) {
  const std::string key = NameKey(name);
  if (key.empty()) return std::nullopt;
  for (FileEntry& e : EntriesOf(dir)) {
    if (e.IsDot() || e.IsVolume()) continue;
    if (NameKey(e.Caption()) == key) return std::move(e);
  }
  return std::nullopt;
}

std::optional<FileEntry> FindEntry(const Workspace& ws, std::string_view name) {
  return FindEntryIn(ws.listing, name);
}

Resolved ResolveDirectory(const DiskImage& image, std::string_view dirPath) {
  const auto names = SplitImagePath(dirPath);
  return WalkDirectories(image, names, names.size());
}

Resolved Resolve(const DiskImage& image, std::string_view path) {
  const auto names = SplitImagePath(path);
  if (names.empty()) {
    Resolved r;
    r.result = {image.Usable() ? PathStatus::NotFound : PathStatus::NoImage, std::string(path)};
    return r;
  }
  Resolved r = WalkDirectories(image, names, names.size() - 1);
  if (r.result.status != PathStatus::Ok) return r;
  r.entry = FindEntryIn(r.listing, names.back());
  if (!r.entry) r.result = {PathStatus::NotFound, names.back()};
  return r;
}

PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath) {
  if (!ws.HasImage()) return {};
  Resolved r = ResolveDirectory(ws.image, dirPath);
  if (r.result.status != PathStatus::Ok) return r.result;
  ws.folders = std::move(r.folders);
  ws.listing = std::move(r.listing);
  return r.result;
}

}  // namespace quarnel
