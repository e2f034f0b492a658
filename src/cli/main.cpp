// quarnel-cli: the scriptable front end. Exit 0 on success, 1 when the operation failed (the
// system's message is on stderr), 2 on a usage error.
#include <exception>
#include <iostream>

#include "cli/command.h"

int main(int argc, char** argv) {
  CLI::App app{"Quarnel: inspect and edit MSX disk images, cassettes and files"};
  app.require_subcommand(1);
  int exitCode = 0;
  for (auto reg : quarnel::cli::AllCommands()) reg(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return exitCode;
}
