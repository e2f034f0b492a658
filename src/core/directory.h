// Directories of the volume, given as values: their slots listed with the image offset of each,
// the entries those hold, the root's slots, finding a free slot and growing a subdirectory by a
// cluster, and whether 32 bytes read as an entry some system wrote.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "core/fat.h"
#include "core/msx_name.h"

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
  // The volume is larger than 16 MB, so a file may be too: its entries' sizes take all four
  // bytes. On a floppy the listing shows bytes 28-30, as MSX-DOS 1 keeps them.
  bool wholeSizes = false;
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

// The most long-name pieces one entry has: they hold the longest long name.
inline constexpr int kMostLongNamePieces = 20;

// The byte offsets of the VFAT long-name pieces that PC systems wrote for the entry in slot
// `slot`: the pieces right before it, numbered 1, 2, ... backwards. Their checksum is not asked
// for: pieces in that place belong to this entry or, when the checksum is off, to no entry at
// all, so they go with it either way. Empty when there are none.
std::vector<std::size_t> LongNamePieceOffsets(const DirContents& dir, int slot);

// Byte offset of slot `slot` of the root directory; nullopt outside the root or the image.
std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot);
// The byte offsets of the root's slots in slot order, as many as lie inside the image.
std::vector<std::size_t> RootSlotOffsets(const DiskImage& image);

// First free slot of the root directory; nullopt when the root is full.
std::optional<int> FindFreeRootSlot(const DiskImage& image);

// Where a new entry goes: a free (or freed) slot, or the first slot of the cluster a full
// subdirectory grows by.
struct EntryPlace {
  std::optional<std::size_t> offset;  // a slot the directory has
  std::uint16_t lastCluster = 0;      // the directory's last cluster, when it grows
  std::size_t GrowBy() const { return offset ? 0 : 1; }
};

// The place for an entry in `dir`, given the free slot found there; nullopt when the root is full
// (a root never grows) or the directory's chain cannot be followed to its end.
std::optional<EntryPlace> PlaceEntry(const DiskImage& image, const DirContents& dir,
                                     std::optional<int> slot);

// Links `cluster`, zeroed, to the end of the directory chain ending at `last`; the offset of
// its first slot.
std::size_t GrowDirectory(DiskImage& image, std::uint16_t last, std::uint16_t cluster);

// The 11 name bytes of a listed slot, and of an entry.
MsxName11 NameOf(const ListingRecord& record);
MsxName11 NameOf(const DirEntry& entry);

// True when the 32 bytes at `e` could be a slot a system wrote into a directory: free (first
// byte 0x00 with nothing after it, or 0xE5), a long-name piece, or an entry whose attribute has
// neither of the two unused high bits, whose name holds no control byte (a leading 0x05 stands
// for 0xE5), and whose first cluster is a cluster number a FAT of `kind` holds.
bool PlausibleEntry(const std::uint8_t* e, FatKind kind);

// True when `slots` (a directory cluster, or the root) reads as directory data: at most half of
// the slots that are not blank hold no plausible entry. A file's data read as a directory fails.
bool LooksLikeDirectory(Bytes slots, FatKind kind);

}  // namespace quarnel
