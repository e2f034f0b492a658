// The file a viewer command works on: `--host FILE` (a file of the host) or `IMAGE PATH` (a file
// inside a disk image). Shared by the basic, hex, text and picture commands.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_code.h"

namespace quarnel::cli {

// The largest --host file each view reads; larger ones are refused before they are read.
inline constexpr std::uintmax_t kBasicHostLimit = 64 * 1024;  // a BASIC program fills at most 64 KB
inline constexpr std::uintmax_t kPictureHostLimit = 128 * 1024 + 7;  // all VRAM + BSAVE header
inline constexpr std::uintmax_t kViewHostLimit = 16 * 1024 * 1024;   // hex and text views

struct ViewerInputArgs {
  std::string host;
  std::vector<std::string> imageAndPath;  // IMAGE PATH
  int partition = 0;                      // of IMAGE; 0 for the whole file
  std::uintmax_t hostLimit = kViewHostLimit;
};

struct ViewerInput {
  std::vector<std::uint8_t> bytes;
  std::string name;       // the file's name without extension
  std::string extension;  // upper case, without the dot
};

struct LoadedViewerInput {
  std::optional<ViewerInput>
      input;                    // nullopt when the file cannot be had (the reason is on stderr)
  int exitCode = kExitSuccess;  // then kExitFailure, or kExitUsage for a wrong command line
};

// Adds the positional IMAGE PATH and the --host option to `cmd`; a --host file of more than
// `hostLimit` bytes is refused.
void AddViewerInputOptions(CLI::App& cmd, ViewerInputArgs& args, std::uintmax_t hostLimit);

// Reads the file.
LoadedViewerInput LoadViewerInput(const ViewerInputArgs& args);

// Adds `--charset int|jp` (the MSX character set the bytes are shown in) bound to `name`.
void AddCharsetOption(CLI::App& cmd, std::string& name, const std::string& help);

}  // namespace quarnel::cli
