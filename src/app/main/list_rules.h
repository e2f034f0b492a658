// The file list's rules that need no window: which entries of its context menu are enabled,
// and how a click on a column header sorts the rows.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

struct ListMenuState {
  bool addFile = false, remove = false, view = false, extract = false, info = false;
  bool rename = true;  // starts enabled
  bool operator==(const ListMenuState&) const = default;
};

struct ListSituation {
  bool imageLoaded = false;
  bool cassette = false;  // the current image is a cassette image
  bool atRoot = true;     // the root directory is shown
  int selectedRows = 0;
};

// The state the menu opens with, given the state it had last time (entries that a situation
// leaves unchanged keep it). A disk image re-enables "Rename" after a cassette disabled it.
ListMenuState ListMenuFor(ListMenuState previous, const ListSituation& s);

// Sort column (0 Name, 1 Size, 2 Type, 3 Modified, 4 Attrib) and direction (+1, -1 or 0).
struct ListSort {
  int column = 0;
  int direction = -1;  // set back to -1 on every image load

  // A click on column c.
  void Click(int c);
};

// What a drop of host files onto the file list does.
enum class DropOutcome {
  OpenImage,     // exactly one disk image: the caller opens it
  OpenCassette,  // exactly one tape: the caller lists it as a cassette
  Added,         // the files are added
};

// What a drop of `files` does: open one disk image or tape, or add them all. A file named on
// the command line is opened by the same rule.
DropOutcome DropKindOf(const std::vector<std::filesystem::path>& files);

// Case-insensitive text comparison: a-z folded to A-Z, then by character code. <0, 0, >0.
int CompareListText(std::string_view a, std::string_view b);

}  // namespace quarnel
