// quarnel-cli cat IMAGE PATH: the bytes of one file of the image to stdout.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/image_command.h"

namespace quarnel::cli {

void RegisterCat(CommandLine& commands) {
  struct Args {
    std::string path;
  };
  AddImageCommand<Args>(
      commands, "cat", "Write a file of a disk image to stdout", kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.path, "File inside the image (GAMES/ZORK.BAS)")->required();
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        auto file = ReadFileArg(ws, args.path);
        if (!file) return kExitFailure;
        const auto& bytes = file->bytes;
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
          return kExitFailure;  // main says why, once stdout is flushed
        }
        std::fflush(stdout);
        if (file->chainEndedEarly) {
          std::cerr << kChainEndsEarly << args.path << "\n";
          return kExitFailure;
        }
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
