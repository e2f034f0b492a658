#include "core/image_path.h"

#include "core/msx_name.h"
#include "core/workspace.h"

namespace quarnel {

namespace {

// A caption or a typed name, compared without letter case, trailing blanks or a trailing dot:
// "README.   " and "readme" are the same name.
std::string NameKey(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.back() == '.') s.remove_suffix(1);
  return FoldedNameText(s);
}

PathResult WalkDirectories(Workspace& ws, const std::vector<std::string>& names,
                           std::size_t count) {
  PathResult r;
  if (!ws.HasImage()) return r;
  ws.folders.resize(1);
  ws.Refresh();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = names[i];
    if (name == "..") {
      ws.Leave();
      continue;
    }
    const std::optional<FileEntry> entry = FindEntry(ws, name);
    if (!entry) return {PathStatus::NotFound, name};
    if (!entry->IsDirectory()) return {PathStatus::NotADirectory, name};
    EnterOutcome outcome = ws.Enter(*entry, entry->Caption());
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

std::optional<FileEntry> FindEntry(const Workspace& ws, std::string_view name) {
  const std::string key = NameKey(name);
  if (key.empty()) return std::nullopt;
  for (FileEntry& e : ws.Entries()) {
    if (e.IsDot() || e.IsVolume()) continue;
    if (NameKey(e.Caption()) == key) return std::move(e);
  }
  return std::nullopt;
}

PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath) {
  auto names = SplitImagePath(dirPath);
  return WalkDirectories(ws, names, names.size());
}

EntryLookup LookupEntry(Workspace& ws, std::string_view path) {
  EntryLookup out;
  auto names = SplitImagePath(path);
  if (names.empty()) {
    out.result = {ws.HasImage() ? PathStatus::NotFound : PathStatus::NoImage, std::string(path)};
    return out;
  }
  out.result = WalkDirectories(ws, names, names.size() - 1);
  if (out.result.status != PathStatus::Ok) return out;
  out.entry = FindEntry(ws, names.back());
  if (!out.entry) out.result = {PathStatus::NotFound, names.back()};
  return out;
}

}  // namespace quarnel
