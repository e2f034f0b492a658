// quarnel-cli extract IMAGE [PATH...] [-o HOSTDIR]: files of the image to host files (every file
// of the root directory when no PATH is given).
#include <memory>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/image_arg.h"
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
    const auto dot = wanted.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? wanted : wanted.substr(0, dot);
    const std::string ext = stem.size() == wanted.size() ? std::string() : wanted.substr(dot);
    for (int n = 1;; ++n) {
      std::string name = stem + "~" + std::to_string(n) + ext;
      if (used_.insert(name).second) return name;
    }
  }

 private:
  std::set<std::string> used_;
};

}  // namespace

void RegisterExtract(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("extract", "Copy files of a disk image to host files");
  struct Args {
    std::string image;
    std::vector<std::string> paths;
    std::string outDir = ".";
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk)")->required();
  cmd->add_option("PATH", args.paths, "Files inside the image (default: every file of the root)");
  cmd->add_option("-o,--output", args.outDir, "Host folder to write to (default: the current one)");
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    std::error_code ec;
    fs::create_directories(args.outDir, ec);
    if (!fs::is_directory(args.outDir, ec)) {
      std::cerr << kCannotWrite << args.outDir << "\n";
      return;
    }
    bool ok = true;
    HostNames names;
    if (args.paths.empty()) {
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
        ok = ExtractRow(ws, r, args.outDir, name, ShownName(r.caption), ui) && ok;
      }
    } else {
      for (const auto& p : args.paths) {
        auto row = FileRowArg(ws, p, ui);
        if (!row) {
          ok = false;
          continue;
        }
        const std::string wanted = HostNameForCaption(row->caption);
        const std::string name = names.Claim(wanted);
        if (name != wanted) std::cerr << p << kExtractedAs << name << "\n";
        ok = ExtractRow(ws, *row, args.outDir, name, p, ui) && ok;
      }
    }
    exitCode = ok ? 0 : 1;
  });
}

}  // namespace quarnel::cli
