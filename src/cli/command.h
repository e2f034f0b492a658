// A quarnel-cli command is declared once: the options it takes, bound to the fields of an Args
// of its own, and the work it does, which returns the process's exit code. Each command lives in
// a file of its own (cmd_<name>.cpp) whose Register function is listed in the table of
// commands.cpp; main.cpp adds them all, parses the command line and returns the exit code of
// the command that ran.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "cli/exit_code.h"

namespace quarnel::cli {

class CommandLine {
 public:
  explicit CommandLine(CLI::App& program) : program_(program) {}
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Adds the command `name` below `parent` (the program, or a group such as `cas`).
  // `declare(CLI::App& cmd, Args& args)` adds its options and positionals, bound to the fields of
  // an Args that lives as long as the command; when the command is chosen,
  // `run(const Args& args) -> int` does the work and what it returns is the exit code.
  template <class Args, class Declare, class Run>
  CLI::App& Add(CLI::App& parent, std::string name, std::string description, Declare declare,
                Run run) {
    auto args = std::make_shared<Args>();
    CLI::App* cmd = parent.add_subcommand(std::move(name), std::move(description));
    declare(*cmd, *args);
    cmd->callback([this, args, run = std::move(run)] { exitCode_ = run(std::as_const(*args)); });
    return *cmd;
  }

  // The same for a command of the program itself.
  template <class Args, class Declare, class Run>
  CLI::App& Add(std::string name, std::string description, Declare declare, Run run) {
    return Add<Args>(program_, std::move(name), std::move(description), std::move(declare),
                     std::move(run));
  }

  // A group of commands (`cas ls`, `cas extract`): it does nothing itself and takes exactly one
  // of the commands added below it.
  CLI::App& AddGroup(std::string name, std::string description) {
    CLI::App* group = program_.add_subcommand(std::move(name), std::move(description));
    group->require_subcommand(1);
    return *group;
  }

  // The exit code of the command that ran.
  int ExitCode() const { return exitCode_; }

 private:
  CLI::App& program_;
  int exitCode_ = kExitSuccess;
};

using RegisterCommand = void (*)(CommandLine& commands);

// The table of every command, in the order `--help` lists them (commands.cpp).
std::span<const RegisterCommand> AllCommands();

}  // namespace quarnel::cli
