// Builds MSX disk images in memory for tests: a boot sector with any geometry (sound or broken),
// FAT chains set cluster by cluster, files and subdirectories with their entries.
//
//   ImageBuilder b;                                  // an empty 720 KB disk
//   b.AddFile(kRoot, "GAME.BAS", {0xFF, 1, 2});       // allocates, writes data, adds the entry
//   uint16_t games = b.AddDirectory(kRoot, "GAMES");  // "." and ".." inside
//   b.AddFile(games, "ZORK.TXT", bytes);
//   b.SetFat(5, 5);                                   // break things on purpose
//   auto image = b.Bytes();                           // or b.WriteTo(path)
//
// Every write stays inside the buffer (the builder throws std::out_of_range otherwise), so a test
// can describe a boot sector that points anywhere without the builder itself misbehaving.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/dir_entry.h"
#include "core/disk_image.h"
#include "core/fat_codec.h"

namespace quarnel::test {

// The boot-sector fields of a test image.
struct GeometryLayout {
  std::uint16_t bytesPerSector = 512;
  std::uint8_t sectorsPerCluster = 2;
  std::uint16_t reservedSectors = 1;
  std::uint8_t fatCount = 2;
  std::uint16_t rootEntries = 112;
  std::uint16_t totalSectors = 1440;
  std::uint8_t media = 0xF9;
  std::uint16_t sectorsPerFat = 3;
  std::uint16_t sectorsPerTrack = 9;
  std::uint16_t sides = 2;

  static GeometryLayout Msx720();        // 720 KB, 9 sectors x 80 tracks x 2 sides
  static GeometryLayout Msx360Single();  // 360 KB, 9 sectors x 80 tracks x 1 side
  static GeometryLayout Msx160();        // 160 KB, one-sector clusters, 64 root entries
  static GeometryLayout Pc1440();        // 1.44 MB, 18 sectors x 80 tracks x 2 sides
};

// The FAT12 marks the builder's images use.
inline constexpr std::uint16_t kFatEndOfChain = FatMarksOf(FatKind::Fat12).endOfChain;
inline constexpr std::uint16_t kFatBad = FatMarksOf(FatKind::Fat12).bad;

// Directory handle: kRoot, or the first cluster of a subdirectory.
inline constexpr std::uint16_t kRoot = 0;

// Fields of a directory entry for AddEntry.
struct EntrySpec {
  std::string name;  // "GAME.BAS", "README", "." or ".." (converted with MsxName)
  std::uint8_t attribute = 0;
  std::uint16_t firstCluster = 0;
  std::uint32_t size = 0;
  std::uint16_t time = (13 << 11) | (5 << 5) | 4;  // 13:05:08
  std::uint16_t date = (22 << 9) | (4 << 5) | 5;   // 5/04/2002
};

class ImageBuilder {
 public:
  // An empty formatted disk: boot sector, FATs with the media byte, zero root and data area.
  // `imageSize` 0 means totalSectors x bytesPerSector.
  explicit ImageBuilder(GeometryLayout g = GeometryLayout::Msx720(), std::size_t imageSize = 0);

  const GeometryLayout& layout() const { return layout_; }
  // The geometry as the core derives it.
  const DiskGeometry& geometry() const { return geometry_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  void WriteTo(const std::filesystem::path& p) const;

  // Raw byte access (bounds-checked).
  void Poke(std::size_t offset, std::uint8_t v);
  void Poke16(std::size_t offset, std::uint16_t v);
  void PokeBytes(std::size_t offset, const std::vector<std::uint8_t>& v);

  // FAT entry `cluster` in every FAT copy.
  void SetFat(std::uint32_t cluster, std::uint16_t value);
  std::uint16_t Fat(std::uint32_t cluster) const;  // first copy
  // Links `clusters` in order; the last gets 0xFFF.
  void Chain(const std::vector<std::uint16_t>& clusters);
  // The `n` lowest free data clusters (not yet linked).
  std::vector<std::uint16_t> FreeClusters(std::size_t n) const;
  std::size_t ClusterOffset(std::uint16_t cluster) const;
  // Writes `data` from the start of `cluster` on (it may run into the following clusters).
  void WriteData(std::uint16_t cluster, const std::vector<std::uint8_t>& data);

  // Adds an entry in the first never-used slot of `dir`; returns the slot. Throws when full.
  int AddEntry(std::uint16_t dir, const EntrySpec& e);
  // Writes an entry at slot `slot` of `dir`.
  void PutEntry(std::uint16_t dir, int slot, const EntrySpec& e);
  // Writes 32 raw bytes at slot `slot` of `dir` (long-name pieces, odd names).
  void PutRawEntry(std::uint16_t dir, int slot, const std::array<std::uint8_t, 32>& raw);
  // Byte offset of slot `slot` of `dir` (following the directory's chain).
  std::size_t EntryOffset(std::uint16_t dir, int slot) const;

  // Allocates the lowest free clusters, writes `content`, chains them and adds the entry.
  // Returns the first cluster (0 for an empty file).
  std::uint16_t AddFile(std::uint16_t dir, std::string_view name,
                        const std::vector<std::uint8_t>& content, std::uint8_t attribute = 0);
  // A subdirectory of `clusters` clusters with "." and "..". Returns its first cluster.
  std::uint16_t AddDirectory(std::uint16_t parent, std::string_view name, std::size_t clusters = 1);
  // A volume label entry in the root.
  void AddVolume(std::string_view label);

  // "GAME.BAS" -> "GAME    BAS"; "." and ".." as MSX-DOS stores them.
  static std::array<std::uint8_t, 11> MsxName(std::string_view name);

 private:
  std::vector<std::uint16_t> DirClusters(std::uint16_t dir) const;
  std::size_t DirSlots(std::uint16_t dir) const;

  GeometryLayout layout_;
  DiskGeometry geometry_;
  std::vector<std::uint8_t> bytes_;
};

// Deterministic test content of `n` bytes (varies with `seed`).
std::vector<std::uint8_t> Pattern(std::size_t n, std::uint32_t seed = 1);

}  // namespace quarnel::test
