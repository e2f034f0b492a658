// Extracting directories of the image as host folders: every file as a file, every directory as
// a folder made for it and dated as its entry once its files are written. A directory that leads
// back up (or to the root), or lies deeper than the folder stack goes, is skipped and said; so is
// one whose chain is broken. What the extraction has to say comes out as lines, in order, for the
// front end to show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_write.h"
#include "core/directory.h"
#include "core/disk_image.h"

namespace quarnel {

// The host file name for an entry caption: blanks and the dot of an empty extension dropped, MSX
// characters as UTF-8, "/" and NUL as "_", and "_" before a name that would be empty, "." or "..".
std::string HostNameForCaption(std::string_view caption);

// Host names already written into one folder; a second entry of the same name (a damaged
// directory can hold two) gets "~N" before its extension instead of replacing the first one's
// file.
class HostNames {
 public:
  std::string Claim(const std::string& wanted);

 private:
  std::set<std::string> used_;
};

// Writes the file of `entry` into host folder `dir` as `name` with the entry's size, read-only bit
// and date; never over `imagePath`. False on failure, with the lines that say why in `notes` (the
// file's `shownPath` after a message that does not name it).
bool ExtractEntryFile(const DiskImage& image, const std::filesystem::path& imagePath,
                      const FileEntry& entry, const std::filesystem::path& dir,
                      const std::string& name, std::string_view shownPath, FileIo& io,
                      std::vector<std::string>& notes);

class TreeExtractor {
 public:
  // `imagePath`: the image's own file, never written over.
  TreeExtractor(const DiskImage& image, std::filesystem::path imagePath);
  ~TreeExtractor();
  TreeExtractor(const TreeExtractor&) = delete;
  TreeExtractor& operator=(const TreeExtractor&) = delete;

  // Every entry of `dir` into host folder `out`; `shown` is the directory's path as messages
  // show it ("GAMES/", "" for the root), `depth` its level below the root. False when anything
  // was not extracted.
  bool Directory(DirRef dir, const std::filesystem::path& out, const std::string& shown, int depth);
  // One entry of a directory at level `depth` into `out`, named through `names` (the names of
  // that folder); a directory with everything in it.
  bool Entry(const FileEntry& e, const std::filesystem::path& out, HostNames& names,
             const std::string& shown, int depth);
  // After the last entry: host files that were replaced reach the disk (the folder `out` is
  // flushed once), so that what they replaced is not lost to a crash.
  void Finish(const std::filesystem::path& out);

  // The lines said since the last call, in order.
  std::vector<std::string> TakeNotes();
  // Files written so far (folders not counted).
  std::size_t FilesWritten() const { return filesWritten_; }

 private:
  const DiskImage& image_;
  std::filesystem::path imagePath_;
  BatchFileIo io_;                    // the tree's files are flushed once, by Finish
  std::vector<std::uint16_t> above_;  // first clusters of the directories being extracted
  std::vector<std::string> notes_;
  std::size_t filesWritten_ = 0;
};

}  // namespace quarnel
