// xsd IN.xsa OUT.dsk: restores the disk image (or any file) held in an XSA file.
#include <filesystem>
#include <iostream>

#include "core/host_file.h"
#include "formats/xsa_decode.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: xsd IN.xsa OUT.dsk\n";
    return 2;
  }
  const std::filesystem::path in = argv[1];
  const std::filesystem::path out = argv[2];
  auto bytes = quarnel::ReadHostBytes(in);
  if (!bytes) {
    std::cerr << "xsd: cannot read " << in.string() << "\n";
    return 1;
  }
  auto decoded = quarnel::DecodeXsa(*bytes);
  if (!decoded.ok()) {
    std::cerr << "xsd: " << in.string() << ": " << decoded.error << "\n";
    return 1;
  }
  if (!quarnel::WriteFileAtomically(out, decoded.bytes)) {
    std::cerr << "xsd: cannot write " << out.string() << "\n";
    return 1;
  }
  return 0;
}
