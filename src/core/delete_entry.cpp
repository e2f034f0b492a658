#include "core/delete_entry.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/change_guard.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/fat.h"
#include "core/message_text.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

std::vector<std::uint16_t> ChainToFree(const DiskImage& image, std::uint16_t first) {
  std::vector<std::uint16_t> out;
  for (std::uint16_t c : ChainWalk(image, first, ChainPolicy::Free())) out.push_back(c);
  return out;
}

void FreeClusters(DiskImage& image, const std::vector<std::uint16_t>& clusters) {
  for (auto c : clusters) FreeFatEntry(image, c);
}

namespace {

// Checks `change` (through `guard` when there is one) and, when it is safe, frees its clusters and
// marks the deleted entry at `entry` and its long-name pieces (the change's rewritten entries).
// Entries below a deleted directory lie in its freed clusters and stay as they are.
std::optional<std::string> CheckAndDelete(DiskImage& image, const PlannedChange& change,
                                          std::size_t entry, ChangeGuard* guard) {
  const bool kept = guard && &guard->Image() == &image;
  auto refusal = kept ? guard->Check(change) : CheckChange(image, change);
  if (refusal) return refusal;
  if (kept) guard->Removing(change);
  FreeClusters(image, change.release);
  for (auto off : change.rewritten) image.PutByte(off, kEntryDeleted);
  image.PutByte(entry, kEntryDeleted);
  CopyFatToMirrors(image);
  if (kept) guard->Removed();
  return std::nullopt;
}

// True when the directory starting at `first` holds its two dot entries and nothing else. Every
// slot counts; a never-used slot does not end the scan. Two files in a directory without its dot
// entries would be lost with it. (A looping chain yields its clusters again until it is longer
// than the disk: never empty.)
bool HoldsOnlyDots(const DiskImage& image, std::uint16_t first) {
  int used = 0, dots = 0;
  for (std::uint16_t c : ChainWalk(image, first, ChainPolicy::Follow())) {
    Bytes data = *ClusterData(image, c);
    for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize) {
      if (data[e] == kEntryDeleted || data[e] == kEntryNeverUsed) continue;
      ++used;
      if (IsDotEntry(data.data() + e)) ++dots;
    }
  }
  return used == 2 && dots == 2;
}

}  // namespace

DeleteOutcome DeleteEntry(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                          ChangeGuard* guard) {
  if (!image.Usable()) return DeleteStatus::NoImage;
  if (entry.IsDot()) return {DeleteStatus::DotEntry, std::string(msg::kDotEntryKept)};
  if (entry.IsDirectory() && !HoldsOnlyDots(image, entry.firstCluster))
    return {DeleteStatus::NotEmpty, std::string(msg::kDirectoryNotEmpty)};
  // Freeing the chain and marking the entry must not touch data another entry still uses.
  const PlannedChange change{{},
                             ChainToFree(image, entry.firstCluster),
                             {entry.offset},
                             LongNamePieceOffsets(dir, entry.slot)};
  if (auto refusal = CheckAndDelete(image, change, entry.offset, guard))
    return {DeleteStatus::NeedsCheck, std::move(*refusal)};
  return DeleteStatus::Deleted;
}

