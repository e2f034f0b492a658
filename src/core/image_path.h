// Paths inside an image ("GAMES/ZORK.BAS", "\GAMES\ZORK.BAS"): separators / or \, names
// compared as list captions, case-insensitively. Resolving a path is pure: it walks the volume's
// directories as double-clicks would, without moving any workspace's shown directory; only
// ChangeDirectory moves it, on purpose.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/directory.h"
#include "core/workspace.h"

namespace quarnel {

// Splits a path into its names; empty names and "." are dropped.
std::vector<std::string> SplitImagePath(std::string_view path);

// The entry of `dir` whose caption matches `name` case-insensitively; a name without a dot also
// matches an entry without extension ("README" finds "README.   "). Dot and volume entries are
// never found.
std::optional<FileEntry> FindEntryIn(const DirContents& dir, std::string_view name);
// The same in the shown directory of `ws`.
std::optional<FileEntry> FindEntry(const Workspace& ws, std::string_view name);

enum class PathStatus { Ok, NoImage, NotFound, NotADirectory, Failed };

struct PathResult {
  PathStatus status = PathStatus::NoImage;
  std::string missing;  // the name that was not found, or could not be entered
  EnterOutcome enterOutcome = EnterOutcome::Entered;  // why entering `missing` failed (Failed)
};

// Where a path leads in a volume.
struct Resolved {
  PathResult result;
  std::vector<DirLevel> folders;   // the directories walked, the root first, as a workspace
                                   // holds them; the last one holds the entry
  DirContents listing;             // the slots of the last directory walked
  std::optional<FileEntry> entry;  // the entry the last name names (Resolve only)
  int Depth() const { return folders.empty() ? 0 : static_cast<int>(folders.size()) - 1; }
  std::string DirPath() const { return folders.empty() ? "\\" : folders.back().path; }
};

// `dirPath` (relative to the root) as a directory: every name walked into, ".." walking out.
// A directory is entered as Workspace::Enter enters it (no 33rd level, a first cluster that is
// no data cluster is Illegal, a broken chain BrokenChain).
Resolved ResolveDirectory(const DiskImage& image, std::string_view dirPath);
// `path` as an entry: every name but the last walked into, the last one looked up there.
Resolved Resolve(const DiskImage& image, std::string_view path);

// Resolve for many paths of one volume in a row (a command naming many entries): each directory
// is listed once and a name is found through an index of its captions instead of a scan of its
// slots. The owner tells the index what it changes (Reread, Drop), so that it finds what Resolve
// would find on the volume as it stands.
class PathIndex {
 public:
  explicit PathIndex(const DiskImage& image);
  ~PathIndex();
  PathIndex(const PathIndex&) = delete;
  PathIndex& operator=(const PathIndex&) = delete;

  struct Found {
    PathResult result;
    const DirContents* listing = nullptr;  // the slots of the last directory walked, kept by the
                                           // index until it is told of a change there
    std::optional<FileEntry> entry;
  };
  // As Resolve(image, path).
  Found Resolve(std::string_view path);
  // After slots `first` to `last` of `dir` were written: they are read again from the image.
  void Reread(DirRef dir, int first, int last);
  // After directory `dir` was deleted: its listing is forgotten.
  void Drop(DirRef dir);

 private:
  struct Listed;
  const Listed* List(DirRef dir);

  const DiskImage& image_;
  std::unordered_map<std::uint16_t, std::unique_ptr<Listed>> dirs_;  // by first cluster
};

// Makes the directory named by `dirPath` (relative to the root) current; on failure the
// workspace stays as it was.
PathResult ChangeDirectory(Workspace& ws, std::string_view dirPath);

}  // namespace quarnel
