#include "tools/disk_report.h"

#include <cstdio>
#include <string_view>

#include "core/dir_entry.h"
#include "core/fat.h"
#include "core/tree_map.h"
#include "core/workspace.h"
#include "tools/messages.h"

namespace quarnel::tools {

namespace {

std::string N(std::int64_t v) { return std::to_string(v); }

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string DateTime(const FileEntry& e) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%02d/%d", e.day, e.month, e.year);
  std::string out = buf;
  out += kInfoAt;
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", e.hour, e.minute, e.second);
  return out + buf;
}

// The legend items both reports share, up to the system area's symbol.
std::vector<LegendItem> CommonLegend(std::string_view systemLabelEnd) {
  return {
      {MapClass::Unused, 'J', std::string(kLegendUnused) + "\t"},
      {MapClass::Used, 'K', std::string(kLegendUsed) + "\t"},
      {MapClass::Last, 'K', std::string(kLegendLast) + "\n\t"},
      {MapClass::Bad, 'L', std::string(kLegendBad) + "\t"},
      {MapClass::System, 'K', std::string(kLegendSystem) + std::string(systemLabelEnd)},
  };
}

// The map needs geometry that places the data area inside the image.
bool MapPossible(const DiskImage& image) {
  return !image.Empty() && ClustersMappable(image.geometry, image.Size());
}

std::string EntryName(const FileEntry& e) { return e.name + "." + e.extension; }

}  // namespace

MapClass ClassOfFatValue(FatKind kind, std::uint16_t v) {
  const FatMarks marks = FatMarksOf(kind);
  if (v == 0) return MapClass::Unused;
  if (v < marks.firstReserved) return MapClass::Used;
  if (v < marks.bad) return MapClass::Reserved;
  if (v == marks.bad) return MapClass::Bad;
  return MapClass::Last;
}

char MapLetter(MapClass c) {
  switch (c) {
    case MapClass::System:
      return 'S';
    case MapClass::Unused:
      return '.';
    case MapClass::Used:
      return 'U';
    case MapClass::Reserved:
      return 'R';
    case MapClass::Bad:
      return 'B';
    case MapClass::Last:
      return 'L';
    case MapClass::File:
      return 'F';
  }
  return '?';
}

char MapSymbol(MapClass c) {
  switch (c) {
    case MapClass::Unused:
      return 'J';
    case MapClass::Reserved:
      return 'R';
    case MapClass::Bad:
      return 'L';
    default:
      return 'K';
  }
}

Rgb ColourRgb(ReportColour c) {
  switch (c) {
    case ReportColour::Black:
      return {0, 0, 0};
    case ReportColour::Green:
      return {0, 128, 0};
    case ReportColour::Blue:
      return {0, 0, 255};
    case ReportColour::Aqua:
      return {0, 255, 255};
    case ReportColour::Red:
      return {255, 0, 0};
    case ReportColour::Lime:
      return {0, 255, 0};
    case ReportColour::Fuchsia:
      return {255, 0, 255};
    case ReportColour::Yellow:
      return {255, 255, 0};
  }
  return {};
}

ReportColour ClassColour(MapClass c) {
  switch (c) {
    case MapClass::System:
      return ReportColour::Lime;
    case MapClass::Unused:
      return ReportColour::Green;
    case MapClass::Used:
      return ReportColour::Blue;
    case MapClass::Reserved:
      return ReportColour::Yellow;
    case MapClass::Bad:
      return ReportColour::Red;
    case MapClass::Last:
      return ReportColour::Aqua;
    case MapClass::File:
      return ReportColour::Fuchsia;
  }
  return ReportColour::Black;
}

std::optional<std::uint16_t> ClusterMap::ClusterOfCell(std::size_t cell) const {
  if (cell >= cells.size() || cell < static_cast<std::size_t>(systemCells)) return std::nullopt;
  return static_cast<std::uint16_t>(cell - systemCells + 2);
}

std::optional<std::size_t> ClusterMap::CellOfCluster(std::uint16_t cluster) const {
  if (cluster < 2) return std::nullopt;
  const std::size_t cell = static_cast<std::size_t>(systemCells) + cluster - 2;
  if (cell >= cells.size()) return std::nullopt;
  return cell;
}

