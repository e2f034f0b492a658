#include "formats/cassette.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

#include "core/file_types.h"
#include "core/host_file.h"
#include "formats/messages.h"

namespace quarnel {

namespace {

enum class ScanState { Idle, BinaryData, BasicData, NamedData, AsciiData };

constexpr std::size_t kMarkerBytes = 10;

bool IsHeaderAt(Bytes tape, std::size_t pos) {
  return pos <= tape.size() && tape.size() - pos >= 8 &&
         std::memcmp(tape.data() + pos, kCasBlockHeader, 8) == 0;
}

bool AllEqual(Bytes b, std::uint8_t v) {
  return std::all_of(b.begin(), b.end(), [v](std::uint8_t c) { return c == v; });
}

// Name bytes [from, from + count) of the tape (as many as there are), blanks and control
// bytes dropped; for an 11-byte name a dot after the eighth byte.
std::string NameAt(Bytes tape, std::size_t from, std::size_t count) {
  std::string name;
  for (std::size_t i = 0; i < count; ++i) {
    if (count == 11 && i == 8) name.push_back('.');
    auto c = U8At(tape, from + i);
    if (c && *c > 0x20) name.push_back(static_cast<char>(*c));
  }
  return name;
}

std::string TypeOfNamedFile(const std::string& name) {
  const FileType* type = FileTypeOf(UpperExtension(name));
  switch (type ? type->kind : FileKind::Other) {
    case FileKind::Rom:
      return "Rom";
    case FileKind::Binary:
      return "Binary";
    case FileKind::DosProgram:
      return "Dos";
    default:
      return "Custom";
  }
}

}  // namespace

std::vector<CasEntry> ScanCassette(Bytes tape) {
  const std::size_t size = tape.size();
  std::vector<CasEntry> entries;
  CasEntry pending;  // the file whose header block was seen last
  ScanState state = ScanState::Idle;
  bool open = false;  // the last counted entry still waits for its end
  std::size_t pos = 0;
  std::size_t mark = 0;

  while (size - pos >= 8) {
    mark = pos;
    const bool header = IsHeaderAt(tape, pos);
    pos += 8;
    // A file's header block needs its marker bytes; the data block of a file whose header was
    // seen is taken however short it is (the tape may end inside it).
    if (header && (state != ScanState::Idle || size - pos >= kMarkerBytes)) {
      const std::size_t content = pos;
      if (state != ScanState::Idle) pending.start = content;
      switch (state) {
        case ScanState::BinaryData: {
          // Start, end and execution address, then end - start + 1 program bytes; without its
          // addresses the block runs to the end of the tape.
          const auto from = Le16At(tape, content);
          const auto to = Le16At(tape, content + 2);
          std::size_t extent = size - content;
          if (from && to) {
            extent = 6 + static_cast<std::size_t>(std::max(0, int{*to} - int{*from} + 1));
          }
          pending.end = std::min(size, content + extent);
          pos = pending.end;
          entries.push_back(pending);
          state = ScanState::Idle;
          break;
        }
        case ScanState::NamedData:
        case ScanState::BasicData:
          pending.end = size;  // until the next file's header (or the end of the tape)
          pos = content;
          entries.push_back(pending);
          state = ScanState::Idle;
          open = true;
          break;
        case ScanState::AsciiData: {
          std::size_t p = content;
          while (p < size && tape[p] != 0x1A) ++p;
          pending.end = p;
          pos = std::max(p, std::size_t{1}) - 1;
          entries.push_back(pending);
          state = ScanState::Idle;
          break;
        }
        case ScanState::Idle: {
          Bytes marker = tape.subspan(content, kMarkerBytes);
          pos += kMarkerBytes;
          pending = CasEntry{};
          if (AllEqual(marker, 0xEA)) {
            pending.name = NameAt(tape, pos, 6);
            pending.type = "Ascii";
            state = ScanState::AsciiData;
            pos = std::min(size, pos + 6);
          } else if (AllEqual(marker, 0xD0)) {
            pending.name = NameAt(tape, pos, 6);
            pending.type = "Binary";
            state = ScanState::BinaryData;
            pos = std::min(size, pos + 6);
          } else if (AllEqual(marker, 0xD3)) {
            pending.name = NameAt(tape, pos, 6);
            pending.type = "Basic";
            state = ScanState::BasicData;
            pos = std::min(size, pos + 6);
          } else if (marker[0] == 0xAB && marker[1] == 0xCD && marker[2] == 0xEF) {
            pending.name = NameAt(tape, content + 3, 11);
            pending.type = TypeOfNamedFile(pending.name);
            state = ScanState::NamedData;
            pos = std::min(size, content + 3 + 11 + 10);
          } else if (marker[0] == 0x5E && marker[1] == 0x1C && marker[2] == 0xFF &&
                     marker[3] == 0x78) {
            pending.name = NameAt(tape, content + 4, 11);
            state = ScanState::NamedData;
            pos = std::min(size, content + 4 + 11 + 10);
          }
          break;
        }
      }
    }
    // On to the next offset that is a multiple of 8 and holds 0x1F.
    pos = std::min(size, (pos + 7) / 8 * 8);
    while (pos < size && tape[pos] != 0x1F) pos = std::min(size, pos + 8);
    if (open && state != ScanState::Idle) {
      // A new file header: the previous open file ends where it begins.
      entries.back().end = mark;
      open = false;
    }
  }
  return entries;
}

std::vector<std::uint8_t> CasEntryBytes(Bytes tape, const CasEntry& entry) {
  std::vector<std::uint8_t> out;
  const std::size_t start = std::min(entry.start, tape.size());
  const std::size_t end = std::clamp(entry.end, start, tape.size());
  out.reserve(end - start + 1);
  if (entry.type == "Basic") out.push_back(0xFF);
  if (entry.type == "Binary") out.push_back(0xFE);
  out.insert(out.end(), tape.begin() + static_cast<std::ptrdiff_t>(start),
             tape.begin() + static_cast<std::ptrdiff_t>(end));
  return out;
}

std::string CasHostFileName(const CasEntry& entry, std::size_t index) {
  std::string name;
  for (char c : entry.name) {
    unsigned char u = static_cast<unsigned char>(c);
    bool bad = u < 0x20 || u >= 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
    name.push_back(bad ? '_' : c);
  }
  if (name.empty() || name == "." || name == "..") name = "CASFILE" + std::to_string(index);
  return name;
}

CasImage::LoadStatus CasImage::LoadCasFile(const std::filesystem::path& path, Ui& ui,
                                           HostReadError* hostError) {
  Clear();
  HostRead read = ReadHostContents(path, kCasMaxFileSize);
  if (hostError) *hostError = read.error;
  switch (read.error) {
    case HostReadError::None:
      break;
    case HostReadError::NotFound:
      return LoadStatus::Missing;
    case HostReadError::TooLarge:
      ui.Notify(formats::msg::kFileToBigToLoad);
      return LoadStatus::TooBig;
    case HostReadError::NoMemory:
      ui.Notify(formats::msg::kCouldNotAllocate);
      return LoadStatus::NoMemory;
    default:
      if (IsOtherKind(read.error)) return LoadStatus::NotAFile;
      ui.Notify(formats::msg::kReadError);
      return LoadStatus::ReadError;
  }
  SetBytes(std::move(read.bytes), path.string());
  ui.Status(path_);
  return LoadStatus::Loaded;
}

void CasImage::SetBytes(std::vector<std::uint8_t> bytes, std::string path) {
  Clear();
  bytes_ = std::move(bytes);
  path_ = std::move(path);
}

const std::vector<CasEntry>& CasImage::ListCasFile() {
  entries_ = ScanCassette(View());
  return entries_;
}

std::vector<std::uint8_t> CasImage::EntryBytes(std::size_t index) const {
  if (index >= entries_.size()) return {};
  return CasEntryBytes(View(), entries_[index]);
}

bool CasImage::ExtractCasEntry(std::size_t index, const std::filesystem::path& hostPath, Ui& ui,
                               FileIo& io) const {
  if (index >= entries_.size()) return false;
  auto bytes = EntryBytes(index);
  // A link of that name is replaced, never written through.
  if (!WriteNewOrReplace(hostPath, Bytes(bytes.data(), bytes.size()), io, LinkPolicy::Replace)) {
    ui.Notify(formats::msg::kCannotWriteTarget);
    return false;
  }
  return true;
}

std::optional<CasView> ViewCasEntry(const CasImage& cas, std::size_t index, ViewSelector selector) {
  if (index >= cas.Entries().size()) return std::nullopt;
  const CasEntry& entry = cas.Entries()[index];
  CasView v;
  switch (selector) {
    case ViewSelector::Automatic:
      v.view = entry.type == "Basic"   ? ViewSelector::Basic
               : entry.type == "Ascii" ? ViewSelector::Text
                                       : ViewSelector::Hex;
      break;
    case ViewSelector::Hex:
    case ViewSelector::Basic:
    case ViewSelector::Text:
    case ViewSelector::MaskedText:
      v.view = selector;
      break;
    default:
      return std::nullopt;
  }
  auto dot = entry.name.rfind('.');
  v.name = entry.name.substr(0, dot);
  if (dot != std::string::npos) v.extension = entry.name.substr(dot + 1);
  v.bytes = cas.EntryBytes(index);
  return v;
}

void CasImage::Clear() {
  bytes_.clear();
  path_.clear();
  entries_.clear();
}

}  // namespace quarnel
