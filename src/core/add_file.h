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
#include "core/free_clusters.h"
#include "core/host_file.h"
#include "core/msx_name.h"
#include "core/new_file.h"
#include "core/outcome.h"
#include "core/volume.h"

namespace quarnel {

class ChangeGuard;

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

// True when a host file needs a new entry name before AddFile: it opens as a regular file, and
// its name (`hostPath`'s file name, through HostNameToMsx) is no valid 8.3 name. The front end then
// asks the rename question (or picks a name itself) and passes the answer to AddFile. A file that
// does not open needs no name: AddFile reports why it was not read.
bool NeedsEntryName(const std::filesystem::path& hostPath);

// Adds one host file under `entryName` (the host name when it fits, else the front end's answer):
// its bytes, read-only bit and modification time. Only a regular file is read (a FIFO is never
// opened); a host file that is not read is reported before the name is looked at; a name that is
// no 8.3 name is InvalidName, and nothing changes. `guard` as for AddFileData.
AddOutcome AddFile(DiskImage& image, DirRef dir, const std::filesystem::path& hostPath,
                   std::string_view entryName, ChangeGuard* guard = nullptr);

}  // namespace quarnel
