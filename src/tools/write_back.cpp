#include "tools/write_back.h"

#include <algorithm>
#include <cctype>

#include "core/change_guard.h"
#include "core/fat.h"
#include "core/message_text.h"
#include "tools/messages.h"

namespace quarnel::tools {

namespace {

// Image offsets of the file bytes first..first+count-1 along the chain, as far as the chain
// reaches (fewer when it breaks first), and whether the chain covers the whole size.
struct FilePlaces {
  std::vector<std::size_t> offsets;
  bool chainWhole = false;
};

FilePlaces FileByteOffsets(const DiskImage& image, const FileEntry& entry, std::size_t first,
                           std::size_t count) {
  FilePlaces places;
  auto& out = places.offsets;
  const auto& g = image.geometry;
  const std::size_t cb = g.clusterBytes;
  const std::size_t size = entry.size < 0 ? 0 : static_cast<std::size_t>(entry.size);
  if (cb == 0) return places;
  places.chainWhole = size == 0;
  if (size == 0) return places;
  const std::size_t needed = (size + cb - 1) / cb;
  std::vector<std::uint16_t> clusters;
  ChainWalk walk(image, entry.firstCluster, ChainPolicy::Read(needed, ChainEarlyEnd::Broken));
  for (std::uint16_t c : walk) clusters.push_back(c);
  places.chainWhole = clusters.size() == needed && !walk.Broken();
  if (count == 0 || first >= size) return places;
  const std::size_t end = std::min(size, first + count);
  out.reserve(end - first);
  for (std::size_t k = first; k < end; ++k) {
    const std::size_t i = k / cb;
    if (i >= clusters.size()) break;
    const std::size_t off = ClusterOffset(g, clusters[i]) + k % cb;
    if (off >= image.Size()) break;
    out.push_back(off);
  }
  return places;
}

bool SameText(const std::string& a, const std::string& b) { return a == b; }

// The refusal when a byte at `offsets` lies in a cluster that an entry other than `entry` also
// reaches: writing it would change that entry's data too.
std::optional<std::string> SharedRefusal(const DiskImage& image, const FileEntry& entry,
                                         const std::vector<std::size_t>& offsets) {
  const auto& g = image.geometry;
  std::vector<std::uint16_t> clusters;
  for (auto off : offsets) {
    const auto c =
        static_cast<std::uint16_t>((off - g.dataOffset) / g.clusterBytes + 2);  // FAT16 at most
    if (clusters.empty() || clusters.back() != c) clusters.push_back(c);
  }
  return CheckOverwrite(image, entry.offset, clusters);
}

}  // namespace

SectorLayout SectorLayoutOf(const DiskImage& image) {
  SectorLayout l;
  const auto& g = image.geometry;
  const bool sound = !image.bootError && !image.loadFailed && g.bytesPerSector > 0;
  l.bytesPerSector = sound ? g.bytesPerSector : 512;
  const std::int64_t held = static_cast<std::int64_t>(image.Size()) / l.bytesPerSector;
  l.totalSectors =
      static_cast<std::int32_t>(sound ? std::min<std::int64_t>(g.totalSectors, held) : held);
  return l;
}

std::optional<std::int64_t> ParseSectorNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t v = 0;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    int d = -1;
    if (std::isdigit(u)) d = c - '0';
    if (base == 16 && std::isxdigit(u) && !std::isdigit(u)) d = std::toupper(u) - 'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * base + d;
  }
  return negative ? -v : v;
}

std::string NotAnIntegerMessage(std::string_view text) {
  return FillText(kNotAnInteger, {std::string(text)});
}

std::int32_t ClampSector(std::int64_t n, const SectorLayout& layout) {
  if (n > layout.totalSectors - 1) n = layout.totalSectors - 1;
  if (n < 0) n = 0;
  return static_cast<std::int32_t>(n);
}

std::vector<std::uint8_t> SectorBytes(const DiskImage& image, const SectorLayout& layout,
                                      std::int32_t sector) {
  if (sector < 0 || sector >= layout.totalSectors) return {};
  const std::size_t start = static_cast<std::size_t>(sector) * layout.bytesPerSector;
  const auto bytes = image.Read(start, layout.bytesPerSector);
  if (!bytes) return {};
  return {bytes->begin(), bytes->end()};
}

Question SectorSaveQuestion(std::int32_t sector) {
  const std::string n = std::to_string(sector);
  return {std::string(kSaveSectorText) + n + "?",
          std::string(kSaveSectorCaption) + n + std::string(kSaveSectorCaptionEnd)};
}

Question FileSaveQuestion(std::string_view viewedName) {
  const std::string n(viewedName);
  return {std::string(kSaveFileText) + n + "?",
          std::string(kSaveFileCaption) + n + std::string(kSaveFileCaptionEnd)};
}

