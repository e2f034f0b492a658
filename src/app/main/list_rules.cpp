#include "app/main/list_rules.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/device_kind.h"
#include "core/file_types.h"

namespace quarnel {

ListMenuState ListMenuFor(ListMenuState m, const ListSituation& s) {
  if (!s.imageLoaded) {
    m.addFile = m.remove = m.view = m.extract = m.info = false;
    return m;
  }
  if (s.cassette) {
    m.addFile = m.remove = m.info = m.rename = false;
    m.view = m.extract = true;
    return m;
  }
  m.rename = true;
  m.addFile = true;  // into the shown directory, the root or a subdirectory
  m.remove = s.selectedRows >= 1;
  m.extract = s.selectedRows >= 1;
  m.view = s.selectedRows == 1;
  m.info = s.selectedRows == 1;
  return m;
}

void ListSort::Click(int c) {
  if (c == column) {
    direction = -direction;
  } else {
    direction = 1;
  }
  if (direction == 0) direction = 1;
  column = c;
  if (c == 3) direction = 0;
}

int CompareListText(std::string_view a, std::string_view b) {
  auto fold = [](char ch) { return static_cast<unsigned char>(AsciiUpper(ch)); };
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

DropOutcome DropKindOf(const std::vector<std::filesystem::path>& files) {
  if (files.size() == 1) {
    switch (HostFileKindOf(files.front().string())) {
      case HostFileKind::DiskImage:
        return DropOutcome::OpenImage;
      case HostFileKind::Cassette:
        return DropOutcome::OpenCassette;
      default:
        // A card or hard-disk image, whatever its name, is opened rather than added.
        if (DeviceKindOf(files.front().string()) != DeviceKind::Other)
          return DropOutcome::OpenImage;
        break;
    }
  }
  return DropOutcome::Added;
}

}  // namespace quarnel
