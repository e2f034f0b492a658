#include "core/directory.h"

#include <algorithm>
#include <cstring>

#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/file_list.h"
#include "core/messages.h"
#include "core/workspace.h"

namespace quarnel {

ListingRecord DecodeListingRecord(const std::uint8_t* e) {
  DirEntry d;
  std::memcpy(&d, e, sizeof d);
  ListingRecord r;
  std::copy(std::begin(d.name), std::end(d.name), r.name.begin());
  std::copy(std::begin(d.extension), std::end(d.extension), r.extension.begin());
  r.attribute = d.attribute;
  r.time = d.time.Get();
  r.date = d.date.Get();
  r.firstCluster = d.firstCluster.Get();
  r.fullSize = d.size.Get();
  r.size = static_cast<std::int32_t>(r.fullSize & 0xFFFFFF);
  return r;
}

namespace {

// Fills ws.listing for the current level. False when the level's chain is broken.
bool LoadLevel(Workspace& ws) {
  const DiskImage& img = ws.image;
  const DiskGeometry& g = img.geometry;
  DirLevel& lv = ws.dirStack[img.level];
  if (img.level == 0) {
    // The root lies inside the image: the load checked that the data area starts inside it.
    for (std::uint32_t i = 0; i < g.rootEntries; ++i) {
      std::uint64_t off = g.rootOffset + static_cast<std::uint64_t>(i) * kDirEntrySize;
      if (off + kDirEntrySize > img.bytes.size()) break;
      ws.listing.push_back(DecodeListingRecord(img.bytes.data() + off));
    }
    return true;
  }
  std::vector<std::uint8_t> buffer;
  const std::size_t byteSize = static_cast<std::size_t>(std::max(0, lv.byteSize));
  buffer.reserve(byteSize);
  // The whole chain is walked: a break after the clusters the size takes breaks the level too.
  ChainWalk walk(img, lv.firstCluster, ChainPolicy::Follow());
  for (std::uint16_t c : walk) {
    if (buffer.size() >= byteSize) continue;
    Bytes data = *ClusterData(img, c);  // the walk yields data clusters only
    std::size_t take = std::min<std::size_t>(data.size(), byteSize - buffer.size());
    buffer.insert(buffer.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
  }
  if (walk.Broken()) return false;  // also a first cluster that is no data cluster
  const std::size_t records = byteSize / kDirEntrySize;
  ws.listing.resize(records);
  const std::size_t fill =
      std::min<std::size_t>(records, static_cast<std::size_t>(std::max(0, lv.entryCount)));
  for (std::size_t i = 0; i < fill && (i + 1) * kDirEntrySize <= buffer.size(); ++i)
    ws.listing[i] = DecodeListingRecord(buffer.data() + i * kDirEntrySize);
  return true;
}

}  // namespace

void ReadDirectory(Workspace& ws, Ui& ui) {
  ws.fileList.Clear();
  ws.listing.clear();
  if (!ws.HasImage()) return;
  if (ws.image.level >= kDirStackDepth) ws.image.level = 0;
  // A broken chain shows the parent instead; the root never breaks.
  while (!LoadLevel(ws)) {
    ws.listing.clear();
    --ws.image.level;
  }
  ws.SetStatus(ws.image.imagePath + ws.CurrentLevel().path, ui);
  FillFileList(ws);
}

bool ReadEntry(Workspace& ws, int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= ws.listing.size()) return false;
  const ListingRecord& r = ws.listing[static_cast<std::size_t>(slot)];
  if (IsFreeSlot(r.name[0])) return false;
  // Pieces of PC long names are no entries of their own; they stay on disk untouched.
  if (IsLongNameAttribute(r.attribute)) return false;
  CurrentEntry& e = ws.current;
  e.name.assign(r.name.begin(), r.name.end());
  if (r.name[0] == kEntryE5Stand) e.name[0] = static_cast<char>(kEntryDeleted);
  while (!e.name.empty() && e.name.back() == ' ') e.name.pop_back();
  e.extension.assign(r.extension.begin(), r.extension.end());
  e.size = r.size;
  e.fullSize = r.fullSize;
  e.hour = (r.time >> 11) & 0x1F;
  e.minute = (r.time >> 5) & 0x3F;
  e.second = (r.time & 0x1F) * 2;
  e.day = r.date & 0x1F;
  e.month = (r.date >> 5) & 0x0F;
  e.year = ((r.date >> 9) & 0x7F) + 1980;
  e.firstCluster = r.firstCluster;
  e.index = slot;
  e.attribute = r.attribute;
  return true;
}

EnterOutcome EnterDirectory(Workspace& ws, const FileRow& row, Ui& ui) {
  if (!ws.HasImage()) return EnterOutcome::NotADirectory;
  if (row.caption == "..") {
    if (ws.image.level > 0) --ws.image.level;  // never below the root
    ReadDirectory(ws, ui);
    return EnterOutcome::Left;
  }
  if (row.caption == ".") {
    ReadDirectory(ws, ui);
    return EnterOutcome::Entered;
  }
  if (!row.IsDirectory()) return EnterOutcome::NotADirectory;
  if (!ReadEntry(ws, row.slot)) return EnterOutcome::NotADirectory;
  if (ws.image.level + 1 >= kDirStackDepth) {
    ui.Notify(msg::kDirectoryTooDeep);
    return EnterOutcome::TooDeep;
  }
  const std::string parentPath = ws.CurrentLevel().path;
  ++ws.image.level;
  DirLevel& lv = ws.dirStack[ws.image.level];
  lv.path = parentPath + row.caption + "\\";
  lv.firstCluster = ws.current.firstCluster;
  // Below 2, above the disk, or a cluster the image does not hold.
  if (!FirstClusterValid(ws.image, lv.firstCluster)) {
    ui.Notify(msg::kIllegalDirectory);
    --ws.image.level;
    ReadDirectory(ws, ui);
    return EnterOutcome::Illegal;
  }
  ChainWalk walk(ws.image, lv.firstCluster, ChainPolicy::Follow());
  const std::size_t clusters = walk.WalkToStop();
  if (walk.Broken()) {
    ws.image.level = 0;
    ReadDirectory(ws, ui);
    return EnterOutcome::BrokenChain;
  }
  lv.byteSize = static_cast<std::int32_t>(clusters * ws.image.geometry.clusterBytes);
  lv.entryCount = lv.byteSize / static_cast<std::int32_t>(kDirEntrySize);
  ReadDirectory(ws, ui);
  return EnterOutcome::Entered;
}

}  // namespace quarnel
