#include "core/change_guard.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <unordered_map>

#include "core/add_file.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/message_text.h"
#include "core/messages.h"

namespace quarnel {

namespace {

// True when every further FAT copy that holds entry n agrees with the first.
bool FatCopiesAgree(const DiskImage& image, std::uint32_t n) {
  const std::uint16_t first = ReadFatEntry(image, n);
  for (std::uint32_t k = 1; k < image.geometry.fatCount; ++k) {
    auto v = FatCopyEntry(image, k, n);
    if (v && *v != first) return false;
  }
  return true;
}

std::string Refusal(std::string_view text, std::uint32_t cluster, const std::string& path = {}) {
  return FillText(text, {DecimalText(cluster), path});
}

std::vector<std::uint16_t> Sorted(std::vector<std::uint16_t> v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

}  // namespace

namespace {

// CheckChange on the tree map `tree` of `image`. `directoryLike` (when given, one flag per
// cluster) marks directory clusters already found to read as directory entries, and gets those
// found now.
std::optional<std::string> CheckOnMap(const DiskImage& image, const TreeClusters& tree,
                                      const PlannedChange& change,
                                      std::vector<bool>* directoryLike = nullptr) {
  std::vector<std::size_t> gone = change.removed;
  std::sort(gone.begin(), gone.end());
  auto removed = [&](std::size_t index) {
    return std::binary_search(gone.begin(), gone.end(), tree.entries[index].offset);
  };
  // The first entry reaching `c` that the change keeps (and that `also` accepts).
  auto keptOwner = [&](std::uint32_t c, auto also) -> std::optional<std::size_t> {
    for (auto i : tree.OwnersOf(c))
      if (!removed(i) && also(tree.entries[i])) return i;
    return std::nullopt;
  };
  auto any = [](const TreeEntry&) { return true; };

  const auto release = Sorted(change.release);
  for (auto c : Sorted(change.take)) {
    if (std::binary_search(release.begin(), release.end(), c)) continue;
    if (auto owner = keptOwner(c, any))
      return Refusal(msg::kNeedsCheckFreeButUsed, c, tree.PathOf(*owner));
    if (ReadFatEntry(image, c) != kFatFree || !FatCopiesAgree(image, c))
      return Refusal(msg::kNeedsCheckFatCopies, c);
  }
  for (auto c : release) {
    if (auto owner = keptOwner(c, any))
      return Refusal(msg::kNeedsCheckAlsoUsed, c, tree.PathOf(*owner));
    if (!FatCopiesAgree(image, c)) return Refusal(msg::kNeedsCheckFatCopies, c);
  }
  // Writing an entry writes into its directory cluster: no file may share that cluster.
  const auto& g = image.geometry;
  std::vector<std::size_t> written = change.removed;
  written.insert(written.end(), change.rewritten.begin(), change.rewritten.end());
  std::vector<std::uint32_t> judged;  // sorted: each cluster's answer holds for all its entries
  for (auto off : written) {
    if (off < g.dataOffset || g.clusterBytes == 0) continue;  // the root directory
    const auto c = static_cast<std::uint32_t>((off - g.dataOffset) / g.clusterBytes + 2);
    const auto at = std::lower_bound(judged.begin(), judged.end(), c);
    if (at != judged.end() && *at == c) continue;
    judged.insert(at, c);
    auto file = keptOwner(c, [](const TreeEntry& e) { return !(e.attribute & kAttrDirectory); });
    if (file) return Refusal(msg::kNeedsCheckAlsoUsed, c, tree.PathOf(*file));
    // An entry marked a directory whose data is a file's.
    if (tree.OwnersOf(c).empty() || (directoryLike && (*directoryLike)[c])) continue;
    const auto data = ClusterData(image, c);
    if (!data) continue;
    if (!LooksLikeDirectory(*data, g.fatKind))
      return Refusal(msg::kNeedsCheckNotDirectory, c, tree.PathOf(tree.OwnersOf(c).front()));
    if (directoryLike) (*directoryLike)[c] = true;
  }
  return std::nullopt;
}

// The bytes of the first FAT copy that lie inside the image.
Bytes FirstFat(const DiskImage& image) { return FatCopyBytes(image, 0); }

}  // namespace

std::optional<std::string> CheckChange(const DiskImage& image, const PlannedChange& change) {
  return CheckOnMap(image, MapTreeClusters(image), change);
}

std::optional<std::string> CheckOverwrite(const DiskImage& image, std::size_t entry,
                                          const std::vector<std::uint16_t>& clusters) {
  const TreeClusters tree = MapTreeClusters(image);
  for (auto c : Sorted(clusters))
    for (auto o : tree.OwnersOf(c))
      if (tree.entries[o].offset != entry)
        return Refusal(msg::kNeedsCheckAlsoUsed, c, tree.PathOf(o));
  return std::nullopt;
}

struct ChangeGuard::Kept {
  TreeClusters tree;
  std::vector<bool> read;         // directory clusters the map has read
  std::vector<std::uint8_t> fat;  // the first FAT as the map knows it
  // Entry index by image offset, for the entries the map holds; made on the first removal and
  // kept up to date from then on (`indexed`: how many entries it covers).
  std::unordered_map<std::size_t, std::uint32_t> byOffset;
  std::size_t indexed = 0;
  // The directories the run writes into, by first cluster (null: a broken chain).
  std::unordered_map<std::uint16_t, std::unique_ptr<DirectorySlots>> slots;
  std::uint32_t freeFrom = 2;  // no data cluster below it is free
  // Directory clusters found to read as directory entries. They stay so while the run writes
  // only entries into them (a plausible entry never turns a directory cluster into data); a
  // cluster the run frees is judged again.
  std::vector<bool> directoryLike;

