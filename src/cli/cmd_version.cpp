// quarnel-cli version: the program's version.
#include <iostream>

#include "cli/command.h"
#include "cli/messages.h"

namespace quarnel::cli {

void RegisterVersion(CommandLine& commands) {
  struct Args {};
  commands.Add<Args>(
      "version", "Print the program version", [](CLI::App&, Args&) {},
      [](const Args&) {
        std::cout << kVersionLine << "\n";
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
