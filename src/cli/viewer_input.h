// The file a viewer command works on: `--host FILE` (a file of the host) or `IMAGE PATH` (a file
// inside a disk image). Shared by the basic, hex, text and picture commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace quarnel::cli {

struct ViewerInputArgs {
  std::string host;
  std::vector<std::string> imageAndPath;  // IMAGE PATH
};

struct ViewerInput {
  std::vector<std::uint8_t> bytes;
  std::string name;       // the file's name without extension
  std::string extension;  // upper case, without the dot
};

// Adds the positional IMAGE PATH and the --host option to `cmd`.
void AddViewerInputOptions(CLI::App* cmd, ViewerInputArgs& args);

// Reads the file. On failure prints the message on stderr, sets exitCode (1 failure, 2 usage)
// and returns nullopt.
std::optional<ViewerInput> LoadViewerInput(const ViewerInputArgs& args, int& exitCode);

}  // namespace quarnel::cli
