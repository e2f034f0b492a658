#include "formats/host_open.h"

namespace quarnel {

HostFileKind OpenHostFile(Workspace& ws, CasImage& cas, const std::string& path, Ui& ui) {
  const HostFileKind kind = HostFileKindOf(path);
  switch (kind) {
    case HostFileKind::Conversion:
      break;
    case HostFileKind::DiskImage:
      cas.Clear();
      ws.OpenHostFile(path, ui);
      break;
    case HostFileKind::Cassette: {
      // Replacing a changed disk image by a tape would drop its changes without a word.
      if (ws.image.changed && !ws.image.imagePath.empty()) ws.PromptSaveChanged(ui);
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
