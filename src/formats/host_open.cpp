#include "formats/host_open.h"

namespace quarnel {

bool OffersToSaveChanges(const Workspace& ws, const std::string& path) {
  switch (HostFileKindOf(path)) {
    case HostFileKind::DiskImage:
      return ws.image.changed;
    case HostFileKind::Cassette:
      return ws.image.changed && !ws.image.imagePath.empty();
    case HostFileKind::Conversion:
    case HostFileKind::Other:
      break;
  }
  return false;
}

HostFileKind OpenHostFile(Workspace& ws, CasImage& cas, const std::string& path, Ui& ui,
                          const ChangedImageAnswer& changes) {
  const HostFileKind kind = HostFileKindOf(path);
  switch (kind) {
    case HostFileKind::Conversion:
      break;
    case HostFileKind::DiskImage:
      cas.Clear();
      ws.OpenHostFile(path, ui, changes);
      break;
    case HostFileKind::Cassette: {
      // Replacing a changed disk image by a tape would drop its changes without a word.
      if (OffersToSaveChanges(ws, path)) ws.SaveChanges(changes, ui);
      ws.Unload();
      ws.fileList.Clear();
      ws.image.changed = false;
      ws.image.loadFailed = false;
      ws.image.bootError = false;
      ws.viewedName.clear();
      if (cas.LoadCasFile(path, ui) != CasImage::LoadStatus::Loaded) break;
      ws.image.imagePath = cas.Path();
      ws.statusText = cas.Path();  // LoadCasFile has shown it
      ws.fileList.rows = cas.ListCasFile();
      ws.fileList.filesListed = static_cast<int>(ws.fileList.rows.size());
      break;
    }
    case HostFileKind::Other:
      break;
  }
  return kind;
}

bool IsCassetteCurrent(const Workspace& ws) {
  return HostFileKindOf(ws.image.imagePath) == HostFileKind::Cassette;
}

}  // namespace quarnel
