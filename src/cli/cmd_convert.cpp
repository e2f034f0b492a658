// quarnel-cli convert IN OUT: .ddi, .img, .msx and .xsa images to .dsk, and .dsk to .xsa. The
// XSA directions run the codec in this process.
#include <memory>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "core/host_file.h"
#include "formats/disk_convert.h"
#include "formats/input_limits.h"
#include "formats/messages.h"
#include "formats/xsa_decode.h"
#include "formats/xsa_encode.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUnknownDirection =
    "convert: IN must be .ddi, .img, .msx or .xsa with OUT .dsk, or .dsk with OUT .xsa";

// The command line's Ui with the save dialog answered by OUT.
class ConvertUi : public CliUi {
 public:
  explicit ConvertUi(std::string target) : target_(std::move(target)) {}
  std::optional<std::string> AskSavePath(std::string_view, std::string_view) override { return target_; }

 private:
  std::string target_;
};

// Reads IN whole when it is a regular file of at most `limit` bytes; otherwise says why
// (`tooLarge`, when given, for a larger file).
bool ReadSource(const std::string& in, std::uintmax_t limit, std::vector<std::uint8_t>& bytes,
                std::string_view tooLarge = {}) {
  HostRead read = ReadHostContents(in, limit);
  if (read.error == HostReadError::TooLarge && !tooLarge.empty()) {
    std::cerr << tooLarge << "\n";
    return false;
  }
  if (!read.ok()) {
    std::cerr << formats::msg::kCannotReadSource << ": " << in << "\n"
              << DescribeHostReadError(in, read) << "\n";
    return false;
  }
  bytes = std::move(read.bytes);
  return true;
}

// Writes OUT; a link standing there is replaced, never written through.
bool Write(const std::string& out, const std::vector<std::uint8_t>& bytes) {
  if (WriteFileAtomically(out, bytes, LinkPolicy::Replace)) return true;
  std::cerr << formats::msg::kCannotWriteTarget << ": " << out << "\n";
  return false;
}

int Run(const std::string& in, const std::string& out) {
  const std::string from = UpperExtension(in);
  const std::string to = UpperExtension(out);
  const bool toDsk = to == ".DSK" || to == ".DI1" || to == ".DI2";
  const bool toXsa = to == ".XSA";
  if (!toDsk && !toXsa) return 2;
  if (from == ".DDI" || from == ".IMG" || from == ".MSX") {
    if (!toDsk) return 2;
    ConvertUi ui(out);
    HostRead source;
    ConvertResult r = from == ".DDI"   ? ConvertDDI(in, ui, &source)
                      : from == ".IMG" ? ConvertIMG(in, ui, &source)
                                       : ConvertMSX(in, ui, &source);
    // Below the converter's message: why the source was not read.
    if (!source.ok()) std::cerr << DescribeHostReadError(in, source) << "\n";
    return r == ConvertResult::Written ? 0 : 1;
  }
  if (from == ".XSA") {
    if (!toDsk) return 2;
    std::vector<std::uint8_t> bytes;
    if (!ReadSource(in, kMaxXsaFile, bytes)) return 1;
    auto decoded = DecodeXsa(bytes);
    if (!decoded.ok()) {
      std::cerr << decoded.error << "\n";
      return 1;
    }
    return Write(out, decoded.bytes) ? 0 : 1;
  }
  if (from == ".DSK" || from == ".DI1" || from == ".DI2") {
    if (!toXsa) return 2;
    std::vector<std::uint8_t> bytes;
    // As xsc: any file the compressor takes.
    if (!ReadSource(in, kMaxXsaInput, bytes, formats::msg::kXsaInputTooLarge)) return 1;
    auto xsa = EncodeXsa(bytes, fs::path(in).filename().string());
    if (xsa.empty()) {
      std::cerr << formats::msg::kXsaInputTooLarge << "\n";
      return 1;
    }
    return Write(out, xsa) ? 0 : 1;
  }
  return 2;
}

}  // namespace

void RegisterConvert(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("convert", "Convert .ddi/.img/.msx/.xsa to .dsk, or .dsk to .xsa");
  struct Args {
    std::string in, out;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IN", args.in, "Source image")->required();
  cmd->add_option("OUT", args.out, "Target image")->required();
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = Run(args.in, args.out);
    if (exitCode == 2) std::cerr << kUnknownDirection << "\n";
  });
}

}  // namespace quarnel::cli
