#include <iostream>

#include "cli/command.h"

namespace quarnel::cli {

void RegisterVersion(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("version", "Print the program version");
  cmd->callback([&exitCode] {
    std::cout << "quarnel-cli 0.1.0\n";
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
