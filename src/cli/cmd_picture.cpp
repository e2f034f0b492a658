// quarnel-cli picture (IMAGE PATH | --host FILE) --mode sc2|sc5|sc7|sc8|sc12 -o OUT.png|OUT.bmp
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "core/host_file.h"
#include "viewers/bitmap_file.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"

namespace quarnel::cli {

void RegisterPicture(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("picture", "Decode a screen 2/5/7/8/12 picture to PNG or BMP");
  auto args = std::make_shared<ViewerInputArgs>();
  auto mode = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  AddViewerInputOptions(cmd, *args);
  cmd->add_option("--mode", *mode, "sc2, sc5, sc7, sc8 or sc12")
      ->required()
      ->check(CLI::IsMember({"sc2", "sc5", "sc7", "sc8", "sc12"}, CLI::ignore_case));
  cmd->add_option("-o,--output", *out, "OUT.png or OUT.bmp")->required();
  cmd->callback([args, mode, out, &exitCode] {
    const auto m = viewers::ParsePictureMode(*mode);
    std::string ext = std::filesystem::path(*out).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!m || (ext != ".png" && ext != ".bmp")) {
      std::cerr << "The output must be a .png or .bmp file\n";
      exitCode = 2;
      return;
    }
    auto in = LoadViewerInput(*args, exitCode);
    if (!in) return;
    const auto result = viewers::DecodePicture(*m, in->bytes);
    if (!result.ok()) {
      std::cerr << result.message << "\n";
      exitCode = 1;
      return;
    }
    std::vector<std::uint8_t> bytes;
    if (ext == ".png") {
      std::string error;
      auto png = viewers::EncodePng(*result.picture, &error);
      if (!png) {
        std::cerr << "PNG: " << error << "\n";
        exitCode = 1;
        return;
      }
      bytes = std::move(*png);
    } else {
      bytes = viewers::EncodeScreenBitmap(*result.picture, viewers::BitmapColours::AsDisplayed);
    }
    if (!WriteFileAtomically(*out, bytes)) {
      std::cerr << "Cannot write " << *out << "\n";
      exitCode = 1;
      return;
    }
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
