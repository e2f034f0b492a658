#include "core/volume.h"

#include <algorithm>
#include <cstring>

#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/messages.h"

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

bool FileEntry::IsDirectory() const { return (attribute & kAttrDirectory) != 0; }
bool FileEntry::IsVolume() const { return (attribute & kAttrVolume) && !IsDirectory(); }
bool FileEntry::IsDot() const { return (name == "." || name == "..") && extension == "   "; }

std::string ShownText(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = kControlCharShown;
  }
  return out;
}

std::string FileEntry::Caption() const {
  if (IsDot()) return name;
  std::string caption = ShownText(name) + "." + ShownText(extension);
  if (IsVolume()) std::erase(caption, '.');
  return caption;
}

std::optional<DirContents> ListDirectory(const DiskImage& image, DirRef dir) {
  DirContents out;
  out.dir = dir;
  const DiskGeometry& g = image.geometry;
  // The entries of `data`, which starts at byte `base` of the image.
  auto addAll = [&out](Bytes data, std::uint64_t base) {
    for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize)
      out.table.push_back(
          {static_cast<std::size_t>(base + e), DecodeListingRecord(data.data() + e)});
  };
  if (dir.IsRoot()) {
    out.table.reserve(g.rootEntries);
    // The root lies inside the image: the load checked that the data area starts inside it.
    const std::uint64_t want = std::uint64_t{g.rootEntries} * kDirEntrySize;
    const std::uint64_t held = g.rootOffset < image.Size() ? image.Size() - g.rootOffset : 0;
    const std::uint64_t length = std::min(want, held / kDirEntrySize * kDirEntrySize);
    if (auto root = image.Read(g.rootOffset, static_cast<std::size_t>(length)))
      addAll(*root, g.rootOffset);
    return out;
  }
  if (!FirstClusterValid(image, dir.firstCluster)) return std::nullopt;
  out.table.reserve(g.clusterBytes / kDirEntrySize);
  // The whole chain is walked: a break anywhere breaks the directory.
  ChainWalk walk(image, dir.firstCluster, ChainPolicy::Follow());
  for (std::uint16_t c : walk)
    addAll(*ClusterData(image, c), ClusterOffset(g, c));  // the walk yields data clusters only
  if (walk.Broken()) return std::nullopt;
  return out;
}

std::optional<FileEntry> EntryAt(const DirContents& dir, int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= dir.table.size()) return std::nullopt;
  const DirContents::Slot& s = dir.table[static_cast<std::size_t>(slot)];
  const ListingRecord& r = s.record;
  if (IsFreeSlot(r.name[0])) return std::nullopt;
  // Pieces of PC long names are no entries of their own; they stay on disk untouched.
  if (IsLongNameAttribute(r.attribute)) return std::nullopt;
  FileEntry e;
  e.dir = dir.dir;
  e.slot = slot;
  e.offset = s.offset;
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
  e.attribute = r.attribute;
  return e;
}

std::vector<FileEntry> EntriesOf(const DirContents& dir) {
  std::vector<FileEntry> out;
  for (int slot = 0; slot < static_cast<int>(dir.table.size()); ++slot)
    if (auto e = EntryAt(dir, slot)) out.push_back(std::move(*e));
  return out;
}

std::vector<std::size_t> LongNamePieceOffsets(const DirContents& dir, int slot) {
  std::vector<std::size_t> out;
  if (slot < 0 || static_cast<std::size_t>(slot) >= dir.table.size()) return out;
  constexpr std::uint8_t kLastPiece = 0x40;
  for (int k = 1; k <= 20 && slot - k >= 0; ++k) {  // 20 pieces hold the longest long name
    const DirContents::Slot& s = dir.table[static_cast<std::size_t>(slot - k)];
    const std::uint8_t first = s.record.name[0];
    if (IsFreeSlot(first) || !IsLongNameAttribute(s.record.attribute) || (first & 0x1F) != k) break;
    out.push_back(s.offset);
    if (first & kLastPiece) break;
  }
  return out;
}

ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd) {
  ChainBytes out;
  const std::uint64_t cb = image.geometry.clusterBytes;
  if (size == 0) return out;
  const std::uint32_t last = image.geometry.LastDataCluster();
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(last - 1) * cb;
  if (cb == 0 || last < 2 || size > dataBytes) {
    out.complete = false;
    return out;
  }
  const std::uint64_t need = (size + cb - 1) / cb;
  out.bytes.reserve(static_cast<std::size_t>(need * cb));
  ChainWalk walk(image, first, ChainPolicy::Read(static_cast<std::size_t>(need), earlyEnd));
  for (std::uint16_t c : walk) {
    const Bytes data = *ClusterData(image, c);  // the walk yields data clusters only
    out.bytes.insert(out.bytes.end(), data.begin(), data.end());
  }
  if (walk.Stop() == ChainStop::Limit) {
    out.bytes.resize(size);
  } else {
    out.complete = false;
    out.endedEarly = walk.Stop() == ChainStop::EarlyEnd && !walk.Broken();
  }
  return out;
}

FileRead ReadFile(const DiskImage& image, const FileEntry& entry) {
  FileRead r;
  r.entry = entry;
  if (!image.Usable()) return r;
  // Below 2, above the disk, or a cluster the image does not hold.
  if (!FirstClusterValid(image, entry.firstCluster)) {
    r.status = ReadStatus::FirstClusterOutOfBounds;
    r.message = msg::kFirstClusterOutOfBounds;
    return r;
  }
  // The clusters the size needs; a chain that goes on after them is read like extraction reads
  // it. A broken chain, and a size beyond the disk, are errors of the FAT or the entry.
  // A chain that ends before the size is covered gives the bytes it has.
  ChainBytes data = ReadChainBytes(image, entry.firstCluster, entry.fullSize, ChainEarlyEnd::Short);
  if (!data.ok()) {
    r.status = ReadStatus::ClusterError;
    r.message = msg::kClusterError;
    return r;
  }
  r.chainEndedEarly = data.endedEarly;  // the bytes that exist, nothing invented for the rest
  r.bytes = std::move(data.bytes);
  r.status = ReadStatus::Ok;
  return r;
}

}  // namespace quarnel
