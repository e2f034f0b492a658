// Sectors of the image as the sector view shows them, and the two write-backs of the hex grid:
// a sector's bytes into the image, and a file's bytes along its cluster chain. The questions are
// asked by the front end before these calls; the calls only write and say how it went.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/outcome.h"
#include "core/volume.h"
#include "core/workspace.h"

namespace quarnel::tools {

// The sectors the view steps through. An image whose boot sector was refused is read as
// 512-byte sectors over its whole size; a sector the image does not wholly hold is no sector.
struct SectorLayout {
  std::uint32_t bytesPerSector = 512;
  std::int32_t totalSectors = 0;
};
SectorLayout SectorLayoutOf(const DiskImage& image);

// The sector-number box: a decimal number, or a hexadecimal one after "$" ("$1F" is 31), with
// an optional sign; blanks around it are allowed. nullopt for anything else (empty included).
std::optional<std::int64_t> ParseSectorNumber(std::string_view text);
// "'TEXT' is not a valid integer value".
std::string NotAnIntegerMessage(std::string_view text);
// Above the last sector becomes the last; below 0 becomes 0.
std::int32_t ClampSector(std::int64_t n, const SectorLayout& layout);
// The bytes of sector `sector` (empty when the image does not hold it).
std::vector<std::uint8_t> SectorBytes(const DiskImage& image, const SectorLayout& layout,
                                      std::int32_t sector);

// A Yes/No question: its text and the box's caption.
struct Question {
  std::string text;
  std::string caption;
};
Question SectorSaveQuestion(std::int32_t sector);
Question FileSaveQuestion(std::string_view viewedName);

enum class WriteStatus {
  Written,
  NoImage,       // no image bytes in memory
  Outside,       // no such sector, or the bytes run past the sector or the file
  EntryChanged,  // the viewed entry no longer holds the file that was shown
  NotAFile,      // a directory or volume entry
  ClusterError,  // the chain breaks before the bytes: written as far as it goes (file view) or
                 // nothing written (overwrite in place)
  Nothing,       // no bytes given
  NeedsCheck,    // a cluster it would write is also used by another entry: nothing written
};
using WriteOutcome = Outcome<WriteStatus>;

// Writes `values` (the grid's bytes, at most a sector's) over sector `sector` and marks the
// workspace changed.
WriteOutcome SaveChangedSector(Workspace& ws, std::int32_t sector, Bytes values);

// Overwrites `bytes` at `offset` inside sector `sector`: all of them or none.
WriteOutcome PokeSector(Workspace& ws, std::int64_t sector, std::int64_t offset, Bytes bytes);

// The file a hex view shows, by value: the entry as it was when it was opened (its directory and
// slot), and how many bytes of the file the grid skips before its first byte (7 for a BSAVE
// file, 0 otherwise).
struct ViewedFile {
  FileEntry entry;
  std::size_t skip = 0;
};

// The entry in the viewed file's directory and slot, when it still holds the same name and first
// cluster and is a file; nullopt otherwise.
std::optional<FileEntry> ViewedEntryNow(const DiskImage& image, const FileEntry& viewed);

// Writes the grid's bytes (`shown`, byte 0 at file offset viewed.skip) along the viewed file's
// chain, never past its size, and marks the workspace changed. The file is found by where it was
// viewed, never by its name in the directory shown now: a slot that no longer holds it refuses
// (EntryChanged). A chain that breaks first is written as far as it reaches (ClusterError).
WriteOutcome SaveCurrentFile(Workspace& ws, const ViewedFile& viewed, Bytes shown);

// Overwrites `bytes` at file offset `offset` of `entry` along its chain: all or none. Past the
// file's size, or into a file whose chain does not cover its size, nothing is written.
WriteOutcome PokeFile(Workspace& ws, const FileEntry& entry, std::int64_t offset, Bytes bytes);

}  // namespace quarnel::tools
