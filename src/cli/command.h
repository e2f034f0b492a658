// A quarnel-cli command is declared once: the options it takes, bound to the fields of an Args
// of its own, and the work it does, which returns the process's exit code. Each command lives in
// a file of its own (cmd_<name>.cpp) whose Register function is listed in the table of
// commands.cpp; main.cpp adds them all, parses the command line and returns the exit code of
// the command that ran. Only the command the command line names is declared with its options, so
// a run pays for one command, not all; `--help` still lists every command. A command run with
// --json that fails prints a JSON error object (RunCommand).
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_output.h"
#include "cli/exit_code.h"

namespace quarnel::cli {

// The help as the option parser writes it, but with the positionals of the usage line shown
// plainly: "[IMAGE_PATH]", "FILES...", never a count of values such as "(0x)".
class UsageFormatter : public CLI::Formatter {
 public:
  std::string make_option_usage(const CLI::Option* opt) const override {
    std::string usage = make_option_name(opt, true);
    if (opt->get_expected_max() >= CLI::detail::expected_max_vector_size) usage += "...";
    return opt->get_required() ? usage : "[" + usage + "]";
  }
};

class CommandLine {
 public:
  // `chosen`: the command the command line names (its first word that is no option). Only that
  // command (or the commands of that group) is added with its options; the others are only
  // listed, and only when no command of that name exists (`--help`, a mistyped command).
  CommandLine(CLI::App& program, std::string chosen)
      : program_(program), chosen_(std::move(chosen)) {
    program_.formatter(std::make_shared<UsageFormatter>());  // the commands inherit it
  }
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Adds the command `name` below `parent` (the program, or a group such as `cas`).
  // `declare(CLI::App& cmd, Args& args)` adds its options and positionals, bound to the fields of
  // an Args that lives as long as the command; when the command is chosen,
  // `run(const Args& args) -> int` does the work and what it returns is the exit code.
  template <class Args, class Declare, class Run>
  CLI::App& Add(CLI::App& parent, std::string name, std::string description, Declare declare,
                Run run) {
    if (&parent == &unlisted_) return unlisted_;  // a command of a group not chosen
    if (&parent == &program_ && name != chosen_) return Unlisted(name, description);
    CLI::App* cmd = parent.add_subcommand(std::move(name), std::move(description));
    if (&parent == &program_) found_ = true;
    auto args = std::make_shared<Args>();
    declare(*cmd, *args);
    cmd->callback([this, cmd, args, run = std::move(run)] {
      exitCode_ = RunCommand(*cmd, [&] { return run(std::as_const(*args)); });
    });
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
    if (name != chosen_) return Unlisted(name, description);
    found_ = true;
    CLI::App* group = program_.add_subcommand(std::move(name), std::move(description));
    group->require_subcommand(1);
    return *group;
  }

  // After every command was added: when the command line names none of them, they are listed
  // (by name and description, in the order they were added) for the help and the error.
  void ListWhenNoneChosen() {
    if (found_) return;
    for (const auto& [name, description] : unlisted_names_)
      program_.add_subcommand(name, description);
  }

  // The exit code of the command that ran.
  int ExitCode() const { return exitCode_; }

 private:
  CLI::App& Unlisted(const std::string& name, const std::string& description) {
    unlisted_names_.emplace_back(name, description);
    return unlisted_;
  }

  CLI::App& program_;
  std::string chosen_;
  bool found_ = false;
  CLI::App unlisted_;  // stands for the commands not chosen; never parsed
  std::vector<std::pair<std::string, std::string>> unlisted_names_;
  int exitCode_ = kExitSuccess;
};

using RegisterCommand = void (*)(CommandLine& commands);

// The table of every command, in the order `--help` lists them (commands.cpp).
std::span<const RegisterCommand> AllCommands();

}  // namespace quarnel::cli
