// xsc IN.dsk OUT.xsa: compresses a disk image (or any file) into the XSA format.
#include <filesystem>
#include <iostream>

#include "core/host_file.h"
#include "core/messages.h"
#include "core/same_file.h"
#include "formats/messages.h"
#include "formats/xsa_encode.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: xsc IN.dsk OUT.xsa\n";
    return 2;
  }
  const std::filesystem::path in = argv[1];
  const std::filesystem::path out = argv[2];
  if (quarnel::SameHostFile(in, out)) {
    std::cerr << "xsc: " << quarnel::msg::kOutputIsInput << out.string() << "\n";
    return 1;
  }
  // Anything the compressor would refuse is refused before it is read.
  auto read = quarnel::ReadHostContents(in, quarnel::kMaxXsaInput);
  if (read.error == quarnel::HostReadError::TooLarge) {
    std::cerr << "xsc: " << in.string() << ": " << quarnel::formats::msg::kXsaInputTooLarge << "\n";
    return 1;
  }
  if (!read.ok()) {
    std::cerr << "xsc: " << quarnel::DescribeHostReadError(in, read) << "\n";
    return 1;
  }
  auto xsa = quarnel::EncodeXsa(read.bytes, in.filename().string());
  if (xsa.empty()) {
    std::cerr << "xsc: " << in.string() << ": " << quarnel::formats::msg::kXsaInputTooLarge << "\n";
    return 1;
  }
  // A link standing at OUT is replaced, never written through.
  if (!quarnel::WriteFileAtomically(out, xsa, quarnel::LinkPolicy::Replace)) {
    std::cerr << "xsc: cannot write " << out.string() << "\n";
    return 1;
  }
  return 0;
}
