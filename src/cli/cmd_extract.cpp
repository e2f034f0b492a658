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

// Writes the file of `row` (of the current directory) into `dir` as `hostName` with the entry's
// size, read-only bit and date. False on failure (the reason is on stderr, with the file's name
// after the messages that do not carry it).
bool ExtractRow(Workspace& ws, const FileRow& row, const fs::path& dir, const std::string& hostName,
                std::string_view shownPath, CliUi& ui) {
  const ExtractStatus s = ExtractFile(ws, row.slot, dir / hostName, ui);
  if (s == ExtractStatus::ClusterError || s == ExtractStatus::FirstClusterOutOfBounds)
    std::cerr << kInFile << shownPath << "\n";
  return s == ExtractStatus::Written;
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
bool ExtractRoot(Workspace& ws, const fs::path& outDir, CliUi& ui) {
  bool ok = true;
  HostNames names;
  std::vector<FileRow> rows;
  for (const auto& r : ws.fileList.rows) {
    if (r.IsDirectory() || r.IsVolume()) continue;
    // Entries named "." or ".." that are no directories do not belong in the root: they are
    // files of a damaged directory, extracted under a name of their own and reported.
    rows.push_back(r);
  }
  for (const auto& r : rows) {
    const std::string wanted = HostNameForCaption(r.caption);
    const std::string name = names.Claim(wanted);
    if (name != wanted || r.caption == "." || r.caption == "..")
      std::cerr << ShownName(r.caption) << kExtractedAs << name << "\n";
    ok = ExtractRow(ws, r, outDir, name, ShownName(r.caption), ui) && ok;
  }
  return ok;
}

bool ExtractPaths(Workspace& ws, const std::vector<std::string>& paths, const fs::path& outDir,
                  CliUi& ui) {
  bool ok = true;
  HostNames names;
  for (const auto& p : paths) {
    auto row = FileRowArg(ws, p, ui);
    if (!row) {
      ok = false;
      continue;
    }
    const std::string wanted = HostNameForCaption(row->caption);
    const std::string name = names.Claim(wanted);
    if (name != wanted) std::cerr << p << kExtractedAs << name << "\n";
    ok = ExtractRow(ws, *row, outDir, name, p, ui) && ok;
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
      [](Workspace& ws, CliUi& ui, const Args& args) {
        if (!MakeOutputDir(args.outDir)) return kExitFailure;
        const bool ok = args.paths.empty() ? ExtractRoot(ws, args.outDir, ui)
                                           : ExtractPaths(ws, args.paths, args.outDir, ui);
        return ok ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
