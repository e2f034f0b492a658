// The two read-only reports on a disk image as data: DISK DETAIL (capacity, free space, the
// logical geometry) and FILE INFO (one entry's size, clusters and time), each followed by the
// legend and the map of the whole disk, one class per cluster-sized cell. Front ends draw the
// runs and the cells as they can; nothing here knows fonts beyond their names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/disk_image.h"
#include "core/volume.h"

namespace quarnel::tools {

// What a map cell stands for.
enum class MapClass : std::uint8_t {
  System,    // before cluster 2: boot sector, FATs, root directory
  Unused,    // FAT value 0
  Used,      // 1 .. 0xFEF
  Reserved,  // 0xFF0 .. 0xFF6 (the legend does not explain it)
  Bad,       // 0xFF7 (FAT16: 0xFFF7)
  Last,      // 0xFF8 .. 0xFFF (FAT16: 0xFFF8 .. 0xFFFF)
  File,      // a cluster of the reported file (FILE INFO only)
};

// The class of a FAT value met at a data cluster.
MapClass ClassOfFatValue(FatKind kind, std::uint16_t v);
// One letter per class for text output: S . U R B L F.
char MapLetter(MapClass c);
// The letter of the symbol font the class is drawn with ("J", "K", "L", "R").
char MapSymbol(MapClass c);

enum class ReportColour : std::uint8_t { Black, Green, Blue, Aqua, Red, Lime, Fuchsia, Yellow };
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};
Rgb ColourRgb(ReportColour c);
ReportColour ClassColour(MapClass c);

// A piece of the legend: a symbol of a class (drawn in the symbol font, `symbol` its letter)
// followed by its label in the text font and the same colour. The label carries its own tabs and
// line breaks ("\t", "\n").
struct LegendItem {
  MapClass cls = MapClass::Unused;
  char symbol = 'J';
  std::string label;
};

// The map of the whole disk: `systemCells` cells of the system area, then one per data cluster.
struct ClusterMap {
  static constexpr int kCellsPerRow = 40;

  int systemCells = 0;  // d = dataOffset / clusterBytes
  std::vector<MapClass> cells;

  // The cluster number a cell stands for (none for the system area).
  std::optional<std::uint16_t> ClusterOfCell(std::size_t cell) const;
  // The cell of a cluster.
  std::optional<std::size_t> CellOfCluster(std::uint16_t cluster) const;
  std::size_t RowCount() const { return (cells.size() + kCellsPerRow - 1) / kCellsPerRow; }
  // The label of a row with its tab, right-aligned in four characters ("  0\t", " 40\t",
  // "680\t", "1000\t").
  static std::string RowLabel(std::size_t row);
  // One letter per cell (MapLetter), in cell order.
  std::string Letters() const;
};

// Builds the map. `highlight` lists the clusters of the reported file (drawn as File).
ClusterMap BuildClusterMap(const DiskImage& image,
                           const std::vector<std::uint16_t>& highlight = {});

// Every cluster of the chain that starts at `first`, in chain order, each once: one walk with the
// chain walker, bounded by the disk and stopping where the chain loops back. Empty for 0 or a
// first cluster that is no data cluster.
std::vector<std::uint16_t> FileChain(const DiskImage& image, std::uint16_t first);

struct Report {
  std::string viewMode;            // kModeDiskDetail or kModeFileInfo
  std::string caption;             // the window caption
  std::string warning;             // shown before the report ("" for none)
  std::vector<std::string> lines;  // the text lines, in the text font, black
  std::vector<LegendItem> legend;  // written after the lines, starting with "\n\t"
  bool hasMap = false;             // false when no image bytes are there to map
  ClusterMap map;

  // Figures behind the lines, for data output.
  std::int64_t sizeBytes = 0;
  std::int64_t freeBytes = 0;
  double freePercent = 0;
  std::uint32_t tracks = 0;          // totalSectors / sectorsPerTrack / sides
  std::uint32_t diskClusters = 0;    // totalSectors / sectorsPerCluster, the system area included
  std::vector<std::uint16_t> chain;  // FILE INFO: the file's clusters in chain order
  std::int64_t fileClusters = 0;     // FILE INFO: clusters its size needs
  std::string modified;              // FILE INFO: "date at time" as the line shows it
};

// The legend's leading text (written before the first item).
inline constexpr std::string_view kLegendLead = "\n\t";

// DISK DETAIL of the loaded image; `fileName` is the image's file name without its folder.
Report BuildDiskDetail(const DiskImage& image, std::string_view fileName);
// FILE INFO of `entry`.
Report BuildFileInfo(const DiskImage& image, const FileEntry& entry);

// The report as plain text: the lines, the legend with letters for symbols, and the map with
// its row labels and one MapLetter per cell.
std::string ReportText(const Report& report);

// Which file or directory holds each cluster: the full path ("\GAMES\ZORK.BAS") by cluster
// number, "" for clusters no entry reaches. Every directory of the tree is listed once, every
// chain walked once.
std::vector<std::string> ClusterOwners(const DiskImage& image);

// What a map cell tells when the pointer rests on it: its cluster number and class, and which
// file owns it.
std::string DescribeCell(const ClusterMap& map, std::size_t cell,
                         const std::vector<std::string>& owners);

}  // namespace quarnel::tools
