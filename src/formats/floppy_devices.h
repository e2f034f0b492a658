// Which host devices may be used as a floppy. Only block devices the system marks removable,
// that are whole disks (no partitions), hold at most 2.88 MB (5,760 sectors of 512 bytes) and are
// not mounted are offered or accepted; a fixed disk is never opened. A regular file is accepted
// as a target as well. The system's view (the sysfs block-device folder and the mounts table)
// comes in as paths, so that tests give a tree of their own.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "formats/raw_disk_posix.h"

namespace quarnel {

inline constexpr std::string_view kSysBlockRoot = "/sys/class/block";
inline constexpr std::string_view kMountsFile = "/proc/self/mounts";
inline constexpr std::uint64_t kMaxFloppySectors = 5760;  // 2.88 MB in 512-byte sectors

// Where the lister and the checker look.
struct DeviceSources {
  std::filesystem::path sysRoot{kSysBlockRoot};
  std::filesystem::path mountsFile{kMountsFile};
  // Loop devices (a file the system shows as a block device) are accepted as targets although
  // they are not removable; they are never listed.
  bool allowLoop = false;
};

// A device the lister offers.
struct FloppyDevice {
  std::string name;            // its name in the sysfs folder ("sdb", "fd0")
  std::filesystem::path path;  // "/dev/" + name
  std::uint64_t sectors = 0;   // 512-byte sectors
  std::string model;           // device/model when the system gives one
};

// The usable removable devices holding a disk (more than 0 and at most 5,760 sectors), by name.
std::vector<FloppyDevice> ListFloppyDevices(const DeviceSources& sources = {});

enum class TargetStatus {
  Accepted,
  Missing,        // no such file or device
  NotUsable,      // neither a regular file nor a block device
  UnknownDevice,  // a block device the sysfs folder does not list
  Partition,      // a partition of a disk
  FixedDisk,      // not removable
  TooLarge,       // more than 5,760 sectors
  NoDisk,         // a removable drive that holds no disk
  Mounted,        // it, or a partition of it, is mounted
};

struct FloppyTarget {
  bool blockDevice = false;
  dev_t device = 0;  // the block device's number
};

// Whether `path` may be written or read as a floppy. The message names the path and says why it
// is refused.
Outcome<TargetStatus> CheckFloppyTarget(const std::filesystem::path& path,
                                        const DeviceSources& sources = {},
                                        FloppyTarget* target = nullptr);

// Checks `path` by CheckFloppyTarget and opens it when it passes (a block device that is no
// longer the one checked is refused). nullptr with the message to show in `message`.
std::unique_ptr<RawDisk> OpenFloppyTarget(const std::filesystem::path& path, RawDiskAccess access,
                                          const DeviceSources& sources, std::string& message);

// The rules for a block device, given as its number ("major:minor", as sysfs writes it); used
// by CheckFloppyTarget for every block device.
Outcome<TargetStatus> CheckBlockDevice(const std::filesystem::path& path, std::string_view number,
                                       const DeviceSources& sources);

// The first field of each line of a mounts table (/proc/self/mounts), the octal escapes
// (\040 for a blank) turned back into their bytes.
std::vector<std::string> MountSources(std::string_view mountsText);

// A decimal number as a sysfs attribute holds it (trailing newline); nullopt for anything else.
std::optional<std::uint64_t> SysfsNumber(std::string_view text);

}  // namespace quarnel