  // Moves freeFrom past the clusters in use.
  void SkipUsed(const DiskImage& image) {
    const std::uint32_t last = image.geometry.LastDataCluster();
    while (freeFrom <= last && ReadFatEntry(image, freeFrom) != kFatFree) ++freeFrom;
  }

  std::optional<std::uint32_t> IndexAt(std::size_t offset) {
    for (; indexed < tree.entries.size(); ++indexed)
      byOffset[tree.entries[indexed].offset] = static_cast<std::uint32_t>(indexed);
    auto it = byOffset.find(offset);
    if (it == byOffset.end()) return std::nullopt;
    return it->second;
  }

  void KeepFat(const DiskImage& image) {
    const Bytes now = FirstFat(image);
    fat.assign(now.begin(), now.end());
  }
  bool FatKept(const DiskImage& image) const {
    const Bytes now = FirstFat(image);
    return std::equal(now.begin(), now.end(), fat.begin(), fat.end());
  }
  // The entry of the directory starting at `cluster` that the map read that cluster for.
  std::optional<std::size_t> DirectoryAt(std::uint16_t cluster) const {
    for (auto i : tree.OwnersOf(cluster)) {
      const TreeEntry& e = tree.entries[i];
      if ((e.attribute & kAttrDirectory) && e.firstCluster == cluster) return i;
    }
    return std::nullopt;
  }
};

ChangeGuard::ChangeGuard(const DiskImage& image) : image_(image) {}
ChangeGuard::~ChangeGuard() = default;

ChangeGuard::Kept& ChangeGuard::Fresh() {
  if (kept_ && !kept_->FatKept(image_)) kept_.reset();  // changed past the guard
  if (!kept_) {
    kept_ = std::make_unique<Kept>();
    TreeWalk::Size(image_, kept_->tree, kept_->read);
    kept_->directoryLike.assign(kept_->read.size(), false);
    TreeWalk(image_, kept_->tree, kept_->read).Root();
    kept_->KeepFat(image_);
  }
  return *kept_;
}

std::optional<std::string> ChangeGuard::Check(const PlannedChange& change) {
  Kept& kept = Fresh();
  return CheckOnMap(image_, kept.tree, change, &kept.directoryLike);
}

std::optional<std::string> ChangeGuard::CheckInto(const PlannedChange& change) {
  if (!kept_) return Check(change);
  return CheckOnMap(image_, kept_->tree, change, &kept_->directoryLike);
}

ChangeGuard::Target ChangeGuard::Into(DirRef dir) {
  Kept& kept = Fresh();
  std::unique_ptr<DirectorySlots>& held = kept.slots[dir.firstCluster];
  if (!held)
    if (auto contents = ListDirectory(image_, dir))
      held = std::make_unique<DirectorySlots>(std::move(*contents));
  kept.SkipUsed(image_);
  return {held.get(), kept.freeFrom};
}

void ChangeGuard::Added(std::uint16_t dirCluster, std::size_t entry, std::uint16_t grown) {
  if (!kept_) return;
  std::size_t parent = TreeEntry::kNoParent;
  if (dirCluster != 0) {
    const auto dir = kept_->DirectoryAt(dirCluster);
    if (!dir || grown >= kept_->read.size()) return Forget();  // a directory the map lacks
    parent = *dir;
  }
  if (grown != 0) {
    if (dirCluster == 0) return Forget();  // the root never grows
    auto& owners = kept_->tree.owners[grown];
    owners.push_back(static_cast<std::uint32_t>(parent));
    kept_->read[grown] = true;  // zeroed but for the new entry, visited below
  }
  TreeWalk walk(image_, kept_->tree, kept_->read);
  walk.Visit(entry, parent);
  walk.Drain();
  kept_->KeepFat(image_);
  // The directory written into: the cluster it grew by, then the new entry.
  auto held = kept_->slots.find(dirCluster);
  if (held == kept_->slots.end() || !held->second) return;
  DirectorySlots& dir = *held->second;
  if (grown != 0) dir.Grew(image_, grown);
  if (const auto slot = dir.SlotAt(entry))
    dir.Reread(image_, *slot);
  else
    kept_->slots.erase(held);
}

void ChangeGuard::Removing(const PlannedChange& change) {
  if (!kept_) return;
  for (auto c : change.release) {
    kept_->freeFrom = std::min<std::uint32_t>(kept_->freeFrom, c);
    if (c < kept_->directoryLike.size()) kept_->directoryLike[c] = false;
  }
  kept_->slots.clear();  // entries deleted: the directories are listed again
  for (auto off : change.removed) {
    const auto index = kept_->IndexAt(off);
    if (!index) continue;
    kept_->byOffset.erase(off);
    const TreeEntry& e = kept_->tree.entries[*index];
    // The clusters the walk gave it, as the walk follows them.
    for (auto c : FollowChain(image_, e.firstCluster).clusters) {
      kept_->tree.owners[c].Erase(*index);
      if (e.attribute & kAttrDirectory) kept_->read[c] = false;
    }
  }
}

void ChangeGuard::Removed() {
  if (kept_) kept_->KeepFat(image_);
}

void ChangeGuard::Forget() { kept_.reset(); }

}  // namespace quarnel
