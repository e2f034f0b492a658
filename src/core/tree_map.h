// The one walk of the directory tree: every live entry from the root down with the clusters its
// chain reaches, each directory cluster read once (the walk's loop guard), as a map that the
// change guard, the check, repair and the reports read.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"

namespace quarnel {

// A live entry of the directory tree: first name byte neither 0x00 nor 0xE5, no long-name piece,
// not "." or "..".
struct TreeEntry {
  static constexpr std::size_t kNoParent = std::numeric_limits<std::size_t>::max();
  std::size_t offset = 0;          // of the 32-byte entry in the image
  std::size_t parent = kNoParent;  // index of the directory entry holding it; kNoParent: root
  std::array<std::uint8_t, 11> name{};
  std::uint8_t attribute = 0;
  std::uint16_t firstCluster = 0;
  std::uint32_t size = 0;  // bytes 28-31
};

// The entries (indices into TreeClusters::entries) reaching one cluster, in order. Nearly every
// cluster has one owner, which is held without a block of its own; a map of a large volume then
// makes no allocation per cluster.
class OwnerList {
 public:
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  const std::uint32_t* begin() const { return size_ <= 1 ? &one_ : more_.data(); }
  const std::uint32_t* end() const { return begin() + size_; }
  std::uint32_t operator[](std::size_t i) const { return begin()[i]; }
  std::uint32_t front() const { return *begin(); }
  std::uint32_t back() const { return begin()[size_ - 1]; }
  void push_back(std::uint32_t owner);
  // Removes every occurrence of `owner`.
  void Erase(std::uint32_t owner);

  friend bool operator==(const OwnerList& a, const std::vector<std::uint32_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  // One owner or none: in one_. Two or more: all of them in more_.
  std::uint32_t one_ = 0;
  std::uint32_t size_ = 0;
  std::vector<std::uint32_t> more_;
};

// Which entries of the tree reach which clusters. An entry reaches every cluster of its chain as
// FollowChain walks it from its first cluster, whatever its size says (a size of 0 with a first
// cluster, clusters beyond what the size needs). Every directory cluster is read at most once,
// so a directory chain that loops or leads back to an ancestor ends the walk there.
struct TreeClusters {
  std::vector<TreeEntry> entries;  // root entries first, then each directory's, as met
  // owners[c]: indices into `entries` of the entries reaching cluster c, each once, in order.
  std::vector<OwnerList> owners;

  const OwnerList& OwnersOf(std::uint32_t cluster) const;
  // "SUB\DATA.BIN": the names from the root down, without padding blanks.
  std::string PathOf(std::size_t index) const;
};

// Walks the root directory and every subdirectory it leads to.
TreeClusters MapTreeClusters(const DiskImage& image);

// Builds the tree map, or extends one: entries of one directory slot after another, chains
// followed, directory clusters queued and read once each.
class TreeWalk {
 public:
  // `read` marks the directory clusters already read (one flag per cluster number).
  TreeWalk(const DiskImage& image, TreeClusters& map, std::vector<bool>& read);

  // Sizes an empty map and its read flags for the image.
  static void Size(const DiskImage& image, TreeClusters& map, std::vector<bool>& read) {
    const std::uint32_t last = image.geometry.LastDataCluster();
    map.owners.resize(static_cast<std::size_t>(last) + 1);
    read.assign(static_cast<std::size_t>(last) + 1, false);
  }

  // Maps the whole tree from the root.
  void Root();

  // The entry at `off` (inside the image): recorded with its chain when it is live.
  void Visit(std::size_t off, std::size_t parent);

  // Reads the directories queued by the visits, and those they lead to.
  void Drain();

 private:
  // Visit with the entry's 32 bytes at hand.
  void Record(std::size_t off, Bytes raw, std::size_t parent);

  const DiskImage& image_;
  Bytes fat_;  // the first FAT copy, read once for every chain of the walk
  TreeClusters& map_;
  std::vector<bool>& read_;
  std::deque<std::pair<std::uint32_t, std::vector<std::uint16_t>>> directories_;
};

}  // namespace quarnel
