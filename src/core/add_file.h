// Adding host files to the root directory of the image in memory: MSX 8.3 names, the free-slot
// rule, allocation of the lowest free clusters, replacing a same-named file, and the drop of
// several files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/disk_image.h"
#include "core/ui.h"

namespace quarnel {

class Workspace;

// Longest host name used without the rename dialog.
inline constexpr std::size_t kLongestHostName = 12;

// Host file name (without folder) -> the 11 name bytes of an entry: name and extension padded
// with blanks, a-z upper-cased, the extension field restarted at every dot; only the first 12
// characters are looked at.
std::array<std::uint8_t, 11> MakeMsxName(std::string_view hostName);

// A name the rename dialog accepts: 1..12 characters, an extension (from the last dot on) of at
// most 4 characters and at most 8 before it; and its entry name must start with a byte that
// marks a used slot (above 0x20, below 0x80), so that the entry cannot pass for a free one.
bool IsValidMsxName(std::string_view name);

// True when an entry with this first name byte counts as a free slot (never used 0x00, deleted
// 0xE5, and every byte of 0x20 or less or 0x80 or more).
inline bool IsFreeSlotByte(std::uint8_t first) { return first <= 0x20 || first >= 0x80; }

// First free slot of the root directory; nullopt when the root is full.
std::optional<int> FindFreeRootSlot(const DiskImage& image);

// The `n` lowest free data clusters in ascending order, found in one pass over the FAT; fewer
// when the disk has fewer.
std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n);

// Number of free data clusters.
std::size_t FreeClusterCount(const DiskImage& image);

// A file to put on the disk, already read into memory.
struct NewFile {
  std::string name;  // host name, at most 12 characters (see MakeMsxName)
  std::vector<std::uint8_t> bytes;
  std::uint8_t attribute = 0x20;
  LocalDateTime modified;
};

enum class AddStatus {
  Added,
  NoImage,          // "No disk image selected!"
  NotInRoot,        // "Only in Root Dir"
  Cancelled,        // the rename dialog was cancelled
  NameIsDirectory,  // a directory of that name is in the root (message shown)
  DiskFull,         // "Disk full"
  DirectoryFull,    // "Directory full"
  ReadError,        // "read ERROR!"
  NoMemory,         // "Could not allocate memory"
};

// Writes `file` into the root directory. Decides first that it fits (counting the clusters and
// the slot a same-named file would free), and only then deletes same-named files and writes, so
// a refusal leaves the image as it was. Sets `changed`.
AddStatus AddFileData(Workspace& ws, const NewFile& file, Ui& ui);

// Adds one host file: its name (through the rename dialog when it is longer than 12 characters
// or would make no usable entry name), bytes, read-only bit and modification time.
AddStatus AddFile(Workspace& ws, const std::filesystem::path& hostPath, Ui& ui);

// What a drop of host files onto the file list did.
enum class DropOutcome {
  OpenImage,     // exactly one .DSK file: the caller opens it as an image
  OpenCassette,  // exactly one .CAS file: the caller lists it as a cassette
  NotInRoot,     // "Only in Root Dir"; nothing added
  Added,         // every file added
  SomeFailed,    // at least one file was not added (its message was shown)
};

// The adding branch of a drop: files added one after another, "Adding file i of n" in the status
// line after each, the status line restored and the list read again at the end.
DropOutcome DropFiles(Workspace& ws, const std::vector<std::filesystem::path>& files, Ui& ui);

}  // namespace quarnel
