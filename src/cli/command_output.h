// What every command's output goes through on its way out: the check that stdout took all of it,
// the JSON error object a command asked for --json prints when it fails, and the refusal of an
// output file that is the input.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <string_view>

namespace quarnel::cli {

// Runs the work of the command `cmd` and returns its exit code. When `cmd` was given --json and
// fails without printing anything to stdout, what it said on stderr is printed to stdout as well,
// as one JSON object {"error": TEXT}. An exception out of the work is a failure with its text.
int RunCommand(const CLI::App& cmd, const std::function<int()>& work);

// Prints {"error": TEXT} to stdout.
void PrintJsonError(std::string_view text);

// True, with "Output and input are the same file: OUT" on stderr, when the output `out` is the
// file `in` the command reads (under another name, through a link too).
bool OutputIsInput(const std::filesystem::path& in, const std::filesystem::path& out);

// Flushes stdout and tells whether everything written to it (through std::cout or stdio) got
// there. When not, "Cannot write: stdout: REASON" is on stderr.
bool StdoutReached();

}  // namespace quarnel::cli
