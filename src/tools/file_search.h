// A byte string searched for in every file of a disk: the directory tree walked once, each file
// read along its chain as a viewer reads it, and every place the bytes occur reported by file and
// offset. A large volume is searched a few files at a time (Step), so a front end can show
// progress and stop between steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/directory.h"
#include "core/disk_image.h"

namespace quarnel::tools {

// One place the bytes occur in a file.
struct FileHit {
  std::string path;                  // "GAMES\ZORK.BAS": the names from the root down
  std::vector<std::string> names;    // the same names one by one ("GAMES", "ZORK.BAS")
  std::vector<std::size_t> folders;  // image offsets of the entries of the directories leading
                                     // to the file, from the root's down
  DirRef dir;                        // the directory holding the file
  int slot = -1;                     // the file's slot there
  std::size_t entryOffset = 0;       // image offset of the file's entry
  std::uint64_t offset = 0;          // of the hit's first byte in the file
};

class FileSearch {
 public:
  // Lists the files of `image` to search for `pattern` (an empty pattern finds nothing);
  // `ignoreCase` matches ASCII letters in either case. The search ends after `most` hits (0: no
  // limit). The image must outlive the search and stay unchanged while it runs.
  FileSearch(const DiskImage& image, std::vector<std::uint8_t> pattern, bool ignoreCase,
             std::size_t most = 0);

  // Searches the next files until about `budget` bytes were read (at least one file); the hits
  // go to Hits() in the order of the files, ascending within each.
  void Step(std::uint64_t budget);
  // Searches every file left.
  void Run();
  bool Done() const { return next_ >= files_.size(); }

  const std::vector<FileHit>& Hits() const { return hits_; }
  // The search ended at `most` hits, before every file was searched.
  bool Capped() const { return capped_; }
  std::size_t FileCount() const { return files_.size(); }
  std::size_t FilesSearched() const { return next_; }
  // The bytes the files' sizes add up to, and those of the files searched so far.
  std::uint64_t TotalBytes() const { return totalBytes_; }
  std::uint64_t BytesSearched() const { return bytesSearched_; }
  // The paths of the files whose chain could not be read (those are not searched).
  const std::vector<std::string>& Unreadable() const { return unreadable_; }

 private:
  struct File {
    FileEntry entry;
    std::string path;
    std::vector<std::string> names;
    std::vector<std::size_t> folders;
  };

  const DiskImage& image_;
  std::vector<std::uint8_t> pattern_;
  bool ignoreCase_ = false;
  std::size_t most_ = 0;
  bool capped_ = false;
  std::vector<File> files_;
  std::size_t next_ = 0;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t bytesSearched_ = 0;
  std::vector<FileHit> hits_;
  std::vector<std::string> unreadable_;
};

// Every hit of `pattern` in the files of `image` (FileSearch run to its end).
std::vector<FileHit> FindInFiles(const DiskImage& image, const std::vector<std::uint8_t>& pattern,
                                 bool ignoreCase);

}  // namespace quarnel::tools
