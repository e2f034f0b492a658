// quarnel-cli picture (IMAGE PATH | --host FILE) [--mode MODE] [--exact] -o OUT.png|OUT.bmp
// MODE: sc1, sc2, patterns, sc3, sc4, sc5, sc6, sc7, sc8, sc10, sc11, sc12. Without --mode, the
// file's extension chooses it as a double-click in the desktop program does (.SC5, .S05, .PIC).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/viewer_input.h"
#include "core/ascii.h"
#include "core/host_file.h"
#include "core/view_choice.h"
#include "viewers/picture_decoder.h"
#include "viewers/picture_file.h"

namespace quarnel::cli {

namespace {

struct Args {
  ViewerInputArgs input;
  std::string mode, out;
  bool exact = false;
};

std::vector<std::string> ModeKeys() {
  std::vector<std::string> keys;
  for (viewers::PictureMode m : viewers::AllPictureModes()) keys.emplace_back(viewers::ModeKey(m));
  return keys;
}

// The mode --mode names, else the one the file's extension (and size, for .PIC) chooses.
std::optional<viewers::PictureMode> ModeFor(const Args& args, const ViewerInput& input) {
  if (!args.mode.empty()) return viewers::ParsePictureMode(args.mode);
  const auto size = static_cast<std::int32_t>(std::min<std::size_t>(input.bytes.size(), INT32_MAX));
  return viewers::ModeOfView(SelectorForCaption(input.name + "." + input.extension, size));
}

int DecodeToFile(const Args& args) {
  const auto format = viewers::PictureFileFormatOf(args.out);
  if (!format) {
    std::cerr << kPngOrBmp << "\n";
    return kExitUsage;
  }
  const auto& in = args.input;
  const std::string source = !in.host.empty()          ? in.host
                             : in.imageAndPath.empty() ? ""
                                                       : in.imageAndPath.front();
  if (!source.empty() && OutputIsInput(source, args.out)) return kExitFailure;
  auto loaded = LoadViewerInput(args.input);
  if (!loaded.input) return loaded.exitCode;
  const auto mode = ModeFor(args, *loaded.input);
  if (!mode) {
    std::cerr << kNoPictureMode << "\n";
    return kExitUsage;
  }
  const auto result =
      viewers::DecodePicture(*mode, loaded.input->bytes, viewers::PictureOptions{args.exact});
  if (!result.ok()) {
    std::cerr << result.message << "\n";
    return kExitFailure;
  }
  std::string error;
  auto encoded = viewers::EncodePictureFile(*result.picture, *format, &error);
  if (!encoded) {
    std::cerr << kPngError << error << "\n";
    return kExitFailure;
  }
  std::vector<std::uint8_t> bytes = std::move(*encoded);
  if (!WriteFileAtomically(args.out, bytes, LinkPolicy::Replace)) {
    std::cerr << kCannotWritePicture << args.out << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

void RegisterPicture(CommandLine& commands) {
  commands.Add<Args>(
      "picture", "Decode a screen 1-8, 10-12 picture to PNG or BMP",
      [](CLI::App& cmd, Args& args) {
        AddViewerInputOptions(cmd, args.input, kPictureHostLimit);
        cmd.add_option(
               "--mode", args.mode,
               "sc1, sc2, patterns (screen 2 in table order), sc3, sc4, sc5, sc6, sc7, sc8, "
               "sc10, sc11 or sc12; without it, the file's extension chooses")
            ->check(CLI::IsMember(ModeKeys(), CLI::ignore_case));
        cmd.add_flag("--exact", args.exact,
                     "Screen 12 in the MSX's own YJK colours (screens 10 and 11 always are)");
        cmd.add_option("-o,--output", args.out, "OUT.png or OUT.bmp")->required();
      },
      DecodeToFile);
}

}  // namespace quarnel::cli
