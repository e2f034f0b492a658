// xsd IN.xsa OUT.dsk: restores the disk image (or any file) held in an XSA file.
#include <filesystem>
#include <iostream>

#include "core/host_file.h"
#include "core/messages.h"
#include "core/same_file.h"
#include "formats/input_limits.h"
#include "formats/xsa_decode.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: xsd IN.xsa OUT.dsk\n";
    return 2;
  }
  const std::filesystem::path in = argv[1];
  const std::filesystem::path out = argv[2];
  if (quarnel::SameHostFile(in, out)) {
    std::cerr << "xsd: " << quarnel::msg::kOutputIsInput << out.string() << "\n";
    return 1;
  }
  auto read = quarnel::ReadHostContents(in, quarnel::kMaxXsaFile);
  if (!read.ok()) {
    std::cerr << "xsd: " << quarnel::DescribeHostReadError(in, read) << "\n";
    return 1;
  }
  auto decoded = quarnel::DecodeXsa(read.bytes);
  if (!decoded.ok()) {
    std::cerr << "xsd: " << in.string() << ": " << decoded.error << "\n";
    return 1;
  }
  // A link standing at OUT is replaced, never written through.
  if (!quarnel::WriteFileAtomically(out, decoded.bytes, quarnel::LinkPolicy::Replace)) {
    std::cerr << "xsd: cannot write " << out.string() << "\n";
    return 1;
  }
  return 0;
}
