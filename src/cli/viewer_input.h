// The file a viewer command works on: `--host FILE` (a file of the host) or `IMAGE PATH` (a file
// inside a disk image). Shared by the basic, hex, text and picture commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace quarnel::cli {

// The largest --host file each view reads; larger ones are refused before they are read.
inline constexpr std::uintmax_t kBasicHostLimit = 64 * 1024;  // a BASIC program fills at most 64 KB
inline constexpr std::uintmax_t kPictureHostLimit = 128 * 1024 + 7;  // all VRAM + BSAVE header
inline constexpr std::uintmax_t kViewHostLimit = 16 * 1024 * 1024;  // hex and text views

struct ViewerInputArgs {
  std::string host;
  std::vector<std::string> imageAndPath;  // IMAGE PATH
  std::uintmax_t hostLimit = kViewHostLimit;  // set by AddViewerInputOptions for its command
};

struct ViewerInput {
  std::vector<std::uint8_t> bytes;
  std::string name;       // the file's name without extension
  std::string extension;  // upper case, without the dot
};

// Adds the positional IMAGE PATH and the --host option to `cmd`, and sets the --host file's
// limit by the command's name (basic, picture; the hex and text views take the largest).
void AddViewerInputOptions(CLI::App* cmd, ViewerInputArgs& args);

// Reads the file. On failure prints the message on stderr, sets exitCode (1 failure, 2 usage)
// and returns nullopt.
std::optional<ViewerInput> LoadViewerInput(const ViewerInputArgs& args, int& exitCode);

}  // namespace quarnel::cli
