#include "core/directory.h"

#include <algorithm>
#include <cstring>

#include "core/ascii.h"
#include "core/dir_entry.h"

namespace quarnel {

namespace {

// The largest size three bytes hold.
constexpr std::uint64_t kLargestListedSize = 0xFFFFFF;

}  // namespace

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
  out.wholeSizes = g.DiskBytes() > kLargestListedSize;
  // The entries of `data`, which starts at byte `base` of the image.
  auto addAll = [&out](Bytes data, std::uint64_t base) {
    for (std::size_t e = 0; e + kDirEntrySize <= data.size(); e += kDirEntrySize)
      out.table.push_back(
          {static_cast<std::size_t>(base + e), DecodeListingRecord(data.data() + e)});
  };
  if (dir.IsRoot()) {
    // The root slots RootSlotOffsets gives, read as one range.
    const std::size_t slots = RootSlotOffsets(image).size();
    out.table.reserve(slots);
    if (auto root = image.Read(g.rootOffset, slots * kDirEntrySize)) addAll(*root, g.rootOffset);
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
  e.name[0] = static_cast<char>(ReadFirstByte(r.name[0]));
  while (!e.name.empty() && e.name.back() == ' ') e.name.pop_back();
  e.extension.assign(r.extension.begin(), r.extension.end());
  e.size = dir.wholeSizes
               ? static_cast<std::int32_t>(std::min<std::uint32_t>(r.fullSize, INT32_MAX))
               : r.size;
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
  for (int k = 1; k <= kMostLongNamePieces && slot - k >= 0; ++k) {
    const DirContents::Slot& s = dir.table[static_cast<std::size_t>(slot - k)];
    const std::uint8_t first = s.record.name[0];
    if (IsFreeSlot(first) || !IsLongNameAttribute(s.record.attribute) || (first & 0x1F) != k) break;
    out.push_back(s.offset);
    if (first & kLastPiece) break;
  }
  return out;
}

std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot) {
  const DiskGeometry& g = image.geometry;
  if (slot < 0 || slot >= static_cast<int>(g.rootEntries)) return std::nullopt;
  std::size_t off = g.rootOffset + static_cast<std::size_t>(slot) * kDirEntrySize;
  if (off + kDirEntrySize > image.Size()) return std::nullopt;
  return off;
}

std::vector<std::size_t> RootSlotOffsets(const DiskImage& image) {
  // The slots RootSlotOffset gives, counted at once: those wholly inside the image.
  const DiskGeometry& g = image.geometry;
  const std::uint64_t held = g.rootOffset < image.Size() ? image.Size() - g.rootOffset : 0;
  const std::size_t n =
      static_cast<std::size_t>(std::min<std::uint64_t>(g.rootEntries, held / kDirEntrySize));
  std::vector<std::size_t> out(n);
  for (std::size_t slot = 0; slot < n; ++slot) out[slot] = g.rootOffset + slot * kDirEntrySize;
  return out;
}

std::optional<int> FindFreeRootSlot(const DiskImage& image) {
  const std::vector<std::size_t> slots = RootSlotOffsets(image);
  for (std::size_t slot = 0; slot < slots.size(); ++slot)
    if (IsFreeSlot(image.ByteAt(slots[slot]).value_or(0))) return static_cast<int>(slot);
  return std::nullopt;
}

std::optional<EntryPlace> PlaceEntry(const DiskImage& img, const DirContents& dir,
                                     std::optional<int> slot) {
  EntryPlace place;
  if (slot) {
    place.offset = dir.table[static_cast<std::size_t>(*slot)].offset;
    return place;
  }
  if (dir.dir.IsRoot()) return std::nullopt;
  const Chain chain = FollowChain(img, dir.dir.firstCluster);
  if (chain.broken || chain.clusters.empty()) return std::nullopt;
  place.lastCluster = chain.clusters.back();
  return place;
}

std::size_t GrowDirectory(DiskImage& img, std::uint16_t last, std::uint16_t cluster) {
  const auto& g = img.geometry;
  const std::size_t off = ClusterOffset(g, cluster);
  img.Fill(off, g.clusterBytes, 0);
  WriteFatEntry(img, last, cluster);
  WriteFatEntry(img, cluster, FatMarksOf(g.fatKind).endOfChain);
  return off;
}

MsxName11 NameOf(const DirEntry& e) {
  MsxName11 out;
  std::copy(std::begin(e.name), std::end(e.name), out.begin());
  std::copy(std::begin(e.extension), std::end(e.extension), out.begin() + 8);
  return out;
}

MsxName11 NameOf(const ListingRecord& r) {
  MsxName11 out;
  std::copy(r.name.begin(), r.name.end(), out.begin());
  std::copy(r.extension.begin(), r.extension.end(), out.begin() + 8);
  return out;
}

bool PlausibleEntry(const std::uint8_t* e, FatKind kind) {
  const ListingRecord r = DecodeListingRecord(e);
  const std::uint8_t attribute = r.attribute;
  const std::uint16_t first = r.firstCluster;
  if (e[0] == kEntryDeleted) return true;
  if (e[0] == kEntryNeverUsed)
    return std::all_of(e + 1, e + kDirEntrySize, [](auto b) { return b == 0; });
  if (IsLongNameAttribute(attribute)) return first == 0;
  if (attribute & 0xC0) return false;
  for (std::size_t k = 0; k < 11; ++k)
    if (e[k] < 0x20 && !(k == 0 && e[k] == kEntryE5Stand)) return false;
  // Any cluster number of the FAT: a wrong one is damage the check reports, not a sign of file
  // data.
  return first <= FatMarksOf(kind).mask;
}

bool LooksLikeDirectory(Bytes slots, FatKind kind) {
  std::size_t written = 0, implausible = 0;
  for (std::size_t off = 0; off + kDirEntrySize <= slots.size(); off += kDirEntrySize) {
    const std::uint8_t* e = slots.data() + off;
    if (std::all_of(e, e + kDirEntrySize, [](auto b) { return b == 0; })) continue;
    ++written;
    if (!PlausibleEntry(e, kind)) ++implausible;
  }
  return implausible * 2 <= written;
}

}  // namespace quarnel
