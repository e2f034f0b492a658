#include "app/viewer/map_folding.h"

#include <algorithm>
#include <array>
#include <optional>

#include "app/messages.h"
#include "core/message_text.h"

namespace quarnel {

namespace {

using tools::MapClass;

// The class a mark of several cells shows: the reported file's clusters first, then damage,
// then use; free only where nothing else is.
constexpr std::array<MapClass, 7> kTelling = {MapClass::File,  MapClass::Bad,      MapClass::Used,
                                              MapClass::Last,  MapClass::Reserved, MapClass::System,
                                              MapClass::Unused};

struct ClassWord {
  MapClass cls;
  const char* word;
};
// Last clusters are counted with the used ones.
constexpr std::array<ClassWord, 5> kWords = {{{MapClass::File, " of the file"},
                                              {MapClass::Used, " used"},
                                              {MapClass::Unused, " free"},
                                              {MapClass::Bad, " bad"},
                                              {MapClass::Reserved, " reserved"}}};

}  // namespace

std::string FoldedMap::RowLabel(std::size_t row) const {
  std::string label = std::to_string(row * tools::ClusterMap::kCellsPerRow * perMark) + "\t";
  if (label.size() < 4) label.insert(0, 4 - label.size(), ' ');
  return label;
}

FoldedMap FoldMap(const tools::ClusterMap& map, std::size_t mostMarks) {
  FoldedMap out;
  const std::size_t cells = map.cells.size();
  if (mostMarks == 0) mostMarks = 1;
  out.perMark = std::max<std::size_t>(1, (cells + mostMarks - 1) / mostMarks);
  if (out.perMark == 1) {
    out.marks = map.cells;
    return out;
  }
  for (std::size_t from = 0; from < cells; from += out.perMark) {
    const auto first = map.cells.begin() + static_cast<std::ptrdiff_t>(from);
    const auto last =
        map.cells.begin() + static_cast<std::ptrdiff_t>(std::min(cells, from + out.perMark));
    MapClass shown = MapClass::Unused;
    for (MapClass c : kTelling)
      if (std::find(first, last, c) != last) {
        shown = c;
        break;
      }
    out.marks.push_back(shown);
  }
  return out;
}

std::string DescribeMark(const tools::ClusterMap& map, const FoldedMap& folded, std::size_t mark,
                         const std::vector<std::string>& owners) {
  if (folded.perMark == 1) return tools::DescribeCell(map, mark, owners);
  const std::size_t from = mark * folded.perMark;
  if (from >= map.cells.size()) return {};
  const std::size_t to = std::min(map.cells.size(), from + folded.perMark);  // past the last
  std::optional<std::uint16_t> low, high;
  std::array<std::size_t, kWords.size()> counts{};
  std::string owner;
  for (std::size_t cell = from; cell < to; ++cell) {
    const auto cluster = map.ClusterOfCell(cell);
    if (!cluster) continue;  // the system area
    if (!low) low = cluster;
    high = cluster;
    MapClass c = map.cells[cell];
    if (c == MapClass::Last) c = MapClass::Used;
    for (std::size_t k = 0; k < kWords.size(); ++k)
      if (kWords[k].cls == c) ++counts[k];
    if (owner.empty() && *cluster < owners.size()) owner = owners[*cluster];
  }
  if (!low) return tools::DescribeCell(map, from, owners);  // all of it system area
  std::string out = FillText(app_text::kFoldedCells, {std::to_string(*low), std::to_string(*high)});
  bool first = true;
  for (std::size_t k = 0; k < kWords.size(); ++k) {
    if (counts[k] == 0) continue;
    out += (first ? " " : ", ") + std::to_string(counts[k]) + kWords[k].word;
    first = false;
  }
  if (!owner.empty()) out += "; " + owner;
  return out;
}

}  // namespace quarnel
