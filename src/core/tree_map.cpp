#include "core/tree_map.h"

#include <algorithm>

#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/fat.h"

namespace quarnel {

void OwnerList::push_back(std::uint32_t owner) {
  if (size_ == 0) {
    one_ = owner;
  } else {
    if (size_ == 1) more_.assign(1, one_);
    more_.push_back(owner);
  }
  ++size_;
}

void OwnerList::Erase(std::uint32_t owner) {
  if (size_ <= 1) {
    if (size_ == 1 && one_ == owner) size_ = 0;
    return;
  }
  std::erase(more_, owner);
  size_ = static_cast<std::uint32_t>(more_.size());
  if (size_ <= 1) {
    if (size_ == 1) one_ = more_[0];
    more_.clear();
  }
}

const OwnerList& TreeClusters::OwnersOf(std::uint32_t cluster) const {
  static const OwnerList kNone;
  return cluster < owners.size() ? owners[cluster] : kNone;
}

std::string TreeClusters::PathOf(std::size_t index) const {
  std::string path;
  // Parents are recorded before their entries, so the indices fall until the root.
  for (std::size_t i = index; i < entries.size(); i = entries[i].parent) {
    auto n = entries[i].name;
    n[0] = ReadFirstByte(n[0]);  // as lists show the name
    std::string part;
    auto take = [&part](auto from, auto to) {
      while (to != from && *(to - 1) == ' ') --to;
      part += ShownText(std::string(from, to));
    };
    take(n.begin(), n.begin() + 8);
    if (std::any_of(n.begin() + 8, n.end(), [](std::uint8_t c) { return c != ' '; })) {
      part.push_back('.');
      take(n.begin() + 8, n.end());
    }
    path = path.empty() ? part : part + "\\" + path;
  }
  return path;
}

TreeClusters MapTreeClusters(const DiskImage& image) {
  TreeClusters map;
  std::vector<bool> read;
  TreeWalk::Size(image, map, read);
  TreeWalk(image, map, read).Root();
  return map;
}

TreeWalk::TreeWalk(const DiskImage& image, TreeClusters& map, std::vector<bool>& read)
    : image_(image), fat_(FatCopyBytes(image, 0)), map_(map), read_(read) {}

void TreeWalk::Root() {
  for (std::size_t off : RootSlotOffsets(image_)) Visit(off, TreeEntry::kNoParent);
  Drain();
}

void TreeWalk::Visit(std::size_t off, std::size_t parent) {
  if (const std::optional<Bytes> raw = image_.Read(off, kDirEntrySize)) Record(off, *raw, parent);
}

void TreeWalk::Record(std::size_t off, Bytes raw, std::size_t parent) {
  const auto d = DirEntryAt(raw, 0);
  if (!d || IsFreeSlot(d->name[0]) || IsLongNameAttribute(d->attribute) ||
      IsDotEntry(NameOf(*d).data()))
    return;
  TreeEntry t;
  t.offset = off;
  t.parent = parent;
  t.name = NameOf(*d);
  t.attribute = d->attribute;
  t.firstCluster = d->firstCluster.Get();
  t.size = d->size.Get();
  // At most one entry per 32 bytes of the image: the index fits.
  const auto index = static_cast<std::uint32_t>(map_.entries.size());
  map_.entries.push_back(t);
  // The chain as FollowChain gives it: nothing unless it starts at a data cluster.
  const bool directory = t.attribute & kAttrDirectory;
  std::vector<std::uint16_t> clusters;
  for (auto c : ChainWalk(image_, fat_, t.firstCluster, ChainPolicy::Follow())) {
    auto& owners = map_.owners[c];
    if (owners.empty() || owners.back() != index) owners.push_back(index);  // a loop: once
    if (directory) clusters.push_back(c);
  }
  if (directory) directories_.emplace_back(index, std::move(clusters));
}

void TreeWalk::Drain() {
  while (!directories_.empty()) {
    auto [index, clusters] = std::move(directories_.front());
    directories_.pop_front();
    for (auto c : clusters) {
      if (read_[c]) continue;
      read_[c] = true;
      Bytes data = *ClusterData(image_, c);  // FollowChain gives data clusters only
      // A file's data that a directory chain runs into holds no entries to follow.
      if (!LooksLikeDirectory(data, image_.geometry.fatKind)) continue;
      const std::size_t base = ClusterOffset(image_.geometry, c);
      for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize)
        Record(base + e, data.subspan(e, kDirEntrySize), index);
    }
  }
}

}  // namespace quarnel
