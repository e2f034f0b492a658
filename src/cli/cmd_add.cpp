// quarnel-cli add IMAGE HOSTFILE... [--to DIR] [-r] [--name NAME]...: host files into a directory
// of the image (the root by default), replacing files of the same name; with -r host folders are
// added as directories with everything in them. The image is saved in place when everything
// fits; otherwise it stays as it was.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "cli/tokenized_add.h"
#include "core/add_file.h"
#include "core/change_guard.h"
#include "core/host_file.h"
#include "core/host_tree.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// The entry name for a host file: its own name when it fits 8.3, otherwise the first valid one
// of the --name values not yet used, then the automatic short name. No two files of one run get
// the same name: a second host file whose name comes out alike (the same name in two folders,
// two long names that shorten alike) gets "~N" in its name, and the run says so.
class EntryNames {
 public:
  explicit EntryNames(const std::vector<std::string>& names) : names_(names) {}

  struct Name {
    std::string name;   // in MSX bytes
    bool told = false;  // the name differs from what the host or the --name asked for
  };
  Name For(const fs::path& hostPath, bool folder) {
    const std::string hostName = hostPath.filename().string();
    if (!folder && NeedsEntryName(hostPath)) {
      while (next_ < names_.size()) {
        const std::string given = MsxNameArg(names_[next_++]);
        if (!IsValidMsxName(given)) continue;
        std::string name = claimed_.ClaimEntry(given);
        const bool told = name != given;
        return {std::move(name), told};
      }
    }
    std::string name = claimed_.Claim(hostName);
    const bool told = !KeepsHostName(hostName, name);
    return {std::move(name), told};
  }

 private:
  const std::vector<std::string>& names_;
  std::size_t next_ = 0;
  ClaimedNames claimed_;
};

// add --tokenize: each text file tokenised under the next --name or its own stem with .BAS.
ImageChange AddTokenized(Workspace& ws, const std::vector<std::string>& files,
                         const std::vector<std::string>& names, ChangeGuard& guard) {
  ClaimedNames claimed;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::filesystem::path host(files[i]);
    const std::string asked = i < names.size() ? MsxNameArg(names[i]) : TokenizedEntryName(host);
    // An invalid name is refused below, by the read.
    const std::string name = IsValidMsxName(asked) ? claimed.ClaimEntry(asked) : asked;
    if (name != asked) std::cerr << host.filename().string() << kAddedAs << ShownName(name) << "\n";
    const std::optional<NewFile> file = ReadTokenizedFile(ws, host, name);
    if (!file) return ImageChange::Failed;
    const AddOutcome out = AddFileData(ws.image, ws.CurrentDir(), *file, &guard);
    if (out != AddStatus::Added) {
      if (!out.message.empty()) std::cerr << out.message << "\n";
      return ImageChange::Failed;
    }
  }
  return ImageChange::Changed;
}

// Prints the reason a host file was not added; `where` names it when the message does not.
void ReportFailure(const fs::path& host, const std::string& message, HostReadError hostError,
                   const std::string& where) {
  if (!message.empty()) std::cerr << message << "\n";
  // "read ERROR!" does not say that the file was a directory, a FIFO or a device.
  if (IsOtherKind(hostError))
    std::cerr << DescribeHostReadError(host, hostError, 0) << "\n";
  else if (!where.empty())
    std::cerr << kInFile << where << "\n";
}

// The host path as the lines about a folder's contents name it: from the added folder on.
std::string Shown(const fs::path& host, const fs::path& top) {
  return (top.filename() / host.lexically_relative(top)).lexically_normal().string();
}

// Adds one HOSTFILE argument; false when it failed (the reason printed). A symbolic link named
// here is followed; the links inside a folder are skipped, each said.
bool AddArgument(Workspace& ws, DirRef dir, const HostTreeOptions& options, fs::path host,
                 EntryNames& names, bool recursive, ChangeGuard& guard) {
  std::error_code ec;
  // A path ending in a separator names the folder by its last real name.
  if (!host.has_filename()) host = host.parent_path();
  const bool folder = recursive && fs::is_directory(fs::status(host, ec));
  const EntryNames::Name name = names.For(host, folder);
  if (name.told) std::cerr << host.filename().string() << kAddedAs << ShownName(name.name) << "\n";
  if (!folder) {
    const AddOutcome out = AddFile(ws.image, dir, host, name.name, &guard);
    if (out == AddStatus::Added) return true;
    ReportFailure(host, out.message, out.hostError, "");
    return false;
  }
  const HostTreeResult r = AddHostTree(ws.image, dir, host, name.name, options, &guard);
  for (const auto& n : r.renamed)
    if (n.host != host)
      std::cerr << Shown(n.host, host) << kAddedAs << ShownName(n.entryName) << "\n";
  for (const auto& link : r.skippedLinks) std::cerr << Shown(link, host) << kLinkSkipped << "\n";
  for (const auto& f : r.failures)
    ReportFailure(f.host, f.message, f.hostError, Shown(f.host, host));
  return r.ok();
}

}  // namespace

void RegisterAdd(CommandLine& commands) {
  struct Args {
    std::vector<std::string> files, names;
    bool tokenize = false;
    std::string to;
    bool recursive = false;
  };
  AddImageCommand<Args>(
      commands, "add", "Add host files (and with -r folders) to a directory of a disk image",
      kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("HOSTFILE", args.files, "Host files (or folders, with -r) to add")
            ->required();
        cmd.add_option("--to", args.to, "Directory inside the image to add to (default: the root)");
        cmd.add_flag("-r,--recursive", args.recursive,
                     "Add host folders as directories, with everything in them");
        cmd.add_option("-n,--name", args.names,
                       "MSX name (8.3) for a host file whose name does not fit, taken in order "
                       "(default: the name shortened)")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        cmd.add_flag("--tokenize", args.tokenize,
                     "Store MSX-BASIC text as the tokenised program RUN loads (default name: "
                     "the host name with .BAS; --name gives another)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        if (!args.to.empty() && !ChangeDirectoryArg(ws, args.to)) return ImageChange::Failed;
        const DirRef dir = ws.CurrentDir();
        HostTreeOptions options;
        options.depth = ws.Depth();
        // Every add of the command goes through one guard: the tree is mapped once.
        ChangeGuard guard(ws.image);
        if (args.tokenize) return AddTokenized(ws, args.files, args.names, guard);
        EntryNames names(args.names);
        for (const auto& f : args.files)
          if (!AddArgument(ws, dir, options, f, names, args.recursive, guard))
            return ImageChange::Failed;
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
