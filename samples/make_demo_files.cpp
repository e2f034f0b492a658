// make_demo_files OUTDIR: writes the generated files of the demo disk (HELLO.BAS, DEMO.SC2,
// DEMO.SC5, DEMO.SC7, DEMO.SC8, DEMO.SCC, DEMO.SC1, DEMO.SC6, DEMO.SCB) into OUTDIR.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "demo_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_files OUTDIR\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  for (const auto& [name, bytes] : quarnel::demo::DemoFiles()) {
    const std::filesystem::path target = out / name;
    const std::filesystem::path temp = out / (name + ".tmp");
    {
      std::ofstream f(temp, std::ios::binary | std::ios::trunc);
      f.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
      if (!f) {
        std::fprintf(stderr, "cannot write %s\n", temp.string().c_str());
        return 1;
      }
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
      std::fprintf(stderr, "cannot write %s\n", target.string().c_str());
      return 1;
    }
  }
  return 0;
}
