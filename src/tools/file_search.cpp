#include "tools/file_search.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <utility>

#include "core/dir_entry.h"
#include "core/tree_map.h"
#include "core/volume.h"
#include "tools/search.h"

namespace quarnel::tools {

namespace {

// An entry's name in a path: its caption without the blanks and the dot of an empty extension.
std::string PathName(const FileEntry& e) {
  std::string c = e.Caption();
  while (!c.empty() && c.back() == ' ') c.pop_back();
  if (!c.empty() && c.back() == '.') c.pop_back();
  return c;
}

// The entry lying at image offset `offset` among the slots of `dir`.
std::optional<FileEntry> EntryAtOffset(const DirContents& dir, std::size_t offset) {
  for (std::size_t s = 0; s < dir.table.size(); ++s)
    if (dir.table[s].offset == offset) return EntryAt(dir, static_cast<int>(s));
  return std::nullopt;
}

// What a file counts for in the progress: its size, no more than the volume holds (a damaged
// size is never read).
std::uint64_t Weight(const DiskImage& image, const FileEntry& e) {
  return std::min<std::uint64_t>(e.fullSize, image.Size());
}

}  // namespace

FileSearch::FileSearch(const DiskImage& image, std::vector<std::uint8_t> pattern, bool ignoreCase,
                       std::size_t most)
    : image_(image), pattern_(std::move(pattern)), ignoreCase_(ignoreCase), most_(most) {
  if (!image.Usable() || pattern_.empty()) return;
  const TreeClusters tree = MapTreeClusters(image);
  // Each directory listed once, by the index of its entry (the root by kNoParent); a directory
  // whose chain cannot be listed holds nothing to search.
  std::map<std::size_t, std::optional<DirContents>> listed;
  auto listing = [&](std::size_t parent) -> const std::optional<DirContents>& {
    auto at = listed.find(parent);
    if (at != listed.end()) return at->second;
    const DirRef dir =
        parent == TreeEntry::kNoParent ? kRootDir : DirRef{tree.entries[parent].firstCluster};
    return listed.emplace(parent, ListDirectory(image, dir)).first->second;
  };
  // The captions of the directories met, by the index of their entry.
  std::map<std::size_t, std::string> dirNames;
  for (std::size_t i = 0; i < tree.entries.size(); ++i) {
    const TreeEntry& t = tree.entries[i];
    const std::optional<DirContents>& dir = listing(t.parent);
    if (!dir) continue;
    std::optional<FileEntry> e = EntryAtOffset(*dir, t.offset);
    if (!e) continue;
    if (e->IsDirectory()) {
      dirNames[i] = PathName(*e);
      continue;
    }
    if (e->IsVolume() || e->fullSize == 0) continue;
    File f;
    for (std::size_t p = t.parent; p != TreeEntry::kNoParent; p = tree.entries[p].parent) {
      f.names.push_back(dirNames[p]);
      f.folders.push_back(tree.entries[p].offset);
    }
    std::reverse(f.names.begin(), f.names.end());
    std::reverse(f.folders.begin(), f.folders.end());
    f.names.push_back(PathName(*e));
    for (const std::string& n : f.names) f.path += (f.path.empty() ? "" : "\\") + n;
    totalBytes_ += Weight(image, *e);
    f.entry = std::move(*e);
    files_.push_back(std::move(f));
  }
}

void FileSearch::Step(std::uint64_t budget) {
  const std::uint64_t start = bytesSearched_;
  while (!Done() && (bytesSearched_ == start || bytesSearched_ - start < budget)) {
    const File& f = files_[next_++];
    bytesSearched_ += Weight(image_, f.entry);
    FileRead read = ReadFile(image_, f.entry);
    if (!read.ok()) {
      unreadable_.push_back(f.path);
      continue;
    }
    for (std::size_t at : FindAllMatches(read.bytes, pattern_, ignoreCase_)) {
      if (most_ != 0 && hits_.size() == most_) {
        capped_ = true;
        next_ = files_.size();
        return;
      }
      hits_.push_back({f.path, f.names, f.folders, f.entry.dir, f.entry.slot, f.entry.offset, at});
    }
  }
}

void FileSearch::Run() {
  while (!Done()) Step(std::numeric_limits<std::uint64_t>::max());
}

std::vector<FileHit> FindInFiles(const DiskImage& image, const std::vector<std::uint8_t>& pattern,
                                 bool ignoreCase) {
  FileSearch search(image, pattern, ignoreCase);
  search.Run();
  return search.Hits();
}

}  // namespace quarnel::tools
