// Changes on hostile images: the input is laid over the start of an empty 160 KB disk (boot
// sector, FATs, root directory, first clusters), then every entry is read out, renamed and
// deleted (in the root and one level of subdirectories), a file and a volume name are added.
// Nothing may crash, hang or write outside the image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/add_file.h"
#include "core/delete_entry.h"
#include "core/extract.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/workspace.h"

namespace {

class QuietUi : public quarnel::Ui {
 public:
  void Notify(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::optional<std::string> AskSavePath(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> AskNewName(std::string_view) override { return std::nullopt; }
};

void ChangeEveryEntry(quarnel::Workspace& ws, QuietUi& ui, int depth) {
  std::vector<quarnel::FileRow> rows = ws.fileList.rows;
  for (const auto& row : rows) {
    if (quarnel::ReadEntry(ws, row.slot))
      (void)quarnel::ReadChainBytes(ws.image, ws.current.firstCluster,
                                    static_cast<std::uint32_t>(std::max(0, ws.current.size)));
    if (depth == 0 && row.IsDirectory() && row.caption != "." && row.caption != "..") {
      if (quarnel::EnterDirectory(ws, row, ui) == quarnel::EnterOutcome::Entered && ws.image.level > 0) {
        ChangeEveryEntry(ws, ui, depth + 1);
        ws.image.level = 0;
      }
      quarnel::ReadDirectory(ws, ui);
    }
  }
  rows = ws.fileList.rows;
  for (std::size_t i = 0; i < rows.size() && i < 8; ++i)
    quarnel::RenameEntry(ws, rows[i].slot, "R" + std::to_string(rows[i].slot) + ".X");
  std::vector<int> slots;
  for (const auto& row : ws.fileList.rows) slots.push_back(row.slot);
  quarnel::DeleteSelected(ws, slots, ui);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto image = quarnel::BuildNewImage(quarnel::GeometryTable[0]);
  const std::size_t n = std::min(size, image.size());
  std::copy(data, data + n, image.begin());
  QuietUi ui;
  quarnel::Workspace ws;
  ws.LoadImageBytes(std::move(image), "fuzz.dsk", ui);
  if (!ws.HasImage()) return 0;
  ChangeEveryEntry(ws, ui, 0);
  quarnel::NewFile f;
  f.name = "ADDED.BIN";
  f.bytes.assign(3000, 0x5A);
  quarnel::AddFileData(ws, f, ui);
  quarnel::SetVolumeName(ws, "FUZZ", ui, quarnel::FixedClock({2000, 1, 1, 0, 0, 0}));
  quarnel::SetOemSignature(ws, "FUZZ");
  return 0;
}
