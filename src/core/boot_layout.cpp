#include "core/boot_layout.h"

#include <algorithm>

#include "core/directory.h"
#include "core/disk_check.h"
#include "core/messages.h"

namespace quarnel {

namespace {

std::string Num(std::uint64_t v) { return std::to_string(v); }

// True when the three bytes at `off` start a FAT: a media descriptor, then 0xFF 0xFF.
bool StartsFat(const DiskImage& image, std::uint64_t off) {
  const auto b = image.Read(off, 3);
  return b && IsMediaByte((*b)[0]) && (*b)[1] == 0xFF && (*b)[2] == 0xFF;
}

bool Blank(const DiskImage& image, std::uint64_t off) {
  const auto b = image.Read(off, 3);
  return b && (*b)[0] == 0 && (*b)[1] == 0 && (*b)[2] == 0;
}

// Sectors per cluster a system formats with: 1 to 8 on a floppy, any power of two up to 128 (64 KB
// clusters) on a larger volume.
bool KnownClusterSize(std::uint8_t spc, bool floppy) {
  const std::uint8_t most = floppy ? 8 : 128;
  return spc != 0 && spc <= most && (spc & (spc - 1)) == 0;
}

// The fields that place the FATs, the root directory and the clusters.
bool SameLayout(const DiskGeometry& a, const DiskGeometry& b) {
  return a.bytesPerSector == b.bytesPerSector && a.sectorsPerCluster == b.sectorsPerCluster &&
         a.reservedSectors == b.reservedSectors && a.fatCount == b.fatCount &&
         a.rootEntries == b.rootEntries && a.sectorsPerFat == b.sectorsPerFat &&
         a.totalSectors == b.totalSectors;
}

}  // namespace

bool IsMediaByte(std::uint8_t b) { return b == 0xF0 || b >= 0xF8; }

std::vector<std::string> LayoutProblems(const DiskImage& image, const DiskGeometry& g) {
  std::vector<std::string> out;
  auto say = [&out](std::string_view text, std::initializer_list<std::string> args) {
    out.push_back(FillText(text, args));
  };
  const std::uint64_t size = image.Size();
  if (g.bytesPerSector != 512) say(msg::kLayoutSectorSize, {Num(g.bytesPerSector)});
  const std::uint8_t spc = g.sectorsPerCluster;
  const bool floppy = size <= kLargestFloppyBytes;
  if (!KnownClusterSize(spc, floppy))
    say(floppy ? msg::kLayoutClusterSize : msg::kLayoutLargeClusterSize, {Num(spc)});
  if (g.reservedSectors == 0) say(msg::kLayoutNoReserved, {});
  if (g.fatCount < 1 || g.fatCount > 2) say(msg::kLayoutFatCount, {Num(g.fatCount)});
  if (g.rootEntries == 0 ||
      (g.bytesPerSector != 0 && g.rootEntries * std::uint64_t{32} % g.bytesPerSector != 0))
    say(msg::kLayoutRootEntries, {Num(g.rootEntries)});
  if (!IsMediaByte(g.media)) say(msg::kLayoutMedia, {HexText(g.media, 2)});
  if (!out.empty() || g.clusterBytes == 0) return out;  // the positions below mean nothing

  const std::uint64_t disk = g.DiskBytes();
  if (disk > size) say(msg::kLayoutDiskLarger, {Num(disk), Num(size)});
  if (g.dataClusters <= 0 || g.dataOffset >= size) {
    say(msg::kLayoutNoData, {});
    return out;
  }
  const std::uint64_t entries = g.FatEntriesPerCopy();
  if (entries < std::uint64_t{g.LastDataCluster()} + 1)
    say(msg::kCheckFatTooSmall,
        {Num(g.sectorsPerFat), Num(entries == 0 ? 0 : entries - 1), Num(g.LastDataCluster())});
  if (!StartsFat(image, g.fatOffset)) say(msg::kLayoutNoFat, {"1", Num(g.reservedSectors)});
  for (std::uint32_t k = 1; k < g.fatCount; ++k) {
    const std::uint64_t off = g.fatOffset + std::uint64_t{k} * g.FatBytes();
    // A further copy that was never written is no damage to the layout.
    if (!StartsFat(image, off) && !Blank(image, off))
      say(msg::kLayoutNoFat, {Num(k + 1), Num(off / g.bytesPerSector)});
  }
  const std::uint64_t rootEnd = std::min<std::uint64_t>(g.dataOffset, size);
  const auto root = image.Read(g.rootOffset, static_cast<std::size_t>(rootEnd - g.rootOffset));
  if (!root || !LooksLikeDirectory(*root, g.fatKind))
    say(msg::kLayoutNoRoot, {Num(g.rootOffset / g.bytesPerSector)});
  return out;
}

DiskImage WithGeometry(const DiskImage& image, const DiskGeometry& g) {
  DiskImage out(image);
  out.loadFailed = false;
  out.bootError = false;
  out.bootErrorDetail.clear();
  out.geometry = g;
  return out;
}

BootLayout JudgeBootLayout(const DiskImage& image) {
  BootLayout out;
  out.refused = !image.Usable();
  if (out.refused)
    out.problems.push_back(image.bootErrorDetail.empty() ? std::string(msg::kBootSectorError)
                                                         : image.bootErrorDetail);
  else
    out.problems = LayoutProblems(image, image.geometry);
  // The rows of the image's size; of two that fit (the same layout, another media byte), the one
  // whose media byte the FAT holds, else the boot sector's.
  const std::uint8_t fatMedia = image.ByteAt(512).value_or(0);
  int best = -1;
  for (const auto& row : GeometryTable) {
    if (std::uint64_t{row.totalSectors} * 512 != image.Size()) continue;
    auto problems = LayoutProblems(image, RowGeometry(row));
    if (!out.standard) {
      out.standard = row;
      out.standardProblems = problems;
    }
    if (!problems.empty()) continue;
    const int score = (row.media == fatMedia ? 2 : 0) + (row.media == image.geometry.media);
    if (score > best) {
      best = score;
      out.standard = row;
      out.standardFits = true;
      out.standardProblems.clear();
    }
  }
  if (out.Plausible() && out.standardFits) {
    const DiskGeometry standard = RowGeometry(*out.standard);
    if (!SameLayout(image.geometry, standard)) {
      out.standardDiffers = true;
      const std::size_t own = CheckLaidOut(image).findings.size();
      const std::size_t other = CheckLaidOut(WithGeometry(image, standard)).findings.size();
      if (other < own) {
        out.problems.push_back(FillText(msg::kLayoutReadsWorse, {Num(own), Num(other)}));
        out.standardDiffers = false;
      }
    }
  }
  return out;
}

namespace {

std::string Joined(const std::vector<std::string>& problems) {
  std::string out;
  for (const auto& p : problems) out += (out.empty() ? "" : "; ") + p;
  return out;
}

}  // namespace

std::string DescribeBootLayout(const BootLayout& layout) {
  std::string out = FillText(layout.refused ? msg::kCheckBootRefused : msg::kLayoutDoesNotFit,
                             {Joined(layout.problems)});
  if (!out.empty() && out.back() != '.' && out.back() != '!') out.push_back('.');
  if (!layout.standard) return out + " " + std::string(msg::kLayoutNoStandard);
  const std::string caption(layout.standard->caption);
  if (layout.standardFits) return out + " " + FillText(msg::kLayoutStandardFits, {caption});
  return out + " " +
         FillText(msg::kLayoutStandardFailsToo, {caption, Joined(layout.standardProblems)});
}

}  // namespace quarnel
