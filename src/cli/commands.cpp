#include "cli/command.h"

namespace quarnel::cli {

// Each command lives in a file of its own (cmd_<name>.cpp) and is listed here once.
void RegisterVersion(CLI::App& app, int& exitCode);
void RegisterLs(CLI::App& app, int& exitCode);
void RegisterCat(CLI::App& app, int& exitCode);
void RegisterExtract(CLI::App& app, int& exitCode);
void RegisterBasic(CLI::App& app, int& exitCode);
void RegisterHex(CLI::App& app, int& exitCode);
void RegisterText(CLI::App& app, int& exitCode);
void RegisterPicture(CLI::App& app, int& exitCode);
void RegisterCas(CLI::App& app, int& exitCode);
void RegisterConvert(CLI::App& app, int& exitCode);
void RegisterAdd(CLI::App& app, int& exitCode);
void RegisterRm(CLI::App& app, int& exitCode);
void RegisterRen(CLI::App& app, int& exitCode);
void RegisterLabel(CLI::App& app, int& exitCode);
void RegisterOem(CLI::App& app, int& exitCode);
void RegisterNew(CLI::App& app, int& exitCode);

std::span<const RegisterCommand> AllCommands() {
  static constexpr RegisterCommand kCommands[] = {
      RegisterVersion,
      RegisterLs,
      RegisterCat,
      RegisterExtract,
      RegisterBasic,
      RegisterHex,
      RegisterText,
      RegisterPicture,
      RegisterCas,
      RegisterConvert,
      RegisterAdd,
      RegisterRm,
      RegisterRen,
      RegisterLabel,
      RegisterOem,
      RegisterNew,
  };
  return kCommands;
}

}  // namespace quarnel::cli
