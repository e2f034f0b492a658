#include "cli/image_arg.h"

#include <filesystem>
#include <iostream>

#include "core/message_text.h"
#include "core/partition_store.h"
#include "core/view_choice.h"
#include "viewers/msx_charset.h"

namespace quarnel::cli {

CLI::Option* AddPartitionOption(CLI::App& cmd, PartitionArg& partition) {
  return cmd.add_option("--partition", partition, std::string(kPartitionHelp))
      ->check(CLI::Range(1, 9999));
}

bool LoadImageArg(Workspace& ws, const std::string& path, CliUi& ui, PartitionArg partition,
                  bool forChange, HostReadError* read) {
  if (partition == 0) {
    if (RefusePartitionedImage(path)) return false;
    const LoadReport report = ws.LoadImage(path);
    NotifyAll(ui, report.messages);
    if (read) *read = report.read;
    return true;
  }
  PartitionOpening opened = OpenPartitionStore(path, partition, forChange);
  if (!opened.store) {
    std::cerr << opened.message << "\n";
    return false;
  }
  NotifyAll(ui, ws.LoadVolume(std::move(opened.store), path).messages);
  return true;
}

bool OpenImageArg(Workspace& ws, const std::string& path, CliUi& ui, PartitionArg partition,
                  bool forChange) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::cerr << kNoSuchImage << path << "\n";
    return false;
  }
  HostReadError read = HostReadError::None;
  if (!LoadImageArg(ws, path, ui, partition, forChange, &read)) return false;
  if (ws.HasImage()) return true;
  if (ui.Notices() == 0) std::cerr << kNoSuchImage << path << "\n";
  // Below the system's message ("File to small to be a diskimage!"): what the path really is.
  if (IsOtherKind(read) || read == HostReadError::CannotOpen)
    std::cerr << DescribeHostReadError(path, read, 0) << "\n";
  // Below "Error in boot sector!": which field made the layout impossible.
  if (!ws.image.bootErrorDetail.empty())
    std::cerr << path << ": " << ws.image.bootErrorDetail << "\n";
  return false;
}

bool RefusePartitionedImage(const std::string& path) {
  const auto store = OpenImageFileStore(path);
  if (!store) return false;  // the load says what is wrong with it
  const PartitionTable table = ReadPartitionTable(*store);
  if (!table.Partitioned()) return false;
  std::cerr << FillText(kHoldsPartitions, {path, PartitionList(table)}) << "\n";
  return true;
}

void ReportPathError(const PathResult& r, std::string_view path) {
  switch (r.status) {
    case PathStatus::Ok:
    case PathStatus::NoImage:
      return;
    case PathStatus::NotFound:
      std::cerr << kNotInImage << (r.missing.empty() ? std::string(path) : r.missing) << "\n";
      return;
    case PathStatus::NotADirectory:
      std::cerr << kNotADirectory << r.missing << "\n";
      return;
    case PathStatus::Failed:
      if (r.enterOutcome == EnterOutcome::BrokenChain)
        std::cerr << kBrokenDirectory << r.missing << "\n";
      else if (auto m = EnterMessage(r.enterOutcome); !m.empty())
        std::cerr << m << "\n";
      return;
  }
}

bool ChangeDirectoryArg(Workspace& ws, std::string_view dirPath) {
  PathResult r = ChangeDirectory(ws, MsxNameArg(dirPath));
  if (r.status == PathStatus::Ok) return true;
  ReportPathError(r, dirPath);
  return false;
}

std::optional<Resolved> EntryArg(const Workspace& ws, std::string_view path, bool directories) {
  if (!ws.HasImage()) return std::nullopt;
  Resolved found = Resolve(ws.image, MsxNameArg(path));
  if (found.result.status != PathStatus::Ok) {
    ReportPathError(found.result, path);
    return std::nullopt;
  }
  if (!directories && found.entry->IsDirectory()) {
    std::cerr << kNotAFile << path << "\n";
    return std::nullopt;
  }
  return found;
}

std::optional<FileArg> ReadFileArg(Workspace& ws, std::string_view path) {
  auto found = EntryArg(ws, path);
  if (!found) return std::nullopt;
  const FileEntry* entry = &*found->entry;
  FileArg file{*entry, {}, false};
  if (entry->fullSize == 0) return file;  // an empty file takes no cluster
  FileRead read = ReadFile(ws.image, *entry);
  if (!read.ok()) {
    std::cerr << read.message << "\n" << kInFile << path << "\n";
    return std::nullopt;
  }
  file.bytes = std::move(read.bytes);
  file.chainEndedEarly = read.chainEndedEarly;
  return file;
}

std::string ShownName(std::string_view msxBytes, const viewers::MsxCharset& cs) {
  return cs.ToUtf8(msxBytes);
}

std::string MsxNameArg(std::string_view typed) {
  auto bytes = viewers::MsxCharset::International().FromUtf8(typed);
  return bytes ? *bytes : std::string(typed);
}

}  // namespace quarnel::cli
