#include "core/image_path.h"

#include "core/ascii.h"
#include "core/file_list.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

// A caption or a typed name, compared without letter case, trailing blanks or a trailing dot:
// "README.   " and "readme" are the same name.
std::string NameKey(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.back() == '.') s.remove_suffix(1);
  return AsciiUpper(s);
}

PathResult WalkDirectories(Workspace& ws, const std::vector<std::string>& names, std::size_t count,
                           Ui& ui) {
  PathResult r;
  if (!ws.HasImage()) return r;
  ws.image.level = 0;
  ReadDirectory(ws, ui);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = names[i];
    if (name == "..") {
      if (ws.image.level > 0) --ws.image.level;
      ReadDirectory(ws, ui);
      continue;
    }
    const FileRow* row = FindRow(ws, name);
    if (!row) return {PathStatus::NotFound, name};
    if (!row->IsDirectory()) return {PathStatus::NotADirectory, name};
    FileRow copy = *row;  // EnterDirectory rebuilds the rows
    EnterOutcome outcome = EnterDirectory(ws, copy, ui);
    if (outcome != EnterOutcome::Entered) return {PathStatus::Failed, name, outcome};
  }
  r.status = PathStatus::Ok;
  return r;
}

}  // namespace

std::vector<std::string> SplitImagePath(std::string_view path) {
  std::vector<std::string> names;
  std::string cur;
  auto flush = [&] {
    if (!cur.empty() && cur != ".") names.push_back(cur);
    cur.clear();
  };
  for (char c : path) {
    if (c == '/' || c == '\\')
      flush();
    else
      cur.push_back(c);
  }
  flush();
  return names;
}

const FileRow* FindRow(const Workspace& ws, std::string_view name) {
  const std::string key = NameKey(name);
  if (key.empty()) return nullptr;
  for (const auto& row : ws.fileList.rows) {
    if (row.caption == "." || row.caption == ".." || row.IsVolume()) continue;
    if (NameKey(row.caption) == key) return &row;
  }
  return nullptr;
}

PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath, Ui& ui) {
  auto names = SplitImagePath(dirPath);
  return WalkDirectories(ws, names, names.size(), ui);
}

EntryLookup LookupEntry(Workspace& ws, std::string_view path, Ui& ui) {
  EntryLookup out;
  auto names = SplitImagePath(path);
  if (names.empty()) {
    out.result = {ws.HasImage() ? PathStatus::NotFound : PathStatus::NoImage, std::string(path)};
    return out;
  }
  out.result = WalkDirectories(ws, names, names.size() - 1, ui);
  if (out.result.status != PathStatus::Ok) return out;
  const FileRow* row = FindRow(ws, names.back());
  if (!row) {
    out.result = {PathStatus::NotFound, names.back()};
    return out;
  }
  out.row = *row;
  return out;
}

}  // namespace quarnel
