// Loads a disk image made from the fuzzer's bytes, lists every directory it can reach and reads
// every file. Short inputs are placed at the start of the smallest accepted image (zeros after
// them), so the fuzzer can shape the boot sector, the FAT and the directories with few bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/image_path.h"
#include "core/view_choice.h"
#include "core/workspace.h"

namespace {

void Visit(quarnel::Workspace& ws, int& budget) {
  using namespace quarnel;
  for (const FileEntry& e : ws.Entries()) {
    if (e.IsDot() || e.IsVolume()) continue;
    if (!e.IsDirectory()) {
      FileRead f = ReadFile(ws.image, e);
      if (f.ok() && f.bytes.size() > e.fullSize) __builtin_trap();
      ChooseView(e);
      continue;
    }
    if (--budget <= 0) return;
    const int depth = ws.Depth();
    if (ws.Enter(e, e.Caption()) == EnterOutcome::Entered && ws.Depth() > depth) {
      Visit(ws, budget);
      // Back to this directory.
      while (ws.Depth() > depth) ws.Leave();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() < 163840) bytes.resize(163840, 0);
  quarnel::SilentUi ui;
  quarnel::Workspace ws;
  ws.LoadImageBytes(std::move(bytes), "fuzz.dsk", ui);
  int budget = 64;
  Visit(ws, budget);
  quarnel::LookupEntry(ws, "A/B/C.TXT");
  return 0;
}
