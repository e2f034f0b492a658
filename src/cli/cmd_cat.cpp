// quarnel-cli cat IMAGE PATH: the bytes of one file of the image to stdout.
#include <memory>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "core/read_file.h"

namespace quarnel::cli {

void RegisterCat(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("cat", "Write a file of a disk image to stdout");
  struct Args {
    std::string image, path;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk)")->required();
  cmd->add_option("PATH", args.path, "File inside the image (GAMES/ZORK.BAS)")->required();
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    auto row = FileRowArg(ws, args.path, ui);
    if (!row) return;
    if (row->fullSize == 0) {  // an empty file takes no cluster
      exitCode = 0;
      return;
    }
    FileRead read = ReadSlotFile(ws, row->slot, ui);
    if (!read.ok()) {
      std::cerr << kInFile << args.path << "\n";
      return;
    }
    if (!read.bytes.empty() && std::fwrite(read.bytes.data(), 1, read.bytes.size(), stdout) != read.bytes.size()) {
      std::cerr << kCannotWrite << "stdout\n";
      return;
    }
    std::fflush(stdout);
    if (read.chainEndedEarly) {
      std::cerr << kChainEndsEarly << args.path << "\n";
      return;
    }
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
