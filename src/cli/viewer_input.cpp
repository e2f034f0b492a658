#include "cli/viewer_input.h"

#include <filesystem>
#include <iostream>

#include "cli/image_arg.h"
#include "core/ascii.h"
#include "core/host_file.h"
#include "viewers/msx_charset.h"

namespace quarnel::cli {

namespace {

// The name before the last dot and the extension after it, upper-cased.
void SplitName(std::string_view fileName, ViewerInput& in) {
  const std::string_view extension = ExtensionOf(fileName);
  in.name = std::string(fileName.substr(0, fileName.size() - extension.size()));
  in.extension = extension.empty() ? std::string() : AsciiUpper(extension.substr(1));
}

LoadedViewerInput Failure(int exitCode) { return {std::nullopt, exitCode}; }

}  // namespace

void AddViewerInputOptions(CLI::App& cmd, ViewerInputArgs& args, std::uintmax_t hostLimit) {
  cmd.add_option("IMAGE_PATH", args.imageAndPath, "IMAGE PATH: a disk image and a file in it")
      ->expected(0, 2);
  cmd.add_option("--host", args.host, "A file of the host instead of a file in an image");
  AddPartitionOption(cmd, args.partition);
  args.hostLimit = hostLimit;
}

void AddCharsetOption(CLI::App& cmd, std::string& name, const std::string& help) {
  cmd.add_option("--charset", name, help)
      ->check(CLI::IsMember(
          {std::string(viewers::kCharsetInternational), std::string(viewers::kCharsetJapanese)}));
}

LoadedViewerInput LoadViewerInput(const ViewerInputArgs& args) {
  ViewerInput in;
  if (!args.host.empty()) {
    if (!args.imageAndPath.empty()) {
      std::cerr << kGiveOneInput << "\n";
      return Failure(kExitUsage);
    }
    HostRead read = ReadHostContents(args.host, args.hostLimit);
    if (!read.ok()) {
      std::cerr << kCannotRead << args.host << "\n"
                << DescribeHostReadError(args.host, read) << "\n";
      return Failure(kExitFailure);
    }
    in.bytes = std::move(read.bytes);
    SplitName(std::filesystem::path(args.host).filename().string(), in);
    return {std::move(in), kExitSuccess};
  }
  if (args.imageAndPath.size() != 2) {
    std::cerr << kGiveAnInput << "\n";
    return Failure(kExitUsage);
  }
  const std::string& path = args.imageAndPath[1];
  CliUi ui;
  Workspace ws;
  if (!OpenImageArg(ws, args.imageAndPath[0], ui, args.partition)) return Failure(kExitFailure);
  auto file = ReadFileArg(ws, path);
  if (!file) return Failure(kExitFailure);
  // The view shows what the chain holds; the short chain is reported beside it.
  if (file->chainEndedEarly) std::cerr << kChainEndsEarly << path << "\n";
  SplitName(file->entry.Caption(), in);
  in.bytes = std::move(file->bytes);
  return {std::move(in), kExitSuccess};
}

}  // namespace quarnel::cli
