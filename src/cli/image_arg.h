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
// The line after a message that does not say which file it is about.
inline constexpr std::string_view kInFile = "  in ";
inline constexpr std::string_view kExtractedAs = " extracted as ";

// Loads `path` into `ws`. True when the image can be listed and read; otherwise the reason is
// on stderr (the core's message, or ours for a missing file).
bool OpenImageArg(Workspace& ws, const std::string& path, CliUi& ui);

// Prints the reason of a failed path walk to stderr (unless the core already showed one).
void ReportPathError(const PathResult& r, std::string_view path);

// Makes the directory `dirPath` current; false (reason printed) when it cannot be.
bool ChangeDirectoryArg(Workspace& ws, std::string_view dirPath, CliUi& ui);

// The row of the file at `path` (directories refused); nullopt with the reason printed.
std::optional<FileRow> FileRowArg(Workspace& ws, std::string_view path, CliUi& ui);

// A host file name for a listed caption: its characters as the MSX shows them (UTF-8), trailing
// blanks and a trailing dot dropped, '/' and NUL replaced by '_' so that a name inside an image
// never leaves the target folder.
std::string HostNameForCaption(std::string_view caption);

// A name of the image (caption, volume name) as the MSX shows it, in UTF-8 for the terminal.
std::string ShownName(std::string_view msxBytes);

// A name or path typed on the command line, in the MSX bytes it shows: text that the MSX
// character set can show is turned back into its bytes ("ã" is 0xB1), anything else (plain
// ASCII, bytes that are no UTF-8) is taken as it is.
std::string MsxNameArg(std::string_view typed);

}  // namespace quarnel::cli
