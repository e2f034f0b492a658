#include "core/delete_entry.h"

#include "core/change_guard.h"
#include "core/dir_entry.h"
#include "core/dir_slot.h"
#include "core/directory.h"
#include "core/fat.h"
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

// The entry of ws.current in the shown directory, unless it is a dot entry.
std::optional<std::size_t> ChangeableEntry(Workspace& ws, Ui& ui, DeleteStatus& status) {
  if (!ws.HasImage()) {
    status = DeleteStatus::NoImage;
    return std::nullopt;
  }
  auto off = CurrentSlotOffset(ws, ws.current.index);
  if (!off) {
    status = DeleteStatus::NoEntry;
    return std::nullopt;
  }
  if (IsDotEntry(ws.image.bytes.data() + *off)) {
    ui.Notify(msg::kDotEntryKept);
    status = DeleteStatus::DotEntry;
    return std::nullopt;
  }
  return off;
}

void MarkDeleted(Workspace& ws, std::size_t off, const std::vector<std::uint16_t>& chain) {
  FreeClusters(ws.image, chain);
  // A long name that PC systems wrote for the entry goes with it.
  for (auto piece : LongNamePieceOffsets(ws, ws.current.index))
    ws.image.bytes[piece] = kEntryDeleted;
  ws.image.bytes[off] = kEntryDeleted;
  CopyFatToMirrors(ws.image);
  ws.image.changed = true;
}

// True (message shown) when freeing `chain` and marking the entry at `off` deleted would touch
// data that another entry still uses.
bool NeedsCheck(Workspace& ws, Ui& ui, std::size_t off, const std::vector<std::uint16_t>& chain) {
  const PlannedChange change{{}, chain, {off}, LongNamePieceOffsets(ws, ws.current.index)};
  auto refusal = CheckChange(ws.image, change);
  if (refusal) ui.Notify(*refusal);
  return refusal.has_value();
}

}  // namespace

DeleteStatus DeleteEntry(Workspace& ws, Ui& ui) {
  DeleteStatus status = DeleteStatus::Deleted;
  auto off = ChangeableEntry(ws, ui, status);
  if (!off) return status;
  // Also an empty file's chain: an entry of size 0 that still has clusters would leak them.
  std::vector<std::uint16_t> chain = ChainToFree(ws.image, ws.current.firstCluster);
  if (NeedsCheck(ws, ui, *off, chain)) return DeleteStatus::NeedsCheck;
  MarkDeleted(ws, *off, chain);
  return DeleteStatus::Deleted;
}

DeleteStatus DeleteDirectory(Workspace& ws, Ui& ui) {
  DeleteStatus status = DeleteStatus::Deleted;
  auto off = ChangeableEntry(ws, ui, status);
  if (!off) return status;
  const DiskImage& img = ws.image;
  // Every slot counts; a never-used slot does not end the scan. The two live entries must be
  // "." and "..": two files in a directory without its dot entries would be lost with it. (A
  // looping chain yields its clusters again until it is longer than the disk: never empty.)
  int used = 0, dots = 0;
  for (std::uint16_t c : ChainWalk(img, ws.current.firstCluster, ChainPolicy::Follow())) {
    Bytes data = *ClusterData(img, c);
    for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize) {
      if (data[e] == kEntryDeleted || data[e] == kEntryNeverUsed) continue;
      ++used;
      if (IsDotEntry(data.data() + e)) ++dots;
    }
  }
  if (used != 2 || dots != 2) {
    ui.Notify(msg::kDirectoryNotEmpty);
    return DeleteStatus::NotEmpty;
  }
  const std::vector<std::uint16_t> chain = ChainToFree(img, ws.current.firstCluster);
  if (NeedsCheck(ws, ui, *off, chain)) return DeleteStatus::NeedsCheck;
  MarkDeleted(ws, *off, chain);
  return DeleteStatus::Deleted;
}

int DeleteSelected(Workspace& ws, const std::vector<int>& slots, Ui& ui) {
  int deleted = 0;
  for (int slot : slots) {
    if (!ReadEntry(ws, slot)) continue;
    DeleteStatus s =
        (ws.current.attribute & kAttrDirectory) ? DeleteDirectory(ws, ui) : DeleteEntry(ws, ui);
    if (s == DeleteStatus::NoImage) break;
    ws.image.changed = true;
    if (s == DeleteStatus::Deleted) {
      ++deleted;
      ws.listing[static_cast<std::size_t>(slot)].name[0] = kEntryDeleted;  // never twice
    }
  }
  ReadDirectory(ws, ui);
  return deleted;
}

}  // namespace quarnel
