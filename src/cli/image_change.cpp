#include "cli/image_change.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>

#include "cli/exit_code.h"
#include "core/add_file.h"
#include "core/ascii.h"
#include "core/save_image.h"

namespace quarnel::cli {

std::unique_ptr<ImageLock> HoldImageForChange(const std::string& path) {
  constexpr std::chrono::seconds kWait{5};
  auto lock = std::make_unique<ImageLock>(path, kWait);
  if (lock->status() != ImageLock::Status::Busy) return lock;
  std::cerr << path << kBeingChanged << "\n";
  return nullptr;
}

bool SaveInPlace(Workspace& ws, CliUi& ui) {
  std::error_code ec;
  const auto perms = std::filesystem::status(ws.imagePath, ec).permissions();
  if (!ec && (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
    std::cerr << ws.imagePath << kImageReadOnly << "\n";
    return false;
  }
  const SaveOutcome saved = SaveImageFile(ws, ws.imagePath);
  if (!saved.message.empty()) ui.Notify(saved.message);
  return saved == SaveStatus::Saved;
}

int FinishChange(ImageChange change, Workspace& ws, CliUi& ui) {
  switch (change) {
    case ImageChange::Unchanged:
      return kExitSuccess;
    case ImageChange::Changed:
      return SaveInPlace(ws, ui) ? kExitSuccess : kExitFailure;
    case ImageChange::Failed:
      break;
  }
  return kExitFailure;
}

std::optional<VolumeId> Dos2VolumeId(bool dos2) {
  if (!dos2) return std::nullopt;
  std::random_device random;
  return VolumeIdFrom(static_cast<std::uint32_t>(random()));
}

}  // namespace quarnel::cli
