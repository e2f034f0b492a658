#include "formats/session.h"

namespace quarnel {

bool Session::OffersToSaveChanges(const std::string& path) const {
  const Workspace* ws = Disk();
  if (!ws || !ws->IsChanged()) return false;
  const HostFileKind kind = HostFileKindOf(path);
  return kind == HostFileKind::DiskImage || kind == HostFileKind::Cassette;
}

HostFileKind Session::OpenHostFile(const std::string& path, Ui& ui) {
  const HostFileKind kind = HostFileKindOf(path);
  switch (kind) {
    case HostFileKind::DiskImage:
      if (!Disk()) open_.emplace<Workspace>();
      ui.Status(path);
      NotifyAll(ui, Disk()->LoadImage(path).messages);
      break;
    case HostFileKind::Cassette: {
      CasImage& tape = open_.emplace<CasImage>();
      if (tape.LoadCasFile(path, ui) != CasImage::LoadStatus::Loaded) {
        Close();
        break;
      }
      tape.ListCasFile();
      break;
    }
    case HostFileKind::Conversion:
    case HostFileKind::Other:
      break;
  }
  return kind;
}

}  // namespace quarnel