DeleteOutcome DeleteTree(DiskImage& image, const DirContents& dir, const FileEntry& entry,
                         ChangeGuard* guard) {
  if (!image.Usable()) return DeleteStatus::NoImage;
  if (!entry.IsDirectory() || entry.IsDot()) return DeleteEntry(image, dir, entry, guard);
  std::vector<std::uint16_t> release;
  std::vector<std::size_t> removed{entry.offset};
  std::vector<bool> seen(image.geometry.LastDataCluster() + 1u, false);
  struct Pending {
    std::uint16_t first;
    std::string path;
  };
  // SUB\GAMES: captions without the blanks and the dot of an empty extension.
  auto shown = [](const FileEntry& e) {
    std::string c = e.Caption();
    while (!c.empty() && (c.back() == ' ' || c.back() == '.')) c.pop_back();
    return c;
  };
  std::vector<Pending> todo{{entry.firstCluster, shown(entry)}};
  auto refuseLoop = [](const std::string& path) {
    return DeleteOutcome{DeleteStatus::NeedsCheck, FillText(msg::kNeedsCheckDirectoryLoop, {path})};
  };
  // Every directory of the tree once: its chain, then its entries.
  while (!todo.empty()) {
    const Pending d = todo.back();
    todo.pop_back();
    if (d.first == 0) return refuseLoop(d.path);
    const std::optional<DirContents> contents = ListDirectory(image, DirRef{d.first});
    if (!contents) return {DeleteStatus::NeedsCheck, std::string(msg::kBrokenTargetDirectory)};
    for (std::uint16_t c : ChainToFree(image, d.first)) {
      if (seen[c]) return refuseLoop(d.path);
      seen[c] = true;
      release.push_back(c);
    }
    // Slot by slot: the entries (no free slots, long-name pieces or dot entries) go.
    const auto& table = contents->table;
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
      const ListingRecord& r = table[slot].record;
      if (IsFreeSlot(r.name[0]) || IsLongNameAttribute(r.attribute)) continue;
      if (IsDotEntry(NameOf(r).data())) continue;
      removed.push_back(table[slot].offset);
      if (r.attribute & kAttrDirectory) {
        const auto e = EntryAt(*contents, static_cast<int>(slot));
        todo.push_back({r.firstCluster, d.path + "\\" + shown(*e)});
        continue;
      }
      for (std::uint16_t c : ChainToFree(image, r.firstCluster))
        if (!seen[c]) {
          seen[c] = true;
          release.push_back(c);
        }
    }
  }
  const PlannedChange change{
      {}, std::move(release), std::move(removed), LongNamePieceOffsets(dir, entry.slot)};
  if (auto refusal = CheckAndDelete(image, change, entry.offset, guard))
    return {DeleteStatus::NeedsCheck, std::move(*refusal)};
  return DeleteStatus::Deleted;
}

TreeCount CountBelow(const DiskImage& image, const FileEntry& directory) {
  TreeCount n;
  if (!image.Usable() || !directory.IsDirectory() || directory.IsDot()) return n;
  // Each directory is listed once: a directory met again (a loop, a cross-link) ends there.
  std::vector<bool> listed(image.geometry.LastDataCluster() + 1u, false);
  std::vector<std::uint16_t> todo{directory.firstCluster};
  while (!todo.empty()) {
    const std::uint16_t first = todo.back();
    todo.pop_back();
    if (first == 0 || first >= listed.size() || listed[first]) continue;
    listed[first] = true;
    const std::optional<DirContents> contents = ListDirectory(image, DirRef{first});
    if (!contents) continue;
    for (const FileEntry& e : EntriesOf(*contents)) {
      if (e.IsDot()) continue;
      if (e.IsDirectory()) {
        ++n.folders;
        todo.push_back(e.firstCluster);
      } else if (!e.IsVolume()) {
        ++n.files;
      }
    }
  }
  return n;
}

std::vector<DeleteOutcome> DeleteSelected(Workspace& ws, const std::vector<int>& slots,
                                          bool withContents) {
  std::vector<DeleteOutcome> out;
  std::vector<int> done;
  ChangeGuard guard(ws.image);  // the tree is mapped once for all of them
  for (int slot : slots) {
    if (std::find(done.begin(), done.end(), slot) != done.end()) continue;  // never twice
    auto entry = ws.EntryAt(slot);
    if (!entry) continue;
    out.push_back(withContents ? DeleteTree(ws.image, ws.listing, *entry, &guard)
                               : DeleteEntry(ws.image, ws.listing, *entry, &guard));
    if (out.back() == DeleteStatus::NoImage) break;
    if (out.back() != DeleteStatus::Deleted) continue;
    ws.MarkChanged();
    done.push_back(slot);
  }
  ws.Refresh();
  return out;
}

}  // namespace quarnel
