// quarnel-cli picture (IMAGE PATH | --host FILE) --mode sc2|sc5|sc7|sc8|sc12 -o OUT.png|OUT.bmp
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/viewer_input.h"
#include "core/ascii.h"
#include "core/host_file.h"
#include "viewers/bitmap_file.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"

namespace quarnel::cli {

namespace {

struct Args {
  ViewerInputArgs input;
  std::string mode, out;
};

int DecodeToFile(const Args& args) {
  const auto mode = viewers::ParsePictureMode(args.mode);
  const std::string ext = AsciiLower(std::filesystem::path(args.out).extension().string());
  if (!mode || (ext != ".png" && ext != ".bmp")) {
    std::cerr << kPngOrBmp << "\n";
    return kExitUsage;
  }
  auto loaded = LoadViewerInput(args.input);
  if (!loaded.input) return loaded.exitCode;
  const auto result = viewers::DecodePicture(*mode, loaded.input->bytes);
  if (!result.ok()) {
    std::cerr << result.message << "\n";
    return kExitFailure;
  }
  std::vector<std::uint8_t> bytes;
  if (ext == ".png") {
    std::string error;
    auto png = viewers::EncodePng(*result.picture, &error);
    if (!png) {
      std::cerr << kPngError << error << "\n";
      return kExitFailure;
    }
    bytes = std::move(*png);
  } else {
    bytes = viewers::EncodeScreenBitmap(*result.picture, viewers::BitmapColours::AsDisplayed);
  }
  if (!WriteFileAtomically(args.out, bytes)) {
    std::cerr << kCannotWritePicture << args.out << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

void RegisterPicture(CommandLine& commands) {
  commands.Add<Args>(
      "picture", "Decode a screen 2/5/7/8/12 picture to PNG or BMP",
      [](CLI::App& cmd, Args& args) {
        AddViewerInputOptions(cmd, args.input, kPictureHostLimit);
        cmd.add_option("--mode", args.mode, "sc2, sc5, sc7, sc8 or sc12")
            ->required()
            ->check(CLI::IsMember({"sc2", "sc5", "sc7", "sc8", "sc12"}, CLI::ignore_case));
        cmd.add_option("-o,--output", args.out, "OUT.png or OUT.bmp")->required();
      },
      DecodeToFile);
}

}  // namespace quarnel::cli
