#include "core/host_tree.h"

#include <algorithm>

#include "core/change_guard.h"
#include "core/clock.h"
#include "core/dir_entry.h"
#include "core/directory.h"
#include "core/messages.h"

namespace quarnel {

namespace fs = std::filesystem;

std::string ClaimedNames::Claim(std::string_view hostName) {
  return ClaimEntry(EntryNameFor(hostName));
}

std::string ClaimedNames::ClaimEntry(std::string_view msxName) {
  auto key = [](const MsxName11& n) { return std::string(n.begin(), n.end()); };
  std::string name = UniqueMsxName(
      msxName, [this, &key](const MsxName11& n) { return taken_.count(key(n)) != 0; });
  taken_.insert(key(MakeMsxName(name)));
  return name;
}

std::optional<DirRef> FindSubdirectory(const DiskImage& image, DirRef dir, std::string_view name) {
  const auto contents = ListDirectory(image, dir);
  if (!contents) return std::nullopt;
  const auto name11 = MakeMsxName(name);
  for (const DirContents::Slot& s : contents->table) {
    const ListingRecord& e = s.record;
    if (IsFreeSlot(e.name[0]) || IsLongNameAttribute(e.attribute) ||
        !(e.attribute & kAttrDirectory))
      continue;
    if (SameMsxName(NameOf(e).data(), name11.data())) return DirRef{e.firstCluster};
  }
  return std::nullopt;
}

namespace {

class TreeAdder {
 public:
  TreeAdder(DiskImage& image, const HostTreeOptions& options, ChangeGuard* guard)
      : image_(image), options_(options), own_(image), guard_(guard ? *guard : own_) {}

  // False when the run is to stop. `host` is followed when it is a symbolic link.
  bool Add(DirRef dir, int depth, const fs::path& host, const std::string& entryName) {
    if (!KeepsHostName(host.filename().string(), entryName))
      result_.renamed.push_back({host, entryName});
    std::error_code ec;
    if (fs::is_directory(fs::status(host, ec))) return AddFolder(dir, depth, host, entryName);
    const AddOutcome out = AddFile(image_, dir, host, entryName, &guard_);
    if (out == AddStatus::Added) {
      ++result_.files;
      return true;
    }
    return Fail(host, out.message, out.status, out.hostError);
  }

  // Adds the entries of host folder `host` into `dir`. False when the run is to stop.
  bool AddContents(DirRef dir, int depth, const fs::path& host) {
    const std::optional<std::vector<fs::path>> children = ListFolder(host);
    if (!children) return Fail(host, std::string(msg::kHostReadError), AddStatus::ReadError);
    return AddChildren(dir, depth, *children);
  }

  HostTreeResult Take() { return std::move(result_); }

 private:
  bool Fail(const fs::path& host, std::string message, AddStatus status,
            HostReadError hostError = HostReadError::None) {
    result_.failures.push_back({host, std::move(message), status, hostError});
    return options_.keepGoing;
  }

  // The entries of host folder `host`, sorted; nullopt when it cannot be listed.
  static std::optional<std::vector<fs::path>> ListFolder(const fs::path& host) {
    std::vector<fs::path> children;
    std::error_code ec;
    for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec))
      children.push_back(it->path());
    if (ec) return std::nullopt;
    // All in one folder: in path order, which is the order of their names' bytes.
    std::sort(children.begin(), children.end(),
              [](const fs::path& a, const fs::path& b) { return a.native() < b.native(); });
    return children;
  }

  // Adds host files and folders `children` of one folder into `dir`, in their order; the links
  // among them are skipped. False when the run is to stop.
  bool AddChildren(DirRef dir, int depth, const std::vector<fs::path>& children) {
    ClaimedNames names;
    for (const fs::path& child : children) {
      std::error_code ec;
      if (fs::is_symlink(fs::symlink_status(child, ec))) {
        result_.skippedLinks.push_back(child);
        continue;
      }
      if (!Add(dir, depth, child, names.Claim(child.filename().string()))) return false;
    }
    return true;
  }

  bool AddFolder(DirRef dir, int depth, const fs::path& host, const std::string& entryName) {
    if (depth + 1 > kDeepestLevel)
      return Fail(host, std::string(msg::kDirectoryTooDeep), AddStatus::DirectoryFull);
    // The folder's entries, read before anything is made for it.
    const std::optional<std::vector<fs::path>> children = ListFolder(host);
    if (!children) return Fail(host, std::string(msg::kHostReadError), AddStatus::ReadError);
    const LocalDateTime when = HostModificationTime(host).value_or(LocalDateTime{});
    const AddOutcome made = MakeDirectory(image_, dir, entryName, when, &guard_);
    if (made != AddStatus::Added && made != AddStatus::DirectoryExists)
      return Fail(host, made.message, made.status);
    const std::optional<DirRef> sub = FindSubdirectory(image_, dir, entryName);
    if (!sub)
      return Fail(host, std::string(msg::kBrokenTargetDirectory), AddStatus::BrokenDirectory);
    if (made == AddStatus::Added) ++result_.folders;
    return AddChildren(*sub, depth + 1, *children);
  }

  DiskImage& image_;
  const HostTreeOptions& options_;
  ChangeGuard own_;  // the run's checks when the caller gives none
  ChangeGuard& guard_;
  HostTreeResult result_;
};

}  // namespace

HostTreeResult AddHostFolderContents(DiskImage& image, DirRef dir, const fs::path& folder,
                                     const HostTreeOptions& options, ChangeGuard* guard) {
  TreeAdder adder(image, options, guard);
  adder.AddContents(dir, options.depth, folder);
  return adder.Take();
}

HostTreeResult AddHostTree(DiskImage& image, DirRef dir, const fs::path& host,
                           std::string_view entryName, const HostTreeOptions& options,
                           ChangeGuard* guard) {
  TreeAdder adder(image, options, guard);
  adder.Add(dir, options.depth, host, std::string(entryName));
  return adder.Take();
}

}  // namespace quarnel
