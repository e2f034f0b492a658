#include "cli/command.h"

namespace quarnel::cli {

// Each command lives in a file of its own (cmd_<name>.cpp) and is listed here once.
void RegisterVersion(CLI::App& app, int& exitCode);

std::span<const RegisterCommand> AllCommands() {
  static constexpr RegisterCommand kCommands[] = {
      RegisterVersion,
  };
  return kCommands;
}

}  // namespace quarnel::cli