std::string ClusterMap::RowLabel(std::size_t row) {
  std::string label = std::to_string(row * kCellsPerRow) + "\t";
  if (label.size() < 4) label.insert(0, 4 - label.size(), ' ');
  return label;
}

std::string ClusterMap::Letters() const {
  std::string out;
  out.reserve(cells.size());
  for (MapClass c : cells) out += MapLetter(c);
  return out;
}

std::vector<std::uint16_t> FileChain(const DiskImage& image, std::uint16_t first) {
  std::vector<std::uint16_t> out;
  if (first == 0) return out;
  // Every cluster the chain reaches, each once: a loop ends the walk where it comes back.
  const ChainPolicy policy{ChainLoops::AtRevisit, ChainFreeOrBad::Yield, ChainEarlyEnd::Short, 0};
  ChainWalk walk(image, first, policy);
  for (std::uint16_t c : walk) out.push_back(c);
  return out;
}

ClusterMap BuildClusterMap(const DiskImage& image, const std::vector<std::uint16_t>& highlight) {
  ClusterMap map;
  if (!MapPossible(image)) return map;
  const auto& g = image.geometry;
  map.systemCells = static_cast<int>(g.dataOffset / g.clusterBytes);
  map.cells.assign(static_cast<std::size_t>(map.systemCells), MapClass::System);
  map.cells.reserve(map.cells.size() + static_cast<std::size_t>(g.dataClusters));
  ScanFat(image, g.LastDataCluster(), [&](std::uint32_t, std::uint16_t v) {
    map.cells.push_back(ClassOfFatValue(g.fatKind, v));
    return true;
  });
  for (std::uint16_t c : highlight)
    if (auto cell = map.CellOfCluster(c)) map.cells[*cell] = MapClass::File;
  return map;
}

Report BuildDiskDetail(const DiskImage& image, std::string_view fileName) {
  Report r;
  r.viewMode = kModeDiskDetail;
  r.caption = std::string(kCaptionDetails) + std::string(fileName);
  if (image.loadFailed || image.bootError) r.warning = kDiskErrorWarning;
  if (image.Empty()) return r;  // nothing in memory to report on

  const auto& g = image.geometry;
  r.sizeBytes = static_cast<decltype(r.sizeBytes)>(image.Size());
  r.freeBytes = MapPossible(image) ? FreeBytes(image) : 0;
  r.freePercent = r.sizeBytes > 0 ? static_cast<double>(r.freeBytes) / r.sizeBytes * 100.0 : 0;
  const std::uint32_t spt = g.sectorsPerTrack, sides = g.sides;
  const std::uint32_t tracks = spt && sides ? g.totalSectors / spt / sides : 0;
  const std::uint32_t clusters = g.sectorsPerCluster ? g.totalSectors / g.sectorsPerCluster : 0;
  r.tracks = tracks;
  r.diskClusters = clusters;
  r.lines = {
      "",
      std::string(kDetailTitle),
      "",
      std::string(kDetailCapacity),
      "    " + N(r.sizeBytes) + std::string(kDetailBytes),
      "    " + Printf("%3.2f", r.freePercent) + std::string(kDetailFree),
      "",
      std::string(kDetailLogical),
      std::string(kDetailSectors) + N(g.totalSectors) + std::string(kDetailEachSector) +
          N(g.bytesPerSector) + std::string(kDetailBytesWord),
      std::string(kDetailTrackSectors) + N(spt) + std::string(kDetailSectorsWord),
      std::string(kDetailFats) + N(g.fatCount) + std::string(kDetailFatSectors) +
          N(g.sectorsPerFat) + std::string(kDetailSectorsWord),
      std::string(kDetailTracks) + N(tracks) + std::string(kDetailTracksWord),
      std::string(kDetailSides) + N(sides) + std::string(kDetailSidesWord),
      std::string(kDetailClusterSectors) + N(g.sectorsPerCluster) + std::string(kDetailSectorsWord),
      std::string(kDetailClusters) + N(clusters) + std::string(kDetailClustersWord),
      std::string(kDetailClusterBytes) +
          N(static_cast<std::int64_t>(g.sectorsPerCluster) * g.bytesPerSector) +
          std::string(kDetailBytesWord),
      std::string(kDetailRoot) + N(g.rootEntries) + std::string(kDetailFilesWord),
      "",
      std::string(kDetailMap),
  };
  r.legend = CommonLegend("\n\n");
  r.hasMap = MapPossible(image);
  r.map = BuildClusterMap(image);
  return r;
}

