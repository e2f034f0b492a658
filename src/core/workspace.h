// One working session over one disk image: the volume, its path and whether it has unsaved
// changes, the folders walked into from the root and the slots of the one shown. The desktop
// program owns one while a disk image is open; every command-line command and every test makes
// its own. What the windows show (rows, fields, the status line) is the front ends' business.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ascii.h"
#include "core/disk_image.h"
#include "core/file_types.h"  // HostFileKindOf, for the callers that take it from here
#include "core/host_file.h"
#include "core/save_image.h"
#include "core/volume.h"

namespace quarnel {

// A directory walked into: its path as the status line shows it and the directory itself.
struct DirLevel {
  std::string path;  // "\" for the root; parent's path + caption + "\" below
  DirRef dir;
};

// The root and at most 31 levels below it.
inline constexpr int kDirStackDepth = 32;

// Outcome of moving into or out of a directory.
enum class EnterOutcome {
  Entered,        // the listing now shows the chosen directory (or the same one for ".")
  Left,           // moved up one level (".." )
  Illegal,        // "Illegal Directory!"; the current directory stays
  BrokenChain,    // the directory's chain is broken: back at the root
  TooDeep,        // no 33rd level; the current directory stays
  NotADirectory,  // the entry is no directory; nothing happened
};

// What the user is told about an outcome of Enter: "Illegal Directory!", the nesting limit, or
// nothing ("").
std::string_view EnterMessage(EnterOutcome outcome);

// How a load went, for the front end to tell: the messages in the order the user is to see them
// (a warning about an odd size, then a refusal), and what kept the file from being read as a host
// file (LoadImage only).
struct LoadReport {
  HostReadError read = HostReadError::None;
  std::vector<std::string_view> messages;
};

class Workspace {
 public:
  DiskImage image;                // the volume: bytes, geometry and how the load went
  std::string imagePath;          // the file it was loaded from (kept after a refused boot sector)
  std::vector<DirLevel> folders;  // the root first; the last one is shown
  DirContents listing;            // the slots of the shown directory

  // Loads and validates an image file: reads it and hands its bytes to LoadImageBytes; the
  // outcome is in image.loadFailed / image.bootError, the messages in the report. Unsaved changes
  // of the image it replaces are dropped: the front end settles them first. A path that does not
  // exist leaves no image loaded and gives no message; a file of a size no disk has is refused
  // unread. The report's `read` says what kept the file from being read as a host file (its kind
  // when it is no regular file, a failed open or read); None when it was read or refused for its
  // size.
  LoadReport LoadImage(const std::string& path);
  // The same from bytes already in memory (steps after the file read); `path` becomes
  // imagePath. Used by LoadImage, tests, fuzzing and converters. `holes`: the blocks the file
  // kept as holes, which a save leaves as holes again without looking at them.
  LoadReport LoadImageBytes(ImageBytes bytes, const std::string& path, ZeroBlocks holes = {});
  LoadReport LoadImageBytes(const std::vector<std::uint8_t>& bytes, const std::string& path);
  // Bytes a program made in memory (fuzzing): the boot sector is checked as in any load, but
  // the sizes a file must have do not apply, so a disk of a few dozen sectors loads.
  LoadReport LoadBuiltImage(ImageBytes bytes, const std::string& path);
  // The volume in `store` (a partition, an image file read in place): only its boot sector is
  // read now, the FAT and the directories as they are listed, files as they are read. FAT12 and
  // FAT16 volumes load; a boot sector that gives no layout is refused as in any load.
  LoadReport LoadVolume(std::unique_ptr<SectorStore> store, const std::string& path);
  // The image in memory differs from its file: changed since it was loaded or saved.
  bool IsChanged() const { return changed_; }
  // Called by whatever changed the image's bytes (an add, a delete, a write-back, ...), once
  // its outcome says it did.
  void MarkChanged() { changed_ = true; }
  // The image in memory is its file's again: saved, loaded, or its changes dropped.
  void MarkSaved() { changed_ = false; }

  // The image may be listed and read.
  bool HasImage() const { return !imagePath.empty() && image.Usable(); }
  // The shown directory and its path ("\" and the root when nothing is loaded).
  DirRef CurrentDir() const { return folders.empty() ? kRootDir : folders.back().dir; }
  std::string CurrentPath() const { return folders.empty() ? "\\" : folders.back().path; }
  bool AtRoot() const { return folders.size() <= 1; }
  // Levels below the root (0 at the root).
  int Depth() const { return folders.empty() ? 0 : static_cast<int>(folders.size()) - 1; }

  // The entry in slot `slot` of the shown directory; nullopt for a free slot or a long-name piece.
  std::optional<FileEntry> EntryAt(int slot) const { return quarnel::EntryAt(listing, slot); }
  // Every entry of the shown directory in slot order.
  std::vector<FileEntry> Entries() const { return EntriesOf(listing); }

  // Lists the shown directory again from the image; a directory whose chain broke meanwhile
  // gives way to its parent (the root never breaks).
  void Refresh();
  // Moves into the directory `entry` of the shown directory ("." stays, ".." goes up one).
  // `caption` is the entry's name as the front end lists it; it extends the path.
  EnterOutcome Enter(const FileEntry& entry, std::string_view caption);
  // Moves up one level (never above the root).
  void Leave();

  // Forgets the image and everything derived from it.
  void Unload();

 private:
  bool changed_ = false;
  // Refuses a size no disk image has with the message for it (too big, too small) and
  // loadFailed; true then.
  bool RefuseImageSize(std::uintmax_t size, LoadReport& report);
  // An image file larger than a floppy, read in place when its boot sector gives a FAT volume;
  // false (nothing loaded) otherwise.
  bool LoadLargeImage(const std::string& path, std::uintmax_t size, LoadReport& report);
  // Steps of a load after the bytes are in: boot sector, geometry (at most `mostClusters`), root
  // listing.
  void FinishLoad(LoadReport& report, std::int32_t mostClusters = kMostFat12Clusters);
};

}  // namespace quarnel
