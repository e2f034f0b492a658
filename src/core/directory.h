// Directories of the current image: the decoded slots of the current directory, the entry last
// decoded, the stack of directory levels, and moving between levels.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/ui.h"

namespace quarnel {

class Workspace;
struct FileRow;

// One slot of the current directory, raw.
struct ListingRecord {
  std::array<std::uint8_t, 8> name{};  // blanks and control bytes kept
  std::array<std::uint8_t, 3> extension{};
  std::uint8_t attribute = 0;
  std::uint16_t time = 0;
  std::uint16_t date = 0;
  std::uint16_t firstCluster = 0;
  std::int32_t size = 0;       // bytes 28-30 of the entry, as the listing shows it
  std::uint32_t fullSize = 0;  // all four size bytes: beyond the disk, the entry is damaged
};

// The fields of the entry last decoded by ReadEntry.
struct CurrentEntry {
  std::string name;       // the name bytes without their trailing blanks (a leading 0x05 read
                          // as the 0xE5 it stands for); blanks and control bytes inside kept
  std::string extension;  // the 3 extension bytes, blanks kept
  std::int32_t size = 0;
  std::uint32_t fullSize = 0;  // all four size bytes
  int hour = 0, minute = 0, second = 0;
  int day = 0, month = 0, year = 0;
  std::uint16_t firstCluster = 0;
  int index = -1;  // slot within the current directory
  std::uint8_t attribute = 0;
};

struct DirLevel {
  std::string path;  // "\" for the root; parent's path + caption + "\" below
  std::uint16_t firstCluster = 0;
  std::int32_t entryCount = 0;
  std::int32_t byteSize = 0;  // subdirectories only
};

inline constexpr int kDirStackDepth = 32;  // the root and 31 levels below it
using DirStack = std::array<DirLevel, kDirStackDepth>;

// Decodes a raw 32-byte entry.
ListingRecord DecodeListingRecord(const std::uint8_t* entry32);

// Rebuilds the ListingRecords of the current level (falling back to the parent when its chain
// is broken), shows the path in the status line and fills the file list.
void ReadDirectory(Workspace& ws, Ui& ui);

// Decodes slot `slot` of the current directory into ws.current. False for a slot that holds no
// entry (never used or deleted, see IsFreeSlot) and for a VFAT long-name piece. Names that start
// with a control byte, a blank or a byte of 0x80 and more (kana on Japanese disks) are entries.
bool ReadEntry(Workspace& ws, int slot);

// Outcome of a double-click on a navigation row.
enum class EnterOutcome {
  Entered,        // the listing now shows the chosen directory (or the same one for ".")
  Left,           // moved up one level (".." )
  Illegal,        // "Illegal Directory!" shown; the current directory stays
  BrokenChain,    // the directory's chain is broken: back at the root
  TooDeep,        // no 33rd level; a message of ours, the current directory stays
  NotADirectory,  // the row is no navigation row; nothing happened
};

// The navigation of a double-click on a row of type "Directory", "." or "..".
EnterOutcome EnterDirectory(Workspace& ws, const FileRow& row, Ui& ui);

}  // namespace quarnel
