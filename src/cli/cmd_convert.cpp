// quarnel-cli convert IN OUT: .ddi, .img, .msx and .xsa images to .dsk, and .dsk to .xsa. The
// XSA directions run the codec in this process.
#include <iostream>
#include <memory>
#include <string>

#include "cli/command.h"
#include "core/host_file.h"
#include "formats/disk_convert.h"

namespace quarnel::cli {

namespace {

constexpr std::string_view kUnknownDirection =
    "convert: IN must be .ddi, .img, .msx or .xsa with OUT .dsk, or .dsk with OUT .xsa";

// The lines on stderr for a conversion of the disk image formats that did not write OUT: the
// converter's message, then why IN was not read.
void ReportImageConversion(const std::string& in, const ConvertOutcome& o) {
  if (!o.written()) std::cerr << o.message << "\n";
  if (o.sourceError != HostReadError::None)
    std::cerr << DescribeHostReadError(in, o.sourceError, o.sourceLimit) << "\n";
}

// The same for the XSA directions, which name the file they could not read or write.
void ReportXsaConversion(const std::string& in, const std::string& out, const ConvertOutcome& o) {
  switch (o.result) {
    case ConvertResult::Written:
      return;
    case ConvertResult::SourceUnreadable:
    case ConvertResult::OutOfMemory:
      std::cerr << o.message << ": " << in << "\n";
      if (o.sourceError != HostReadError::None)
        std::cerr << DescribeHostReadError(in, o.sourceError, o.sourceLimit) << "\n";
      return;
    case ConvertResult::TargetUnwritable:
      std::cerr << o.message << ": " << out << "\n";
      return;
    case ConvertResult::Refused:
      std::cerr << o.message << "\n";
      return;
  }
}

int Run(const std::string& in, const std::string& out) {
  const std::string from = UpperExtension(in);
  const std::string to = UpperExtension(out);
  const bool toDsk = to == ".DSK" || to == ".DI1" || to == ".DI2";
  const bool toXsa = to == ".XSA";
  if (!toDsk && !toXsa) return kExitUsage;
  if (from == ".DDI" || from == ".IMG" || from == ".MSX") {
    if (!toDsk) return kExitUsage;
    const ConvertOutcome o = from == ".DDI"   ? ConvertDDI(in, out)
                             : from == ".IMG" ? ConvertIMG(in, out)
                                              : ConvertMSX(in, out);
    ReportImageConversion(in, o);
    return o.written() ? kExitSuccess : kExitFailure;
  }
  if (from == ".XSA") {
    if (!toDsk) return kExitUsage;
    const ConvertOutcome o = ConvertXsaToDsk(in, out);
    ReportXsaConversion(in, out, o);
    return o.written() ? kExitSuccess : kExitFailure;
  }
  if (from == ".DSK" || from == ".DI1" || from == ".DI2") {
    if (!toXsa) return kExitUsage;
    // As xsc: any file the compressor takes.
    const ConvertOutcome o = ConvertDskToXsa(in, out);
    ReportXsaConversion(in, out, o);
    return o.written() ? kExitSuccess : kExitFailure;
  }
  return kExitUsage;
}

}  // namespace

void RegisterConvert(CommandLine& commands) {
  struct Args {
    std::string in, out;
  };
  commands.Add<Args>(
      "convert", "Convert .ddi/.img/.msx/.xsa to .dsk, or .dsk to .xsa",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IN", args.in, "Source image")->required();
        cmd.add_option("OUT", args.out, "Target image")->required();
      },
      [](const Args& args) {
        const int code = Run(args.in, args.out);
        if (code == kExitUsage) std::cerr << kUnknownDirection << "\n";
        return code;
      });
}

}  // namespace quarnel::cli
