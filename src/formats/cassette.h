// MSX cassette images (.cas): the blocks of a tape recording, each behind an 8-byte sync header,
// scanned into the list of files they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/atomic_write.h"
#include "core/bytes.h"
#include "core/host_file.h"
#include "core/view_choice.h"
#include "formats/ui.h"

namespace quarnel {

// The block header the tape scan looks for, only at offsets that are multiples of 8.
inline constexpr std::uint8_t kCasBlockHeader[8] = {0x1F, 0xA6, 0xDE, 0xBA, 0xCC, 0x13, 0x7D, 0x74};
inline constexpr std::uintmax_t kCasMaxFileSize = 1474560;

// One file on the tape. Its bytes are [start, end) of the cassette file.
struct CasEntry {
  std::string name;
  std::size_t start = 0;
  std::size_t end = 0;
  std::string type;  // "Ascii", "Binary", "Basic", "Rom", "Dos", "Custom" or empty
  std::size_t Size() const { return end - start; }
};

// The files recorded in `tape`, every one of them.
std::vector<CasEntry> ScanCassette(Bytes tape);

// The content of an entry as a disk file: FF before a BASIC program, FE before a binary block
// (whose 6 address bytes then form the BLOAD header), the bytes as they are otherwise.
std::vector<std::uint8_t> CasEntryBytes(Bytes tape, const CasEntry& entry);

// The current cassette image: the file's bytes, its path and the files found on it.
class CasImage {
 public:
  enum class LoadStatus { Loaded, Missing, NotAFile, TooBig, NoMemory, ReadError };

  // Reads a host file whole. Shows "File to big to load!", "Could not allocate memory" or
  // "Read Error!"; a missing file, and a path that is no regular file (a folder, a FIFO, a
  // device: NotAFile), show nothing. `hostError` gets how the read went. On any failure no
  // cassette stays current.
  LoadStatus LoadCasFile(const std::filesystem::path& path, Ui& ui,
                         HostReadError* hostError = nullptr);
  // The same for bytes already in memory.
  void SetBytes(std::vector<std::uint8_t> bytes, std::string path);
  // Scans the bytes and fills the entry table.
  const std::vector<CasEntry>& ListCasFile();

  bool Loaded() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  Bytes View() const { return Bytes(bytes_.data(), bytes_.size()); }
  const std::vector<CasEntry>& Entries() const { return entries_; }

  // CasEntryBytes of entry `index`; empty when there is no such entry.
  std::vector<std::uint8_t> EntryBytes(std::size_t index) const;
  // Writes entry `index` to `hostPath` through `io` (as WriteNewOrReplace: whole or not at all).
  // False when there is no such entry or the file cannot be written (reported through `ui`).
  bool ExtractCasEntry(std::size_t index, const std::filesystem::path& hostPath, Ui& ui,
                       FileIo& io = DefaultFileIo()) const;

  void Clear();

 private:
  std::vector<std::uint8_t> bytes_;
  std::string path_;
  std::vector<CasEntry> entries_;
};

// What viewing a cassette entry shows: the view, the bytes (CasEntryBytes) and the entry's name
// split at its last dot. A front end hands `bytes` to the decoder of `view`.
struct CasView {
  ViewSelector view = ViewSelector::Hex;
  std::vector<std::uint8_t> bytes;
  std::string name;
  std::string extension;
};

// Selector 0 chooses by type ("Basic": BASIC listing, "Ascii": text, others: hex); 1, 2, 3 and 5
// are taken as they are; the picture selectors show nothing on a tape (nullopt), as does an
// index without entry.
std::optional<CasView> ViewCasEntry(const CasImage& cas, std::size_t index, ViewSelector selector);

// A host file name for an entry: its name with path separators and other characters a host
// file system refuses replaced; "CASFILE" + index when nothing usable is left.
std::string CasHostFileName(const CasEntry& entry, std::size_t index);

}  // namespace quarnel
