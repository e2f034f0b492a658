// quarnel-cli convert IN OUT: .ddi, .img, .msx and .xsa images to .dsk, and .dsk to .xsa. The
// XSA directions run the codec in this process.
#include <iostream>
#include <memory>
#include <string>

#include "cli/command.h"
#include "core/file_types.h"
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

// The kind of an image by its whole extension (".dskx" is none).
FileKind ImageKindOf(const std::string& path) {
  const FileType* type = FileTypeOf(UpperExtension(path));
  return type ? type->kind : FileKind::Other;
}

int Run(const std::string& in, const std::string& out) {
  const FileKind to = ImageKindOf(out);
  const bool toDsk = to == FileKind::DiskImage;
  const bool toXsa = ConversionFor(out) == Conversion::XsaToDsk;
  if (!toDsk && !toXsa) return kExitUsage;
  // As xsc: any disk image goes to .xsa, not only a .dsk one.
  const std::optional<Conversion> conversion =
      ImageKindOf(in) == FileKind::DiskImage ? Conversion::DskToXsa : ConversionFor(in);
  if (!conversion) return kExitUsage;
  if ((*conversion == Conversion::DskToXsa) != toXsa) return kExitUsage;
  const ConvertOutcome o = Convert(*conversion, in, out);
  if (*conversion == Conversion::XsaToDsk || *conversion == Conversion::DskToXsa)
    ReportXsaConversion(in, out, o);
  else
    ReportImageConversion(in, o);
  return o.written() ? kExitSuccess : kExitFailure;
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
