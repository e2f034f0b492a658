// One quarnel-cli command: a function that adds its subcommand to the app. The subcommand's
// callback does the work and leaves its exit code in `exitCode` (0 success, 1 failure).
#pragma once

#include <span>

#include <CLI/CLI.hpp>

namespace quarnel::cli {

using RegisterCommand = void (*)(CLI::App& app, int& exitCode);

// The table of every command, in the order `--help` lists them (commands.cpp).
std::span<const RegisterCommand> AllCommands();

}  // namespace quarnel::cli
