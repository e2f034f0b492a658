// quarnel-cli: the scriptable front end. Exit 0 on success, 1 when the operation failed (the
// system's message is on stderr), 2 on a usage error.
#include <exception>
#include <iostream>
#include <string>

#include "cli/command.h"

int main(int argc, char** argv) {
  using namespace quarnel::cli;
  CLI::App app{"Quarnel: inspect and edit MSX disk images, cassettes and files"};
  app.require_subcommand(1);
  std::string chosen;
  for (int i = 1; i < argc && chosen.empty(); ++i)
    if (argv[i][0] != '-') chosen = argv[i];
  CommandLine commands(app, std::move(chosen));
  for (auto reg : AllCommands()) reg(commands);
  commands.ListWhenNoneChosen();
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return kExitFailure;
  }
  return commands.ExitCode();
}
