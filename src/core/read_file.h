// Reading one file of the current directory out of the image, and choosing the view for it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/directory.h"
#include "core/ui.h"

namespace quarnel {

class Workspace;
struct FileRow;

// The number that names a view.
enum class ViewSelector : int {
  Automatic = 0,
  Hex = 1,
  Basic = 2,
  Text = 3,
  Screen5 = 4,
  MaskedText = 5,
  Screen2 = 6,
  Screen7 = 7,
  Screen8 = 8,
  Screen10 = 10,
  Screen11 = 11,
  Screen12 = 12,
  Screen1 = 21,
  Patterns = 22,  // screen 2's tables in table order
  Screen3 = 23,
  Screen4 = 24,
  Screen6 = 26,
};

enum class ReadStatus {
  Ok,
  NoImage,                  // nothing loaded, or loadFailed / bootError
  CassetteImage,            // the current image is a cassette: the cassette reader takes over
  NotFound,                 // no entry matches (no message)
  FirstClusterOutOfBounds,  // "File's first cluster out of bounds!" shown
  ClusterError,             // "Cluster Error in Fat" shown
};

struct FileRead {
  ReadStatus status = ReadStatus::NoImage;
  // The file's bytes: exactly the entry's size, or fewer when the chain ends (0xFFF) before the
  // size is covered (then chainEndedEarly is set; nothing is invented for the missing part).
  std::vector<std::uint8_t> bytes;
  std::int32_t size = 0;  // the entry's size
  bool chainEndedEarly = false;
  CurrentEntry entry;  // the entry that was read
  bool ok() const { return status == ReadStatus::Ok; }
};

// Reads the file described by `entry` (first cluster and size) following its chain. Shows the
// messages of the chain checks through `ui`.
FileRead ReadEntryFile(const Workspace& ws, const CurrentEntry& entry, Ui& ui);

// Finds the first entry of the current directory whose caption matches and reads it.
FileRead ReadEntryByCaption(Workspace& ws, std::string_view caption, Ui& ui);

// Reads the entry of slot `slot` of the current directory (the row's hidden column).
FileRead ReadSlotFile(Workspace& ws, int slot, Ui& ui);

// True when `caption` names ws.current (case-insensitive; control characters in the entry's
// name count as they are shown in captions).
bool MatchEntryName(const Workspace& ws, std::string_view caption);
bool MatchEntryName(const CurrentEntry& entry, std::string_view caption);

// Selector 0 resolved by the first byte: "0".."9" text, 0xFE hex, 0xFF BASIC, anything else
// (and an empty file) hex. Other selectors are returned as they are.
ViewSelector ResolveSelector(ViewSelector s, const std::vector<std::uint8_t>& bytes);

// Selector for a double-click / "Auto" from the extension (and the size for .PIC).
ViewSelector SelectorForCaption(std::string_view caption, std::int32_t size);

enum class ViewChoiceKind { Navigate, Nothing, View };
struct ViewChoice {
  ViewChoiceKind kind = ViewChoiceKind::Nothing;
  ViewSelector selector = ViewSelector::Automatic;
};

// The choice for the selected row: navigation for "..", "." and directories (the caller runs
// EnterDirectory), nothing for a volume label, otherwise a view; sets ws.viewedName for a view.
// (Saving pending hex edits first is the viewer's business.)
ViewChoice ChooseView(Workspace& ws, const FileRow& row);

}  // namespace quarnel
