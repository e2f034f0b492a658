// Paths inside an image ("GAMES/ZORK.BAS", "\GAMES\ZORK.BAS"): separators / or \, names
// compared as list captions, case-insensitively. Walking a path moves the workspace's shown
// directory like double-clicks do.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/volume.h"
#include "core/workspace.h"

namespace quarnel {

// Splits a path into its names; empty names and "." are dropped.
std::vector<std::string> SplitImagePath(std::string_view path);

// The entry of the shown directory whose caption matches `name` case-insensitively; a name
// without a dot also matches an entry without extension ("README" finds "README.   ").
std::optional<FileEntry> FindEntry(const Workspace& ws, std::string_view name);

enum class PathStatus { Ok, NoImage, NotFound, NotADirectory, Failed };

struct PathResult {
  PathStatus status = PathStatus::NoImage;
  std::string missing;  // the name that was not found, or could not be entered
  EnterOutcome enterOutcome = EnterOutcome::Entered;  // why entering `missing` failed (Failed)
};

// Makes the directory named by `dirPath` (relative to the root) current. On failure the
// workspace may be left at the root.
PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath);

// Makes the directory holding `path` current and returns the entry of its last name.
struct EntryLookup {
  PathResult result;
  std::optional<FileEntry> entry;
};
EntryLookup LookupEntry(Workspace& ws, std::string_view path);

}  // namespace quarnel
