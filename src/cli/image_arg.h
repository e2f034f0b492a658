// Shared by the commands that work on a disk image: opening IMAGE and resolving paths inside
// it, with the messages the command line prints when that fails.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_ui.h"
#include "core/file_list.h"
#include "core/image_path.h"
#include "core/workspace.h"

namespace quarnel::cli {

// Texts of the command line's own (the core's messages come through CliUi).
inline constexpr std::string_view kNoSuchImage = "No such disk image: ";
inline constexpr std::string_view kNotInImage = "Not found in the disk image: ";
inline constexpr std::string_view kNotADirectory = "Not a directory: ";
inline constexpr std::string_view kNotAFile = "Not a file: ";
inline constexpr std::string_view kBrokenDirectory = "Broken cluster chain in directory: ";
inline constexpr std::string_view kChainEndsEarly = "Cluster chain ends before the end of the file: ";
inline constexpr std::string_view kCannotWrite = "Cannot write: ";

// Loads `path` into `ws`. True when the image can be listed and read; otherwise the reason is
// on stderr (the core's message, or ours for a missing file).
bool OpenImageArg(Workspace& ws, const std::string& path, CliUi& ui);

// Prints the reason of a failed path walk to stderr (unless the core already showed one).
void ReportPathError(const PathResult& r, std::string_view path);

// Makes the directory `dirPath` current; false (reason printed) when it cannot be.
bool ChangeDirectoryArg(Workspace& ws, std::string_view dirPath, CliUi& ui);

// The row of the file at `path` (directories refused); nullopt with the reason printed.
std::optional<FileRow> FileRowArg(Workspace& ws, std::string_view path, CliUi& ui);

// A host file name for a listed caption: trailing blanks and a trailing dot dropped, '/' and
// NUL replaced by '_' so that a name inside an image never leaves the target folder.
std::string HostNameForCaption(std::string_view caption);

}  // namespace quarnel::cli
