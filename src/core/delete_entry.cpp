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

void MarkDeleted(DiskImage& image, const std::vector<std::size_t>& entries,
                 const std::vector<std::uint16_t>& chain) {
  FreeClusters(image, chain);
  for (auto off : entries) image.PutByte(off, kEntryDeleted);
  CopyFatToMirrors(image);
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

DeleteOutcome DeleteEntry(DiskImage& image, const DirContents& dir, const FileEntry& entry) {
  if (!image.Usable()) return DeleteStatus::NoImage;
  if (entry.IsDot()) return {DeleteStatus::DotEntry, std::string(msg::kDotEntryKept)};
  if (entry.IsDirectory() && !HoldsOnlyDots(image, entry.firstCluster))
    return {DeleteStatus::NotEmpty, std::string(msg::kDirectoryNotEmpty)};
  const std::vector<std::uint16_t> chain = ChainToFree(image, entry.firstCluster);
  std::vector<std::size_t> pieces = LongNamePieceOffsets(dir, entry.slot);
  // Freeing the chain and marking the entry must not touch data another entry still uses.
  if (auto refusal = CheckChange(image, PlannedChange{{}, chain, {entry.offset}, pieces}))
    return {DeleteStatus::NeedsCheck, std::move(*refusal)};
  pieces.push_back(entry.offset);
  MarkDeleted(image, pieces, chain);
  return DeleteStatus::Deleted;
}

DeleteOutcome DeleteTree(DiskImage& image, const DirContents& dir, const FileEntry& entry) {
  if (!image.Usable()) return DeleteStatus::NoImage;
  if (!entry.IsDirectory() || entry.IsDot()) return DeleteEntry(image, dir, entry);
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
    for (const FileEntry& e : EntriesOf(*contents)) {
      if (e.IsDot()) continue;
      removed.push_back(e.offset);
      if (e.IsDirectory()) {
        todo.push_back({e.firstCluster, d.path + "\\" + shown(e)});
        continue;
      }
      for (std::uint16_t c : ChainToFree(image, e.firstCluster))
        if (!seen[c]) {
          seen[c] = true;
          release.push_back(c);
        }
    }
  }
  std::vector<std::size_t> pieces = LongNamePieceOffsets(dir, entry.slot);
  if (auto refusal = CheckChange(image, PlannedChange{{}, release, removed, pieces}))
    return {DeleteStatus::NeedsCheck, std::move(*refusal)};
  pieces.push_back(entry.offset);
  MarkDeleted(image, pieces, release);
  return DeleteStatus::Deleted;
}

std::vector<DeleteOutcome> DeleteSelected(Workspace& ws, const std::vector<int>& slots) {
  std::vector<DeleteOutcome> out;
  std::vector<int> done;
  for (int slot : slots) {
    if (std::find(done.begin(), done.end(), slot) != done.end()) continue;  // never twice
    auto entry = ws.EntryAt(slot);
    if (!entry) continue;
    out.push_back(DeleteEntry(ws.image, ws.listing, *entry));
    if (out.back() == DeleteStatus::NoImage) break;
    if (out.back() != DeleteStatus::Deleted) continue;
    ws.MarkChanged();
    done.push_back(slot);
  }
  ws.Refresh();
  return out;
}

}  // namespace quarnel
