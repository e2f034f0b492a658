#include "cli/viewer_input.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/image_arg.h"
#include "core/host_file.h"
#include "core/read_file.h"

namespace quarnel::cli {

namespace {

void SplitName(std::string_view fileName, ViewerInput& in) {
  const auto dot = fileName.rfind('.');
  in.name = std::string(fileName.substr(0, dot));
  in.extension = dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot + 1));
  for (char& c : in.extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

void AddViewerInputOptions(CLI::App* cmd, ViewerInputArgs& args) {
  cmd->add_option("IMAGE_PATH", args.imageAndPath, "IMAGE PATH: a disk image and a file in it")
      ->expected(0, 2);
  cmd->add_option("--host", args.host, "A file of the host instead of a file in an image");
  const std::string& view = cmd->get_name();
  args.hostLimit = view == "basic"     ? kBasicHostLimit
                   : view == "picture" ? kPictureHostLimit
                                       : kViewHostLimit;
}

std::optional<ViewerInput> LoadViewerInput(const ViewerInputArgs& args, int& exitCode) {
  ViewerInput in;
  if (!args.host.empty()) {
    if (!args.imageAndPath.empty()) {
      std::cerr << "Give either IMAGE PATH or --host FILE, not both\n";
      exitCode = 2;
      return std::nullopt;
    }
    HostRead read = ReadHostContents(args.host, args.hostLimit);
    if (!read.ok()) {
      std::cerr << "Cannot read " << args.host << "\n" << DescribeHostReadError(args.host, read) << "\n";
      exitCode = 1;
      return std::nullopt;
    }
    in.bytes = std::move(read.bytes);
    SplitName(std::filesystem::path(args.host).filename().string(), in);
    return in;
  }
  if (args.imageAndPath.size() != 2) {
    std::cerr << "Give IMAGE PATH or --host FILE\n";
    exitCode = 2;
    return std::nullopt;
  }
  exitCode = 1;
  CliUi ui;
  Workspace ws;
  if (!OpenImageArg(ws, args.imageAndPath[0], ui)) return std::nullopt;
  auto row = FileRowArg(ws, args.imageAndPath[1], ui);
  if (!row) return std::nullopt;
  SplitName(row->caption, in);
  if (row->fullSize == 0) {  // an empty file takes no cluster
    exitCode = 0;
    return in;
  }
  FileRead read = ReadSlotFile(ws, row->slot, ui);
  if (!read.ok()) {
    std::cerr << kInFile << args.imageAndPath[1] << "\n";  // the file the chain error is in
    return std::nullopt;
  }
  // The view shows what the chain holds; the short chain is reported beside it.
  if (read.chainEndedEarly) std::cerr << kChainEndsEarly << args.imageAndPath[1] << "\n";
  in.bytes = std::move(read.bytes);
  exitCode = 0;
  return in;
}

}  // namespace quarnel::cli
