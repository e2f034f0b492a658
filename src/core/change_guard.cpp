#include "core/change_guard.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "core/add_file.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"
#include "core/fat.h"
#include "core/messages.h"

namespace quarnel {

namespace {

// Builds the tree map: entries of one directory slot after another, chains followed, directory
// clusters queued and read once each.
class TreeWalk {
 public:
  explicit TreeWalk(const DiskImage& image) : image_(image) {
    const std::uint32_t last = image.geometry.LastDataCluster();
    map_.owners.resize(static_cast<std::size_t>(last) + 1);
    read_.assign(static_cast<std::size_t>(last) + 1, false);
  }

  TreeClusters Run() {
    for (int slot = 0; slot < static_cast<int>(image_.geometry.rootEntries); ++slot) {
      auto off = RootSlotOffset(image_, slot);
      if (!off) break;
      Visit(*off, TreeEntry::kNoParent);
    }
    while (!directories_.empty()) {
      auto [index, clusters] = std::move(directories_.front());
      directories_.pop_front();
      for (auto c : clusters) {
        if (read_[c]) continue;
        read_[c] = true;
        Bytes data = *ClusterData(image_, c);  // FollowChain gives data clusters only
        const std::size_t base = static_cast<std::size_t>(data.data() - image_.bytes.data());
        for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize)
          Visit(base + e, index);
      }
    }
    return std::move(map_);
  }

 private:
  // The entry at `off` (inside the image): recorded with its chain when it is live.
  void Visit(std::size_t off, std::size_t parent) {
    auto d = DirEntryAt(image_.View(), off);
    if (!d || IsFreeSlot(d->name[0]) || IsLongNameAttribute(d->attribute) ||
        IsDotEntry(image_.bytes.data() + off))
      return;
    TreeEntry t;
    t.offset = off;
    t.parent = parent;
    std::copy(std::begin(d->name), std::end(d->name), t.name.begin());
    std::copy(std::begin(d->extension), std::end(d->extension), t.name.begin() + 8);
    t.attribute = d->attribute;
    t.firstCluster = d->firstCluster.Get();
    t.size = d->size.Get();
    // At most one entry per 32 bytes of the image: the index fits.
    const auto index = static_cast<std::uint32_t>(map_.entries.size());
    map_.entries.push_back(t);
    Chain chain = FollowChain(image_, t.firstCluster);  // empty unless it starts at a data cluster
    for (auto c : chain.clusters) {
      auto& owners = map_.owners[c];
      if (owners.empty() || owners.back() != index) owners.push_back(index);  // a loop: once
    }
    if (t.attribute & kAttrDirectory) directories_.emplace_back(index, std::move(chain.clusters));
  }

  const DiskImage& image_;
  TreeClusters map_;
  std::vector<bool> read_;  // directory clusters already read
  std::deque<std::pair<std::uint32_t, std::vector<std::uint16_t>>> directories_;
};

// True when every further FAT copy that holds entry n agrees with the first.
bool FatCopiesAgree(const DiskImage& image, std::uint32_t n) {
  const std::uint16_t first = ReadFatEntry(image, n);
  for (std::uint32_t k = 1; k < image.geometry.fatCount; ++k) {
    auto v = FatCopyEntry(image, k, n);
    if (v && *v != first) return false;
  }
  return true;
}

std::string Refusal(std::string_view format, std::uint32_t cluster, const std::string& path = {}) {
  const std::string f(format);
  const int n = std::snprintf(nullptr, 0, f.c_str(), cluster, path.c_str());
  std::string out(static_cast<std::size_t>(std::max(0, n)) + 1, '\0');
  std::snprintf(out.data(), out.size(), f.c_str(), cluster, path.c_str());
  out.resize(static_cast<std::size_t>(std::max(0, n)));
  return out;
}

std::vector<std::uint16_t> Sorted(std::vector<std::uint16_t> v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

}  // namespace

const std::vector<std::uint32_t>& TreeClusters::OwnersOf(std::uint32_t cluster) const {
  static const std::vector<std::uint32_t> kNone;
  return cluster < owners.size() ? owners[cluster] : kNone;
}

std::string TreeClusters::PathOf(std::size_t index) const {
  std::string path;
  // Parents are recorded before their entries, so the indices fall until the root.
  for (std::size_t i = index; i < entries.size(); i = entries[i].parent) {
    const auto& n = entries[i].name;
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

TreeClusters MapTreeClusters(const DiskImage& image) { return TreeWalk(image).Run(); }

std::optional<std::string> CheckChange(const DiskImage& image, const PlannedChange& change) {
  const TreeClusters tree = MapTreeClusters(image);
  auto removed = [&](std::size_t index) {
    return std::find(change.removed.begin(), change.removed.end(), tree.entries[index].offset) !=
           change.removed.end();
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
  for (auto off : written) {
    if (off < g.dataOffset || g.clusterBytes == 0) continue;  // the root directory
    const auto c = static_cast<std::uint32_t>((off - g.dataOffset) / g.clusterBytes + 2);
    auto file = keptOwner(c, [](const TreeEntry& e) { return !(e.attribute & kAttrDirectory); });
    if (file) return Refusal(msg::kNeedsCheckAlsoUsed, c, tree.PathOf(*file));
  }
  return std::nullopt;
}

std::vector<std::uint16_t> LowestFreeAfterRelease(const DiskImage& image,
                                                  const std::vector<std::uint16_t>& release,
                                                  std::size_t need) {
  // The lowest `need` of free + released lie among the lowest `need` free ones and `release`.
  std::vector<std::uint16_t> out = LowestFreeClusters(image, need);
  out.insert(out.end(), release.begin(), release.end());
  out = Sorted(std::move(out));
  out.resize(std::min(out.size(), need));
  return out;
}

}  // namespace quarnel
