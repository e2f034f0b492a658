// The volume as a file system: directories given as values, listed into entries that know where
// they lie, and files read from them. Nothing here keeps a cursor or a shown directory; a caller
// names the directory and the slot it means.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/disk_image.h"
#include "core/fat.h"

namespace quarnel {

// A directory of the volume: the root (first cluster 0) or a subdirectory by the first cluster
// of its chain.
struct DirRef {
  std::uint16_t firstCluster = 0;
  bool IsRoot() const { return firstCluster == 0; }
  bool operator==(const DirRef&) const = default;
};
inline constexpr DirRef kRootDir{};

// One slot of a directory, raw.
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

// Decodes a raw 32-byte entry.
ListingRecord DecodeListingRecord(const std::uint8_t* entry32);

// Every slot of one directory with the image offset of its 32 bytes, free slots included, in
// directory order: slot i is table[i].
struct DirContents {
  struct Slot {
    std::size_t offset = 0;
    ListingRecord record;
  };
  DirRef dir;
  std::vector<Slot> table;
};

// An entry of a directory, by value: where it lies and its decoded fields.
struct FileEntry {
  DirRef dir;
  int slot = -1;
  std::size_t offset = 0;  // image offset of the 32-byte entry
  std::string name;        // the name bytes without their trailing blanks (a leading 0x05 read
                           // as the 0xE5 it stands for); blanks and control bytes inside kept
  std::string extension;   // the 3 extension bytes, blanks kept
  std::int32_t size = 0;
  std::uint32_t fullSize = 0;  // all four size bytes
  int hour = 0, minute = 0, second = 0;
  int day = 0, month = 0, year = 0;
  std::uint16_t firstCluster = 0;
  std::uint8_t attribute = 0;

  // By the attribute byte: the directory bit wins over the volume bit.
  bool IsDirectory() const;
  bool IsVolume() const;
  // The "." and ".." entries of a subdirectory.
  bool IsDot() const;
  // The name as lists show it and paths name it: "NAME.EXT" (blanks of the extension kept),
  // "." and ".." for the dot entries, a volume name without dots; control characters as
  // kControlCharShown.
  std::string Caption() const;
};

// Character shown in a caption for a name byte that is a control character.
inline constexpr char kControlCharShown = '?';
// Name bytes as captions show them: control characters as kControlCharShown.
std::string ShownText(std::string_view s);

// The slots of `dir`. The root lies in the system area; a subdirectory is its whole chain,
// walked with ChainPolicy::Follow. nullopt when the chain is broken or starts at a cluster that
// is no data cluster of the image.
std::optional<DirContents> ListDirectory(const DiskImage& image, DirRef dir);

// The entry in slot `slot`; nullopt for a slot that holds no entry (never used or deleted, see
// IsFreeSlot) and for a VFAT long-name piece. Names that start with a control byte, a blank or a
// byte of 0x80 and more (kana on Japanese disks) are entries.
std::optional<FileEntry> EntryAt(const DirContents& dir, int slot);
// Every entry of `dir` in slot order.
std::vector<FileEntry> EntriesOf(const DirContents& dir);

// The byte offsets of the VFAT long-name pieces that PC systems wrote for the entry in slot
// `slot`: the pieces right before it, numbered 1, 2, ... backwards. Their checksum is not asked
// for: pieces in that place belong to this entry or, when the checksum is off, to no entry at
// all, so they go with it either way. Empty when there are none.
std::vector<std::size_t> LongNamePieceOffsets(const DirContents& dir, int slot);

// The bytes of a file: as many clusters of its chain as its size covers (a chain that goes on
// past them is not looked at), walked by ChainPolicy::Read: the walk stops at a value that is no
// data cluster and at a cluster met before. `earlyEnd` says what an end marker before the size
// is covered means. A size beyond the data area is damage: nothing is read.
struct ChainBytes {
  std::vector<std::uint8_t> bytes;  // `size` bytes when complete, fewer otherwise
  bool complete = true;
  bool endedEarly = false;  // ChainEarlyEnd::Short: an end marker came before the size was
                            // covered (bytes hold what the chain has); otherwise an incomplete
                            // read met a broken chain
  // The read stands as the policy takes it: complete, or ended early where that is no break.
  bool ok() const { return complete || endedEarly; }
};
ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd = ChainEarlyEnd::Short);

enum class ReadStatus {
  Ok,
  NoImage,                  // nothing loaded, or loadFailed / bootError
  NotFound,                 // no entry there (no message)
  FirstClusterOutOfBounds,  // "File's first cluster out of bounds!"
  ClusterError,             // "Cluster Error in Fat"
};

struct FileRead {
  ReadStatus status = ReadStatus::NoImage;
  std::string message;  // what the user is to see when it is not Ok ("" for none)
  // The file's bytes: exactly the entry's size, or fewer when the chain ends (0xFFF) before the
  // size is covered (then chainEndedEarly is set; nothing is invented for the missing part).
  std::vector<std::uint8_t> bytes;
  bool chainEndedEarly = false;
  FileEntry entry;  // the entry that was read
  bool ok() const { return status == ReadStatus::Ok; }
};

// Reads the file of `entry` (first cluster and size) following its chain.
FileRead ReadFile(const DiskImage& image, const FileEntry& entry);

}  // namespace quarnel
