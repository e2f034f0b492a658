// Shared by the commands that work on a disk image: opening IMAGE and resolving paths inside
// it, with the messages the command line prints when that fails.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/messages.h"
#include "core/extract_tree.h"
#include "core/image_path.h"
#include "core/workspace.h"
#include "viewers/msx_charset.h"

namespace quarnel::cli {

// The partition a command works on: 0 for the image file as one volume, else 1, 2, ...
using PartitionArg = int;
// Adds --partition N to `cmd`.
CLI::Option* AddPartitionOption(CLI::App& cmd, PartitionArg& partition);

// Loads `path` (partition `partition` of it when one is named) into `ws`. True when the image
// can be listed and read; otherwise the reason is on stderr (the core's message, or ours for a
// missing file or a partition that cannot be opened). `forChange` opens a partition for writing.
bool OpenImageArg(Workspace& ws, const std::string& path, CliUi& ui, PartitionArg partition = 0,
                  bool forChange = false);

// The load both openers share: the whole file, or the partition named. False, with the reason on
// stderr, when a partition was named and cannot be opened or none was named on a partitioned
// image; true when a load ran (its messages went to `ui`, how the file read to `read`).
bool LoadImageArg(Workspace& ws, const std::string& path, CliUi& ui, PartitionArg partition,
                  bool forChange, HostReadError* read = nullptr);

// True, with "IMAGE holds partitions: 1 (FAT12, 8 MB), ...; name one with --partition N" on
// stderr, when the image at `path` holds a partition table: a command on one volume must be told
// which partition to work on.
bool RefusePartitionedImage(const std::string& path);

// Prints the reason of a failed path walk to stderr (unless the core already showed one).
void ReportPathError(const PathResult& r, std::string_view path);

// Makes the directory `dirPath` current; false (reason printed) when it cannot be.
bool ChangeDirectoryArg(Workspace& ws, std::string_view dirPath);

// The entry at `path` (directories refused unless `directories`); nullopt with the reason
// printed. The shown directory of `ws` stays where it is: the result holds the
// directory the entry lies in.
std::optional<Resolved> EntryArg(const Workspace& ws, std::string_view path,
                                 bool directories = false);

// The file at `path`, read whole.
struct FileArg {
  FileEntry entry;
  // What its cluster chain holds: the whole file, or less when the chain ends before the size
  // is covered (then chainEndedEarly is set). An empty file takes no cluster and holds nothing.
  std::vector<std::uint8_t> bytes;
  bool chainEndedEarly = false;
};

// Reads the file at `path`; nullopt when there is no such file or its chain is broken (the
// reason printed, the path below the chain message, which does not name the file).
std::optional<FileArg> ReadFileArg(Workspace& ws, std::string_view path);

// A name of the image (caption, volume name) as the MSX shows it, in UTF-8 for the terminal.
std::string ShownName(std::string_view msxBytes,
                      const viewers::MsxCharset& cs = viewers::MsxCharset::International());

// A name or path typed on the command line, in the MSX bytes it shows: text that the MSX
// character set can show is turned back into its bytes ("ã" is 0xB1), anything else (plain
// ASCII, bytes that are no UTF-8) is taken as it is.
std::string MsxNameArg(std::string_view typed);

}  // namespace quarnel::cli
