// quarnel-cli: the scriptable front end. Exit 0 on success, 1 when the operation failed (the
// system's message is on stderr), 2 on a usage error. A command whose output does not reach stdout
// fails.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

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
  int code = kExitSuccess;
  try {
    app.parse(argc, argv);
    code = commands.ExitCode();
  } catch (const CLI::CallForHelp& e) {
    code = app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    code = app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    if (std::find(argv + 1, argv + argc, std::string_view("--json")) != argv + argc)
      PrintJsonError(e.what());
    code = kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    code = kExitFailure;
  }
  // Output that did not reach stdout (a full disk, a closed pipe) fails the command.
  if (!StdoutReached() && code == kExitSuccess) code = kExitFailure;
  // Everything is written (stdout flushed above, stderr unbuffered): the process ends here,
  // without tearing down the option parser and the static objects its header gives every source
  // file that includes it, which is most of what a short command spends after its work.
  std::fflush(nullptr);
  std::_Exit(code);
}
