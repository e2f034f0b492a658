#include "core/extract_tree.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/extract.h"
#include "core/host_tree.h"
#include "core/messages.h"
#include "core/msx_charset.h"
#include "core/same_file.h"

namespace quarnel {

namespace fs = std::filesystem;

std::string HostNameForCaption(std::string_view caption) {
  while (!caption.empty() && caption.back() == ' ') caption.remove_suffix(1);
  if (!caption.empty() && caption.back() == '.') caption.remove_suffix(1);
  std::string name = MsxCharset::International().ToUtf8(caption);
  for (auto& c : name)
    if (c == '/' || c == '\0') c = '_';
  if (name.empty() || name == "." || name == "..") name = "_" + name;
  return name;
}

std::string HostNames::Claim(const std::string& wanted) {
  if (used_.insert(wanted).second) return wanted;
  std::string_view ext = ExtensionOf(wanted);
  if (ext.size() == wanted.size()) ext = {};  // ".name" is a name without extension
  const std::string stem = wanted.substr(0, wanted.size() - ext.size());
  for (int n = 1;; ++n) {
    std::string name = stem + "~" + std::to_string(n) + std::string(ext);
    if (used_.insert(name).second) return name;
  }
}

TreeExtractor::TreeExtractor(const DiskImage& image, fs::path imagePath)
    : image_(image), imagePath_(std::move(imagePath)) {}

TreeExtractor::~TreeExtractor() = default;

std::vector<std::string> TreeExtractor::TakeNotes() { return std::exchange(notes_, {}); }

bool ExtractEntryFile(const DiskImage& image, const fs::path& imagePath, const FileEntry& entry,
                      const fs::path& dir, const std::string& name, std::string_view shownPath,
                      FileIo& io, std::vector<std::string>& notes) {
  if (SameHostFile(imagePath, dir / name)) {
    notes.push_back(std::string(msg::kOutputIsInput) + (dir / name).string());
    return false;
  }
  const ExtractOutcome out = ExtractFile(image, entry, dir / name, io);
  if (!out.message.empty()) notes.push_back(out.message);
  if (out == ExtractStatus::ClusterError || out == ExtractStatus::FirstClusterOutOfBounds)
    notes.push_back(std::string(msg::kInFile) + std::string(shownPath));
  return out == ExtractStatus::Written;
}

bool TreeExtractor::Directory(DirRef dir, const fs::path& out, const std::string& shown,
                              int depth) {
  const auto contents = ListDirectory(image_, dir);
  if (!contents) {
    notes_.push_back(std::string(msg::kBrokenDirectoryAt) + shown);
    return false;
  }
  bool ok = true;
  HostNames names;
  for (const FileEntry& e : EntriesOf(*contents)) {
    if (e.IsVolume() && !e.IsDirectory()) continue;
    if (e.IsDot() && e.IsDirectory()) continue;
    ok = Entry(e, out, names, shown, depth) && ok;
  }
  return ok;
}

bool TreeExtractor::Entry(const FileEntry& e, const fs::path& out, HostNames& names,
                          const std::string& shown, int depth) {
  const std::string caption = e.Caption();
  const std::string wanted = HostNameForCaption(caption);
  // "." and ".." files are named as they stand: their host names differ.
  const std::string path =
      shown + (e.IsDot() ? MsxCharset::International().ToUtf8(caption) : wanted);
  const std::string name = names.Claim(wanted);
  if (name != wanted || e.IsDot()) notes_.push_back(path + std::string(msg::kExtractedAs) + name);
  if (!e.IsDirectory()) {
    const bool written = ExtractEntryFile(image_, imagePath_, e, out, name, path, io_, notes_);
    if (written) ++filesWritten_;
    return written;
  }
  if (e.firstCluster == 0 ||
      std::find(above_.begin(), above_.end(), e.firstCluster) != above_.end()) {
    notes_.push_back(std::string(msg::kDirectoryLoopSkipped) + path);
    return false;
  }
  if (depth + 1 > kDeepestLevel) {
    notes_.push_back(std::string(msg::kDirectoryTooDeep));
    notes_.push_back(std::string(msg::kInFile) + path);
    return false;
  }
  const fs::path folder = out / name;
  std::error_code ec;
  fs::create_directory(folder, ec);
  if (ec || !fs::is_directory(fs::symlink_status(folder, ec))) {
    notes_.push_back(std::string(msg::kCannotWriteAt) + folder.string());
    return false;
  }
  above_.push_back(e.firstCluster);
  const bool ok = Directory(DirRef{e.firstCluster}, folder, path + "/", depth + 1);
  above_.pop_back();
  ApplyEntryTime(image_, e, folder);  // after its files: writing them changed the time
  return ok;
}

void TreeExtractor::Finish(const fs::path& out) { io_.Finish(out); }

}  // namespace quarnel
