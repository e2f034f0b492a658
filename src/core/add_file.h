// Adding host files and new directories to any directory of the image in memory: MSX 8.3 names,
// the free-slot rule, allocation of the lowest free clusters and replacing a same-named file. The
// root directory has a fixed number of slots; a subdirectory grows by a cluster when its slots
// are all in use.
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
#include "core/host_file.h"
#include "core/outcome.h"
#include "core/volume.h"

namespace quarnel {

class ChangeGuard;

// Longest host name used without the rename dialog.
inline constexpr std::size_t kLongestHostName = 12;

// Host file name (without folder) -> the 11 name bytes of an entry: name and extension padded
// with blanks, a-z upper-cased, the extension field restarted at every dot; only the first 12
// characters are looked at.
std::array<std::uint8_t, 11> MakeMsxName(std::string_view hostName);

// Why a name cannot be an MSX-DOS name; Ok when it can.
enum class NameProblem {
  Ok,
  Empty,          // nothing before the dot
  TooLong,        // more than 8 characters before the dot or 3 after it
  SeveralDots,    // a second dot
  Blank,          // a blank
  ControlByte,    // a byte below 0x20 or 0x7F
  ForbiddenChar,  // one of " * + , . / : ; < = > ? [ \ ] |
  NotInCharset,   // typed text: a character the MSX character set does not have
};

// The reason in words ("has a blank"), for messages.
std::string_view DescribeNameProblem(NameProblem p);

// Checks a typed or host name against the 8.3 rule of MSX-DOS: 1-8 characters, optionally a dot
// and 1-3 more, none of them a blank, a control byte or one of the characters MSX-DOS and PC
// systems reserve. Bytes of 0x80 and more (kana, accented letters) are allowed.
NameProblem CheckMsxName(std::string_view name);
// A name the rename dialog accepts: CheckMsxName finds no problem.
bool IsValidMsxName(std::string_view name);
// True for a character that no MSX-DOS name may hold: a control byte, a blank, 0x7F or one of
// " * + , . / : ; < = > ? [ \ ] | (the dot only as the separator).
bool IsForbiddenNameChar(char c);

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
  InvalidName,      // the entry name given is no 8.3 name (no message; the front end asks)
  NameIsDirectory,  // a directory of that name is in the directory
  DiskFull,         // "Disk full"
  DirectoryFull,    // "Directory full"
  ReadError,        // "read ERROR!"
  NoMemory,         // "Could not allocate memory"
  NeedsCheck,       // the FAT and the directories disagree on a cluster it touches
  BrokenDirectory,  // the target directory's chain is broken or loops
  NameIsFile,       // a directory is to be made where a file of that name is
  DirectoryExists,  // a directory of that name is there already
};
struct AddOutcome : Outcome<AddStatus> {
  using Outcome::Outcome;
  HostReadError hostError = HostReadError::None;  // why the host file was not read
};

// Writes `file` into directory `dir` (the root or a subdirectory). Decides first that it fits
// (counting the clusters and the slot a same-named file would free, and the cluster a full
// subdirectory grows by), and only then deletes same-named files and writes, so a refusal leaves
// the image as it was. A full subdirectory takes the lowest free cluster for its new slots, the
// file the lowest ones after it; a full root is "Directory full". A run of changes to the image
// passes its `guard` (see ChangeGuard), which the add keeps up to date; without one the add
// checks on a map of its own.
AddOutcome AddFileData(DiskImage& image, DirRef dir, const NewFile& file,
                       ChangeGuard* guard = nullptr);

// Makes directory `name` (an 8.3 name) in `dir`: an entry of attribute 0x10 and size 0 dated
// `when`, one zeroed cluster (the lowest free one, after the cluster a full parent grows by)
// holding "." (its own first cluster) and ".." (the parent's, 0 for the root) with the same date.
// A file of that name is NameIsFile, a directory of that name DirectoryExists; nothing changes
// on a refusal. `guard` as for AddFileData.
AddOutcome MakeDirectory(DiskImage& image, DirRef dir, std::string_view name,
                         const LocalDateTime& when, ChangeGuard* guard = nullptr);

// A host name as the bytes of an MSX name: each character of a UTF-8 name as the MSX
// international character set has it ("ç" is 0x87, as the disk shows it), one the set does not
// have as "_". A name that is no UTF-8 is taken as the MSX bytes it holds (kana written by a
// program that kept the disk's own bytes).
std::string HostNameToMsx(std::string_view hostName);

// True when MSX name `msxName` is host name `hostName` (shown through the character set, or
// byte for byte): a host file added under that name keeps its own name.
bool KeepsHostName(std::string_view hostName, std::string_view msxName);

// The entry name a host file gets without asking: HostNameToMsx(hostName) when that is 8.3,
// else ShortMsxName(hostName).
std::string EntryNameFor(std::string_view hostName);

// A name for a host file that does not fit 8.3, in MSX bytes: HostNameToMsx(hostName), the part
// before the last dot without blanks cut to 8 characters and the extension cut to 3 ("_" for an
// empty name); a character that MSX-DOS names may not hold (a further dot among them) becomes "_".
std::string ShortMsxName(std::string_view hostName);

// `name` (a valid 8.3 name) when `taken` does not hold its 11 name bytes, else the name with
// "~1", "~2", ... at the end of its first part (cut to keep 8 characters): the first one free.
std::string UniqueMsxName(std::string_view name,
                          const std::vector<std::array<std::uint8_t, 11>>& taken);

// True when a host file needs a new entry name before AddFile: it opens as a regular file, and
// its name (`hostPath`'s file name, through HostNameToMsx) is no valid 8.3 name. The front end then
// asks the rename question (or picks a name itself) and passes the answer to AddFile. A file that
// does not open needs no name: AddFile reports why it was not read.
bool NeedsEntryName(const std::filesystem::path& hostPath);

// Reads a host file for adding under `entryName`: its bytes (at most the disk's data area),
// read-only bit and modification time into `file`. Only a regular file is read (a FIFO is never
// opened); a host file that is not read is reported before the name is looked at; a name that is
// no 8.3 name is InvalidName. Added when `file` holds the file.
AddOutcome ReadNewFile(const DiskImage& image, const std::filesystem::path& hostPath,
                       std::string_view entryName, NewFile& file);

// Adds one host file under `entryName` (the host name when it fits, else the front end's answer):
// its bytes, read-only bit and modification time. Only a regular file is read (a FIFO is never
// opened); a host file that is not read is reported before the name is looked at; a name that is
// no 8.3 name is InvalidName, and nothing changes. `guard` as for AddFileData.
AddOutcome AddFile(DiskImage& image, DirRef dir, const std::filesystem::path& hostPath,
                   std::string_view entryName, ChangeGuard* guard = nullptr);

}  // namespace quarnel
