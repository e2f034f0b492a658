#include "core/image_path.h"

#include <algorithm>

#include "core/dir_entry.h"
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

// Where a walk of directories got to: the directories walked, the root first, and the slots of
// the last one.
struct Walked {
  PathResult result;
  std::vector<DirLevel> folders;
  const DirContents* listing = nullptr;
  std::string DirPath() const { return folders.empty() ? "\\" : folders.back().path; }
};

// Walks the first `count` names of `names` from the root. `list(dir)` gives the slots of a
// directory (null when its chain is broken), valid until the next call; `find(contents, name)`
// the entry FindEntryIn finds there.
template <class List, class Find>
Walked WalkDirectories(const DiskImage& image, const std::vector<std::string>& names,
                       std::size_t count, List list, Find find) {
  Walked r;
  if (!image.Usable()) return r;
  r.listing = list(kRootDir);
  if (!r.listing) return r;  // never: the root lies inside a usable image
  r.folders.assign(1, DirLevel{"\\", kRootDir});
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = names[i];
    if (name == "..") {
      if (r.folders.size() > 1) r.folders.pop_back();
      // The directory above is listed again as it stands: one whose chain broke gives way to
      // its parent, up to the root, which never breaks.
      while (r.folders.size() > 1 && !list(r.folders.back().dir)) r.folders.pop_back();
      if (const DirContents* contents = list(r.folders.back().dir)) r.listing = contents;
      continue;
    }
    const std::optional<FileEntry> entry = find(*r.listing, name);
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
    const DirContents* contents = list(dir);
    if (!contents) return fail(EnterOutcome::BrokenChain);
    r.folders.push_back({r.DirPath() + entry->Caption() + "\\", dir});
    r.listing = contents;
  }
  r.result.status = PathStatus::Ok;
  return r;
}

// WalkDirectories listing each directory anew, as Resolve walks.
Resolved WalkListing(const DiskImage& image, const std::vector<std::string>& names,
                     std::size_t count) {
  std::optional<DirContents> held;  // the last listing
  auto list = [&](DirRef dir) -> const DirContents* {
    auto contents = ListDirectory(image, dir);
    if (!contents) return nullptr;
    held = std::move(contents);
    return &*held;
  };
  Walked w = WalkDirectories(image, names, count, list, FindEntryIn);
  Resolved r;
  r.result = std::move(w.result);
  r.folders = std::move(w.folders);
  if (w.listing) r.listing = std::move(*held);
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
  return WalkListing(image, names, names.size());
}

Resolved Resolve(const DiskImage& image, std::string_view path) {
  const auto names = SplitImagePath(path);
  if (names.empty()) {
    Resolved r;
    r.result = {image.Usable() ? PathStatus::NotFound : PathStatus::NoImage, std::string(path)};
    return r;
  }
  Resolved r = WalkListing(image, names, names.size() - 1);
  if (r.result.status != PathStatus::Ok) return r;
  r.entry = FindEntryIn(r.listing, names.back());
  if (!r.entry) r.result = {PathStatus::NotFound, names.back()};
  return r;
}

// One directory as the index holds it: its slots (none when its chain is broken) and, by name
// key, the slots of the entries FindEntryIn could find, in slot order.
struct PathIndex::Listed {
  std::optional<DirContents> contents;
  std::unordered_map<std::string, std::vector<int>> byName;

  // The key FindEntryIn matches the entry of `slot` by; empty when it is never found.
  std::string KeyOf(int slot) const {
    const std::optional<FileEntry> e = EntryAt(*contents, slot);
    if (!e || e->IsDot() || e->IsVolume()) return {};
    return NameKey(e->Caption());
  }
  void Index(int slot) {
    const std::string key = KeyOf(slot);
    if (key.empty()) return;
    std::vector<int>& slots = byName[key];
    slots.insert(std::lower_bound(slots.begin(), slots.end(), slot), slot);
  }
  void Unindex(int slot) {
    auto it = byName.find(KeyOf(slot));
    if (it == byName.end()) return;
    std::erase(it->second, slot);
    if (it->second.empty()) byName.erase(it);
  }
  std::optional<FileEntry> Find(std::string_view name) const {
    const std::string key = NameKey(name);
    if (key.empty()) return std::nullopt;
    auto it = byName.find(key);
    if (it == byName.end()) return std::nullopt;
    return EntryAt(*contents, it->second.front());
  }
};

PathIndex::PathIndex(const DiskImage& image) : image_(image) {}
PathIndex::~PathIndex() = default;

const PathIndex::Listed* PathIndex::List(DirRef dir) {
  std::unique_ptr<Listed>& held = dirs_[dir.firstCluster];
  if (!held) {
    held = std::make_unique<Listed>();
    held->contents = ListDirectory(image_, dir);
    if (held->contents)
      for (int slot = 0; slot < static_cast<int>(held->contents->table.size()); ++slot)
        held->Index(slot);
  }
  return held->contents ? held.get() : nullptr;
}

PathIndex::Found PathIndex::Resolve(std::string_view path) {
  Found found;
  const auto names = SplitImagePath(path);
  if (names.empty()) {
    found.result = {image_.Usable() ? PathStatus::NotFound : PathStatus::NoImage,
                    std::string(path)};
    return found;
  }
  auto list = [this](DirRef dir) -> const DirContents* {
    const Listed* listed = List(dir);
    return listed ? &*listed->contents : nullptr;
  };
  // The listings are the index's own: a name is found through the directory's index.
  auto find = [this](const DirContents& contents, std::string_view name) {
    return dirs_.at(contents.dir.firstCluster)->Find(name);
  };
  Walked w = WalkDirectories(image_, names, names.size() - 1, list, find);
  found.result = std::move(w.result);
  found.listing = w.listing;
  if (found.result.status != PathStatus::Ok) return found;
  found.entry = find(*found.listing, names.back());
  if (!found.entry) found.result = {PathStatus::NotFound, names.back()};
  return found;
}

void PathIndex::Reread(DirRef dir, int first, int last) {
  auto it = dirs_.find(dir.firstCluster);
  if (it == dirs_.end() || !it->second->contents) return;
  Listed& listed = *it->second;
  auto& table = listed.contents->table;
  first = std::max(first, 0);
  last = std::min(last, static_cast<int>(table.size()) - 1);
  for (int slot = first; slot <= last; ++slot) {
    DirContents::Slot& s = table[static_cast<std::size_t>(slot)];
    const std::optional<Bytes> raw = image_.Read(s.offset, kDirEntrySize);
    if (!raw) continue;
    listed.Unindex(slot);
    s.record = DecodeListingRecord(raw->data());
    listed.Index(slot);
  }
}

void PathIndex::Drop(DirRef dir) { dirs_.erase(dir.firstCluster); }

PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath) {
  if (!ws.HasImage()) return {};
  Resolved r = ResolveDirectory(ws.image, dirPath);
  if (r.result.status != PathStatus::Ok) return r.result;
  ws.folders = std::move(r.folders);
  ws.listing = std::move(r.listing);
  return r.result;
}

}  // namespace quarnel
