// Host folder trees into a directory of the image: every host file added under its own name or
// a short 8.3 name, every host folder made a directory (or an existing directory of that name
// reused) holding what the folder holds, in name order.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/add_file.h"
#include "core/disk_image.h"
#include "core/volume.h"

namespace quarnel {

// Levels below the root the tree may reach: the root and 31 levels are what can be shown.
inline constexpr int kDeepestLevel = 31;

struct HostTreeOptions {
  int depth = 0;           // levels below the root of the target directory
  bool keepGoing = false;  // after a failure, go on with the rest (to list all that fails)
};

// A host file or folder that was added under a name other than its own.
struct RenamedHostFile {
  std::filesystem::path host;
  std::string entryName;  // the 8.3 name it got
};

// A host file or folder that was not added, and why.
struct HostTreeFailure {
  std::filesystem::path host;
  std::string message;  // the core's message ("Disk full", "read ERROR!", ...)
  AddStatus status = AddStatus::Added;
  HostReadError hostError = HostReadError::None;
  // The host could not be read (a FIFO, a device, a folder that cannot be listed, no memory for
  // its bytes), as against an image that has no room for it.
  bool Unread() const { return status == AddStatus::ReadError || status == AddStatus::NoMemory; }
};

struct HostTreeResult {
  std::vector<RenamedHostFile> renamed;
  std::vector<HostTreeFailure> failures;
  // Symbolic links met inside the tree: not followed, to a file or a folder alike, so that the
  // tree adds only what lies in it (a link may lead anywhere on the host, or back up the tree).
  std::vector<std::filesystem::path> skippedLinks;
  std::size_t files = 0, folders = 0;  // added
  bool ok() const { return failures.empty(); }
};

// Names claimed in one directory by one run, so that two host names that come out alike (the
// same name in two folders, two long names that shorten alike, or, in one host folder, names
// that differ only in letter case) get distinct entries instead of replacing each other.
class ClaimedNames {
 public:
  // The entry name for host name `hostName` (EntryNameFor), made unique among the names claimed
  // before (UniqueMsxName).
  std::string Claim(std::string_view hostName);
  // The same for an 8.3 name given in MSX bytes.
  std::string ClaimEntry(std::string_view msxName);

 private:
  std::unordered_set<std::string> taken_;  // the 11 name bytes of each name claimed
};

// Adds host file or folder `host` into `dir` as `entryName`. A folder becomes a directory
// (dated as the folder) and its entries follow into it, recursively; a folder inside the image
// already of that name is reused, a file of that name refuses the folder. `host` itself may be a
// symbolic link (the caller chose it); links inside the folder are skipped (skippedLinks). Stops
// at the first failure unless `options.keepGoing`. What was added before a failure stays: the
// caller keeps or drops the whole image. The changes go through `guard` when one is given (see
// ChangeGuard), through one of the tree's own otherwise.
HostTreeResult AddHostTree(DiskImage& image, DirRef dir, const std::filesystem::path& host,
                           std::string_view entryName, const HostTreeOptions& options = {},
                           ChangeGuard* guard = nullptr);

// Adds what host folder `folder` holds into `dir`, as AddHostTree adds a folder's entries.
HostTreeResult AddHostFolderContents(DiskImage& image, DirRef dir,
                                     const std::filesystem::path& folder,
                                     const HostTreeOptions& options = {},
                                     ChangeGuard* guard = nullptr);

// The subdirectory of `dir` named `name`; nullopt when there is none (or a file has the name).
std::optional<DirRef> FindSubdirectory(const DiskImage& image, DirRef dir, std::string_view name);

}  // namespace quarnel
