// xsc IN.dsk OUT.xsa: compresses a disk image (or any file) into the XSA format.
#include <filesystem>
#include <iostream>

#include "core/host_file.h"
#include "formats/messages.h"
#include "formats/xsa_encode.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: xsc IN.dsk OUT.xsa\n";
    return 2;
  }
  const std::filesystem::path in = argv[1];
  const std::filesystem::path out = argv[2];
  auto bytes = quarnel::ReadHostBytes(in);
  if (!bytes) {
    std::cerr << "xsc: cannot read " << in.string() << "\n";
    return 1;
  }
  auto xsa = quarnel::EncodeXsa(*bytes, in.filename().string());
  if (xsa.empty()) {
    std::cerr << "xsc: " << in.string() << ": " << quarnel::formats::msg::kXsaInputTooLarge << "\n";
    return 1;
  }
  if (!quarnel::WriteFileAtomically(out, xsa)) {
    std::cerr << "xsc: cannot write " << out.string() << "\n";
    return 1;
  }
  return 0;
}
