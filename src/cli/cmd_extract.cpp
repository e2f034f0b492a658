// quarnel-cli extract IMAGE [PATH...] [-o HOSTDIR]: files of the image to host files (every file
// of the root directory when no PATH is given).
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/image_command.h"
#include "cli/output_dir.h"
#include "core/ascii.h"
#include "core/extract.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Writes the file of `entry` into `dir` as `hostName` with the entry's size, read-only bit and
// date. False on failure (the reason is on stderr, with the file's name after the messages that
// do not carry it).
bool ExtractOne(const Workspace& ws, const FileEntry& entry, const fs::path& dir,
                const std::string& hostName, std::string_view shownPath) {
  const ExtractOutcome out = ExtractFile(ws.image, entry, dir / hostName);
  if (!out.message.empty()) std::cerr << out.message << "\n";
  if (out == ExtractStatus::ClusterError || out == ExtractStatus::FirstClusterOutOfBounds)
    std::cerr << kInFile << shownPath << "\n";
  return out == ExtractStatus::Written;
}

// Host names already written by this run; a second entry of the same name (a damaged directory
// can hold two) gets "~N" before its extension instead of replacing the first one's file.
class HostNames {
 public:
  std::string Claim(const std::string& wanted) {
    if (used_.insert(wanted).second) return wanted;
    std::string_view ext = ExtensionOf(wanted);
    if (ext.size() == wanted.size()) ext = {};  // ".name" is a name without extension
    const std::string stem = wanted.substr(0, wanted.size() - ext.size());
    for (int n = 1;; ++n) {
      std::string name = stem + "~" + std::to_string(n) + std::string(ext);
      if (used_.insert(name).second) return name;
    }
  }

 private:
  std::set<std::string> used_;
};

// Every file of the root directory when no PATH is given.
bool ExtractRoot(const Workspace& ws, const fs::path& outDir) {
  bool ok = true;
  HostNames names;
  for (const FileEntry& e : ws.Entries()) {
    if (e.IsDirectory() || e.IsVolume()) continue;
    // Entries named "." or ".." that are no directories do not belong in the root: they are
    // files of a damaged directory, extracted under a name of their own and reported.
    const std::string caption = e.Caption();
    const std::string wanted = HostNameForCaption(caption);
    const std::string name = names.Claim(wanted);
    if (name != wanted || e.IsDot())
      std::cerr << ShownName(caption) << kExtractedAs << name << "\n";
    ok = ExtractOne(ws, e, outDir, name, ShownName(caption)) && ok;
  }
  return ok;
}

bool ExtractPaths(Workspace& ws, const std::vector<std::string>& paths, const fs::path& outDir) {
  bool ok = true;
  HostNames names;
  for (const auto& p : paths) {
    auto entry = EntryArg(ws, p);
    if (!entry) {
      ok = false;
      continue;
    }
    const std::string wanted = HostNameForCaption(entry->Caption());
    const std::string name = names.Claim(wanted);
    if (name != wanted) std::cerr << p << kExtractedAs << name << "\n";
    ok = ExtractOne(ws, *entry, outDir, name, p) && ok;
  }
  return ok;
}

}  // namespace

void RegisterExtract(CommandLine& commands) {
  struct Args {
    std::vector<std::string> paths;
    std::string outDir = ".";
  };
  AddImageCommand<Args>(
      commands, "extract", "Copy files of a disk image to host files", kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.paths,
                       "Files inside the image (default: every file of the root)");
        cmd.add_option("-o,--output", args.outDir,
                       "Host folder to write to (default: the current one)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        if (!MakeOutputDir(args.outDir)) return kExitFailure;
        const bool ok = args.paths.empty() ? ExtractRoot(ws, args.outDir)
                                           : ExtractPaths(ws, args.paths, args.outDir);
        return ok ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