Report BuildFileInfo(const DiskImage& image, const FileEntry& entry) {
  Report r;
  r.viewMode = kModeFileInfo;
  const std::string name = EntryName(entry);
  r.caption = std::string(kCaptionInfo) + name;
  const std::uint32_t cb = image.geometry.clusterBytes;
  const std::int64_t size = entry.size < 0 ? 0 : entry.size;
  r.sizeBytes = size;
  r.fileClusters = cb ? (size + cb - 1) / cb : 0;
  r.modified = DateTime(entry);
  r.lines = {
      "",
      std::string(kInfoSize) + N(size) + std::string(kDetailBytesWord),
      std::string(kInfoSpanning) + N(r.fileClusters) + std::string(kInfoClusters),
      std::string(kInfoChanged) + r.modified,
  };
  r.legend = CommonLegend("\t");
  r.legend.push_back({MapClass::File, 'J', " " + name + "\n\n"});
  r.chain = FileChain(image, entry.firstCluster);
  r.hasMap = MapPossible(image);
  r.map = BuildClusterMap(image, r.chain);
  return r;
}

std::string ReportText(const Report& report) {
  std::string out;
  if (!report.warning.empty()) out += report.warning + "\n";
  for (const auto& line : report.lines) out += line + "\n";
  if (!report.hasMap) return out;
  out += kLegendLead;
  for (const auto& item : report.legend) {
    out += MapLetter(item.cls);
    out += item.label;
  }
  const auto& cells = report.map.cells;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i % ClusterMap::kCellsPerRow == 0) {
      if (i > 0) out += "\n";
      out += ClusterMap::RowLabel(i / ClusterMap::kCellsPerRow);
    }
    out += MapLetter(cells[i]);
  }
  out += "\n";
  return out;
}

std::vector<std::string> ClusterOwners(const DiskImage& image) {
  std::vector<std::string> owners;
  if (!image.Usable()) return owners;
  owners.resize(image.geometry.LastDataCluster() + 1);
  const TreeClusters tree = MapTreeClusters(image);
  std::vector<std::string> paths(tree.entries.size());  // made when first asked for
  for (std::uint32_t c = 0; c < owners.size(); ++c) {
    for (const std::uint32_t i : tree.OwnersOf(c)) {
      const TreeEntry& e = tree.entries[i];
      // The first entry that reaches the cluster holds it; a volume name holds nothing.
      if ((e.attribute & kAttrVolume) && !(e.attribute & kAttrDirectory)) continue;
      if (paths[i].empty()) paths[i] = "\\" + tree.PathOf(i);
      owners[c] = paths[i];
      break;
    }
  }
  return owners;
}

std::string DescribeCell(const ClusterMap& map, std::size_t cell,
                         const std::vector<std::string>& owners) {
  if (cell >= map.cells.size()) return "";
  const auto cluster = map.ClusterOfCell(cell);
  if (!cluster) return std::string(kCellSystem);
  std::string out = std::string(kCellCluster) + std::to_string(*cluster);
  const MapClass c = map.cells[cell];
  if (c == MapClass::Unused) return out + std::string(kCellFree);
  if (c == MapClass::Bad) return out + std::string(kCellBad);
  if (c == MapClass::Reserved) return out + std::string(kCellReserved);
  if (*cluster < owners.size() && !owners[*cluster].empty())
    return out + std::string(kCellOwner) + owners[*cluster];
  return out + std::string(kCellNoOwner);
}

}  // namespace quarnel::tools
