// A file to put on the disk: read from the host with its read-only bit and time, and what an
// add made of it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/disk_image.h"
#include "core/host_file.h"
#include "core/outcome.h"

namespace quarnel {

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

// Reads a host file for adding under `entryName`: its bytes (at most the disk's data area),
// read-only bit and modification time into `file`. Only a regular file is read (a FIFO is never
// opened); a host file that is not read is reported before the name is looked at; a name that is
// no 8.3 name is InvalidName. Added when `file` holds the file.
AddOutcome ReadNewFile(const DiskImage& image, const std::filesystem::path& hostPath,
                       std::string_view entryName, NewFile& file);
// The same with the bytes read into `data` instead of `file.bytes`.
AddOutcome ReadNewFileInto(const DiskImage& image, const std::filesystem::path& hostPath,
                           std::string_view entryName, NewFile& file, ImageBytes& data);

}  // namespace quarnel
