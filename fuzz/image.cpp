// Loads a disk image made from the fuzzer's bytes, lists every directory it can reach and reads
// every file. Short inputs are placed at the start of the smallest accepted image (zeros after
// them), so the fuzzer can shape the boot sector, the FAT and the directories with few bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/directory.h"
#include "core/file_list.h"
#include "core/image_path.h"
#include "core/read_file.h"
#include "core/workspace.h"

namespace {

using QuietUi = quarnel::SilentUi;

void Visit(quarnel::Workspace& ws, QuietUi& ui, int& budget) {
  using namespace quarnel;
  const std::vector<FileRow> rows = ws.fileList.rows;
  const std::uint16_t level = ws.image.level;
  for (const auto& r : rows) {
    if (r.caption == "." || r.caption == ".." || r.IsVolume()) continue;
    if (!r.IsDirectory()) {
      FileRead f = ReadSlotFile(ws, r.slot, ui);
      if (f.ok() && f.bytes.size() > static_cast<std::size_t>(f.size)) __builtin_trap();
      ChooseView(ws, r);
      ReadEntryByCaption(ws, r.caption, ui);
      continue;
    }
    if (--budget <= 0) return;
    if (EnterDirectory(ws, r, ui) == EnterOutcome::Entered && ws.image.level > level)
      Visit(ws, ui, budget);
    // Back to this directory (the stack below the current level is unchanged).
    ws.image.level = level;
    ReadDirectory(ws, ui);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() < 163840) bytes.resize(163840, 0);
  QuietUi ui;
  quarnel::Workspace ws;
  ws.LoadImageBytes(std::move(bytes), "fuzz.dsk", ui);
  int budget = 64;
  Visit(ws, ui, budget);
  quarnel::LookupEntry(ws, "A/B/C.TXT", ui);
  return 0;
}
