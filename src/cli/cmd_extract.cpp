// quarnel-cli extract IMAGE [PATH...] [-o HOSTDIR] [-r]: files of the image to host files (every
// file of the root directory when no PATH is given). With -r directories come along as host
// folders with everything in them (the whole tree of the root when no PATH is given), dated as
// their entries.
#include <algorithm>
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
#include "core/extract_tree.h"
#include "core/host_tree.h"
#include "core/messages.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

void PrintNotes(const std::vector<std::string>& notes) {
  for (const auto& n : notes) std::cerr << n << "\n";
}

// Writes the file of `entry` into `dir` as `hostName` through `io`; false on failure (the reason
// is on stderr).
bool ExtractOne(const Workspace& ws, const FileEntry& entry, const fs::path& dir,
                const std::string& hostName, std::string_view shownPath, FileIo& io) {
  std::vector<std::string> notes;
  const bool ok =
      ExtractEntryFile(ws.image, ws.imagePath, entry, dir, hostName, shownPath, io, notes);
  PrintNotes(notes);
  return ok;
}

// Every file of the root directory when no PATH is given.
bool ExtractRoot(const Workspace& ws, const fs::path& outDir) {
  BatchFileIo io;
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
    ok = ExtractOne(ws, e, outDir, name, ShownName(caption), io) && ok;
  }
  // Host files replaced above reach the disk before the command reports success.
  io.Finish(outDir);
  return ok;
}

bool ExtractPaths(Workspace& ws, const std::vector<std::string>& paths, const fs::path& outDir) {
  BatchFileIo io;
  bool ok = true;
  HostNames names;
  for (const auto& p : paths) {
    auto found = EntryArg(ws, p);
    if (!found) {
      ok = false;
      continue;
    }
    const FileEntry& entry = *found->entry;
    const std::string wanted = HostNameForCaption(entry.Caption());
    const std::string name = names.Claim(wanted);
    if (name != wanted) std::cerr << p << kExtractedAs << name << "\n";
    ok = ExtractOne(ws, entry, outDir, name, p, io) && ok;
  }
  io.Finish(outDir);
  return ok;
}

bool ExtractTreePaths(Workspace& ws, const std::vector<std::string>& paths,
                      const fs::path& outDir) {
  TreeExtractor tree(ws.image, ws.imagePath);
  bool ok = true;
  if (paths.empty()) ok = tree.Directory(kRootDir, outDir, "", 0);
  PrintNotes(tree.TakeNotes());
  HostNames names;
  for (const auto& p : paths) {
    auto found = EntryArg(ws, p, true);
    if (!found) {
      ok = false;
      continue;
    }
    std::string shown = found->DirPath();
    std::replace(shown.begin(), shown.end(), '\\', '/');
    ok = tree.Entry(*found->entry, outDir, names, shown.substr(1), found->Depth()) && ok;
    PrintNotes(tree.TakeNotes());
  }
  // Host files replaced above reach the disk before the command reports success.
  tree.Finish(outDir);
  return ok;
}

}  // namespace

void RegisterExtract(CommandLine& commands) {
  struct Args {
    std::vector<std::string> paths;
    std::string outDir = ".";
    bool recursive = false;
  };
  AddImageCommand<Args>(
      commands, "extract", "Copy files of a disk image to host files", kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.paths,
                       "Files inside the image (default: every file of the root)");
        cmd.add_option("-o,--output", args.outDir,
                       "Host folder to write to (default: the current one)");
        cmd.add_flag("-r,--recursive", args.recursive,
                     "Directories as host folders with everything in them (no PATH: the whole "
                     "disk)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        if (!MakeOutputDir(args.outDir)) return kExitFailure;
        const bool ok = args.recursive       ? ExtractTreePaths(ws, args.paths, args.outDir)
                        : args.paths.empty() ? ExtractRoot(ws, args.outDir)
                                             : ExtractPaths(ws, args.paths, args.outDir);
        return ok ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
