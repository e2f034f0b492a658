#include "cli/tokenized_add.h"

#include <iostream>

#include "cli/image_change.h"
#include "cli/messages.h"
#include "core/file_types.h"
#include "core/host_file.h"
#include "viewers/basic_tokenizer.h"

namespace quarnel::cli {

std::string TokenizedEntryName(const std::filesystem::path& hostPath) {
  return EntryNameFor(hostPath.stem().string() + std::string(kBasicExtension));
}

std::optional<NewFile> ReadTokenizedFile(const Workspace& ws, const std::filesystem::path& hostPath,
                                         const std::string& entryName) {
  NewFile file;
  const AddOutcome read = ReadNewFile(ws.image, hostPath, entryName, file);
  if (read != AddStatus::Added) {
    if (!read.message.empty()) std::cerr << read.message << "\n";
    if (IsOtherKind(read.hostError))
      std::cerr << DescribeHostReadError(hostPath, read.hostError, 0) << "\n";
    if (read == AddStatus::InvalidName) std::cerr << kInvalidMsxName << entryName << "\n";
    return std::nullopt;
  }
  viewers::TokenizedBasic t = viewers::TokenizeBasic(Bytes(file.bytes.data(), file.bytes.size()));
  if (!t.ok()) {
    std::cerr << hostPath.string() << kAtLine << t.error->line << kAtColumn << t.error->column
              << ": " << t.error->message << "\n";
    return std::nullopt;
  }
  file.bytes = std::move(t.program);
  return file;
}

}  // namespace quarnel::cli
