// The guard before a change: the check, on the tree map (tree_map.h), that a change takes only
// clusters nobody uses and releases only clusters of the entries it removes. Reading stays tolerant
// of a damaged disk; a change on one that would write over live data is refused instead, with a
// message that names the cluster and the file concerned.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/directory.h"
#include "core/directory_slots.h"
#include "core/disk_image.h"
#include "core/tree_map.h"

namespace quarnel {

// What a change is about to do to the FAT and the directories.
struct PlannedChange {
  std::vector<std::uint16_t> take;     // clusters it allocates
  std::vector<std::uint16_t> release;  // clusters it frees
  std::vector<std::size_t> removed;    // image offsets of the entries it deletes
  std::vector<std::size_t> rewritten;  // of further entries it writes in place (a new name,
                                       // long-name pieces marked deleted)
};

// nullopt when the change is safe; otherwise the message that refuses it. Refused when a cluster
// to take is not free in every FAT copy or is reached by an entry that stays; when a cluster to
// release is reached by an entry that stays (a cross-link) or the FAT copies disagree on it; when
// a removed or rewritten entry lies in a cluster that a file also uses (writing the entry would
// change that file); and when it lies in a directory cluster that holds no directory entries (an
// entry marked a directory whose data is a file's). A cluster both released and taken is judged as
// released. FAT copies are compared only on these clusters.
std::optional<std::string> CheckChange(const DiskImage& image, const PlannedChange& change);

// nullopt when the bytes of `clusters` may be overwritten as the data of the entry at image
// offset `entry`: no other entry of the tree reaches any of them (a file cross-linked with
// another, or a chain a directory runs into, would change both). Otherwise the message that
// refuses it.
std::optional<std::string> CheckOverwrite(const DiskImage& image, std::size_t entry,
                                          const std::vector<std::uint16_t>& clusters);

// CheckChange over a run of changes to one image, with the tree map made once and kept up to
// date by the additions the run reports, instead of made again for every change. The map is
// made again when the run reports any other kind of change (Forget), and when the first FAT no
// longer holds what it held after the last change reported (a change made past the guard).
// The image must outlive the guard.
class ChangeGuard {
 public:
  explicit ChangeGuard(const DiskImage& image);
  ~ChangeGuard();
  ChangeGuard(const ChangeGuard&) = delete;
  ChangeGuard& operator=(const ChangeGuard&) = delete;

  const DiskImage& Image() const { return image_; }
  // As CheckChange(Image(), change).
  std::optional<std::string> Check(const PlannedChange& change);
  // Where an addition to directory `dir` starts from, as the image stands now: the directory's
  // slots as ListDirectory lists them (null when its chain is broken), kept for the run (the
  // additions it reports update them, any other change drops them), and a data cluster below
  // which none is free, where the search for free clusters may start.
  struct Target {
    DirectorySlots* slots = nullptr;
    std::uint32_t freeFrom = 2;
  };
  Target Into(DirRef dir);
  // As Check, for a change planned on what Into gave with nothing written since: the image is
  // not compared with the map again.
  std::optional<std::string> CheckInto(const PlannedChange& change);
  // After a change that wrote a new entry at image offset `entry` in the directory whose first
  // cluster is `dirCluster` (0: the root) and changed nothing else but the new entry's own
  // chain, the FAT links of the clusters it took, and the cluster `grown` (0: none) that the
  // directory's chain grew by.
  void Added(std::uint16_t dirCluster, std::size_t entry, std::uint16_t grown = 0);
  // Before a change that a check just passed and that removes the entries of `change.removed`
  // (and changes nothing else but freeing `change.release` and marking entries deleted): the map
  // drops them while their chains still read. Removed() once the change is written.
  void Removing(const PlannedChange& change);
  void Removed();
  // After any other change: the map is made again before the next check.
  void Forget();

 private:
  struct Kept;
  Kept& Fresh();  // the map, made again when the FAT changed past the guard
  const DiskImage& image_;
  std::unique_ptr<Kept> kept_;  // null until the first check, and after Forget
};

}  // namespace quarnel