WriteOutcome SaveChangedSector(Workspace& ws, std::int32_t sector, Bytes values) {
  if (ws.image.Empty()) return {WriteStatus::NoImage};
  const SectorLayout l = SectorLayoutOf(ws.image);
  if (sector < 0 || sector >= l.totalSectors)
    return {WriteStatus::Outside, std::string(kSectorOutside) + std::to_string(sector)};
  const std::size_t start = static_cast<std::size_t>(sector) * l.bytesPerSector;
  const std::size_t n = std::min<std::size_t>(values.size(), l.bytesPerSector);
  for (std::size_t j = 0; j < n; ++j) ws.image.PutByte(start + j, values[j]);
  ws.MarkChanged();
  return {WriteStatus::Written};
}

WriteOutcome PokeSector(Workspace& ws, std::int64_t sector, std::int64_t offset, Bytes bytes) {
  if (ws.image.Empty()) return {WriteStatus::NoImage};
  if (bytes.empty()) return {WriteStatus::Nothing, std::string(kNothingToWrite)};
  const SectorLayout l = SectorLayoutOf(ws.image);
  if (sector < 0 || sector >= l.totalSectors)
    return {WriteStatus::Outside, std::string(kSectorOutside) + std::to_string(sector)};
  if (offset < 0 || static_cast<std::uint64_t>(offset) + bytes.size() > l.bytesPerSector)
    return {WriteStatus::Outside, std::string(kPastSector)};
  const std::size_t start =
      static_cast<std::size_t>(sector) * l.bytesPerSector + static_cast<std::size_t>(offset);
  for (std::size_t j = 0; j < bytes.size(); ++j) ws.image.PutByte(start + j, bytes[j]);
  ws.MarkChanged();
  return {WriteStatus::Written};
}

std::optional<FileEntry> ViewedEntryNow(const DiskImage& image, const FileEntry& viewed) {
  if (!image.Usable()) return std::nullopt;
  const auto dir = ListDirectory(image, viewed.dir);
  if (!dir) return std::nullopt;
  auto now = EntryAt(*dir, viewed.slot);
  if (!now || now->IsDirectory() || now->IsVolume()) return std::nullopt;
  if (!SameText(now->name, viewed.name) || !SameText(now->extension, viewed.extension) ||
      now->firstCluster != viewed.firstCluster)
    return std::nullopt;
  return now;
}

WriteOutcome SaveCurrentFile(Workspace& ws, const ViewedFile& viewed, Bytes shown) {
  if (!ws.image.Usable()) return {WriteStatus::NoImage};
  const auto entry = ViewedEntryNow(ws.image, viewed.entry);
  if (!entry)
    return {WriteStatus::EntryChanged, std::string(kViewedFileGone) + viewed.entry.Caption()};
  const std::size_t size = entry->size < 0 ? 0 : static_cast<std::size_t>(entry->size);
  const std::size_t wanted = viewed.skip < size ? std::min(shown.size(), size - viewed.skip) : 0;
  const auto offsets = FileByteOffsets(ws.image, *entry, viewed.skip, wanted).offsets;
  if (auto refusal = SharedRefusal(ws.image, *entry, offsets))
    return {WriteStatus::NeedsCheck, std::move(*refusal)};
  for (std::size_t k = 0; k < offsets.size(); ++k) ws.image.PutByte(offsets[k], shown[k]);
  if (!offsets.empty()) ws.MarkChanged();
  if (offsets.size() < wanted) return {WriteStatus::ClusterError, std::string(kClusterError)};
  return {WriteStatus::Written};
}

WriteOutcome PokeFile(Workspace& ws, const FileEntry& entry, std::int64_t offset, Bytes bytes) {
  if (!ws.image.Usable()) return {WriteStatus::NoImage};
  if (entry.IsDirectory() || entry.IsVolume())
    return {WriteStatus::NotAFile, std::string(kNotAFile) + entry.Caption()};
  if (bytes.empty()) return {WriteStatus::Nothing, std::string(kNothingToWrite)};
  const std::int64_t size = entry.size < 0 ? 0 : entry.size;
  if (offset < 0 || offset + static_cast<std::int64_t>(bytes.size()) > size)
    return {WriteStatus::Outside, std::string(kPastFileEnd)};
  const auto places =
      FileByteOffsets(ws.image, entry, static_cast<std::size_t>(offset), bytes.size());
  const auto& offsets = places.offsets;
  if (!places.chainWhole || offsets.size() < bytes.size())
    return {WriteStatus::ClusterError, std::string(kClusterError)};
  if (auto refusal = SharedRefusal(ws.image, entry, offsets))
    return {WriteStatus::NeedsCheck, std::move(*refusal)};
  for (std::size_t k = 0; k < offsets.size(); ++k) ws.image.PutByte(offsets[k], bytes[k]);
  ws.MarkChanged();
  return {WriteStatus::Written};
}

}  // namespace quarnel::tools
