#include "tools/file_properties.h"

#include <cstdio>

#include "core/dir_entry.h"
#include "core/disk_check.h"
#include "core/fat.h"
#include "tools/disk_report.h"

namespace quarnel::tools {

namespace {

// Where PC systems keep the creation time and date and the access date in an entry.
constexpr std::size_t kCreatedTime = 14;
constexpr std::size_t kCreatedDate = 16;
constexpr std::size_t kAccessedDate = 18;

// "5/04/2002" (and " 13:05:08" with `time`) as the list shows a date; "" for no valid date.
std::string FatDateText(std::uint16_t date, const std::uint16_t* time) {
  const int day = date & 0x1F, month = (date >> 5) & 0x0F, year = ((date >> 9) & 0x7F) + 1980;
  if (date == 0 || day < 1 || month < 1 || month > 12) return {};
  char buf[48];
  if (!time) {
    std::snprintf(buf, sizeof buf, "%d/%02d/%d", day, month, year);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%d/%02d/%d %d:%02d:%02d", day, month, year, (*time >> 11) & 0x1F,
                (*time >> 5) & 0x3F, (*time & 0x1F) * 2);
  return buf;
}

}  // namespace

std::vector<NumberRange> ClusterRanges(const std::vector<std::uint16_t>& clusters) {
  std::vector<NumberRange> out;
  for (std::uint16_t c : clusters) {
    if (!out.empty() && out.back().last + 1 == c)
      out.back().last = c;
    else
      out.push_back({c, c});
  }
  return out;
}

std::vector<NumberRange> SectorRanges(const DiskGeometry& g,
                                      const std::vector<NumberRange>& clusters) {
  std::vector<NumberRange> out;
  if (g.bytesPerSector == 0 || g.sectorsPerCluster == 0) return out;
  for (const NumberRange& r : clusters) {
    const std::uint64_t first =
        ClusterOffset(g, static_cast<std::uint32_t>(r.first)) / g.bytesPerSector;
    const std::uint64_t last =
        ClusterOffset(g, static_cast<std::uint32_t>(r.last)) / g.bytesPerSector +
        g.sectorsPerCluster - 1;
    out.push_back({first, last});
  }
  return out;
}

std::string RangesText(const std::vector<NumberRange>& ranges) {
  std::string out;
  for (const NumberRange& r : ranges) {
    if (!out.empty()) out += ", ";
    out += std::to_string(r.first);
    if (r.last != r.first) out += "-" + std::to_string(r.last);
  }
  return out;
}

FileProperties BuildFileProperties(const DiskImage& image, const FileEntry& entry) {
  FileProperties p;
  if (!image.Usable()) return p;
  p.chain = FileChain(image, entry.firstCluster);
  p.clusters = ClusterRanges(p.chain);
  p.sectors = SectorRanges(image.geometry, p.clusters);
  for (const DiskFinding& f : CheckLaidOut(image).findings)
    if (f.entryOffset == entry.offset) p.chainFaults.push_back(f.message);
  if (const std::optional<Bytes> raw = image.Read(entry.offset, kDirEntrySize)) {
    auto word = [&](std::size_t at) {
      return static_cast<std::uint16_t>((*raw)[at] | ((*raw)[at + 1] << 8));
    };
    const std::uint16_t createdTime = word(kCreatedTime);
    p.created = FatDateText(word(kCreatedDate), &createdTime);
    p.accessed = FatDateText(word(kAccessedDate), nullptr);
  }
  return p;
}

}  // namespace quarnel::tools
