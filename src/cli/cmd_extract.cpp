// quarnel-cli extract IMAGE [PATH...] [-o HOSTDIR]: files of the image to host files (every file
// of the root directory when no PATH is given).
#include <memory>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "core/extract.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Writes the file of `row` (of the current directory) into `dir` with the entry's size,
// read-only bit and date. False on failure (the reason is on stderr).
bool ExtractRow(Workspace& ws, const FileRow& row, const fs::path& dir, CliUi& ui) {
  return ExtractFile(ws, row.slot, dir / HostNameForCaption(row.caption), ui) == ExtractStatus::Written;
}

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
    if (args.paths.empty()) {
      std::vector<FileRow> rows;
      for (const auto& r : ws.fileList.rows)
        if (!r.IsDirectory() && !r.IsVolume() && r.caption != "." && r.caption != "..") rows.push_back(r);
      for (const auto& r : rows) ok = ExtractRow(ws, r, args.outDir, ui) && ok;
    } else {
      for (const auto& p : args.paths) {
        auto row = FileRowArg(ws, p, ui);
        if (!row) {
          ok = false;
          continue;
        }
        ok = ExtractRow(ws, *row, args.outDir, ui) && ok;
      }
    }
    exitCode = ok ? 0 : 1;
  });
}

}  // namespace quarnel::cli
