// The viewer window as the main window's viewer: the view commands of the file list read the
// chosen file of the disk image (Read_File) or the chosen entry of the cassette image
// (ViewCasEntry) and hand it to the window.
#include <QAbstractItemView>

#include "app/file_list_model.h"
#include "app/file_list_view.h"
#include "app/main_window.h"
#include "app/viewer_window.h"
#include "formats/cassette.h"
#include "formats/host_open.h"

namespace quarnel {

namespace {

// The tape entry of the selected row named `caption` (the current row first), or the first
// entry of that name.
std::optional<std::size_t> SelectedTapeEntry(MainWindow& main, const std::string& caption) {
  std::vector<int> rows = main.fileList()->SelectedRows();
  QModelIndex cur = main.fileList()->CurrentView()->currentIndex();
  if (cur.isValid()) rows.insert(rows.begin(), cur.row());
  for (int r : rows) {
    const FileRow* row = main.listModel()->Row(r);
    if (row && row->caption == caption && row->slot >= 0) return static_cast<std::size_t>(row->slot);
  }
  const auto& entries = main.cassette().Entries();
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name == caption) return i;
  return std::nullopt;
}

}  // namespace

ViewerWindow* ViewerWindow::Attach(MainWindow& main) {
  auto* v = new ViewerWindow(main.settings(), main.ui(), &main);
  v->busy = [&main](bool b) { main.setEnabled(!b); };
  main.closeViewer = [v] {
    if (v->isVisible()) v->close();
  };
  main.viewer = [v, &main](ViewSelector selector) {
    Workspace& ws = main.workspace();
    const std::string caption = ws.viewedName;
    Source source;
    if (IsCassetteCurrent(ws)) {
      std::optional<std::size_t> index = SelectedTapeEntry(main, caption);
      if (!index) return;
      source = [&main, i = *index](ViewSelector& s) -> std::optional<ViewedFile> {
        std::optional<CasView> cv = ViewCasEntry(main.cassette(), i, s);
        if (!cv) return std::nullopt;  // the pictures show nothing for a tape entry
        s = cv->view;
        return ViewedFile{std::move(cv->bytes), cv->name, cv->extension};
      };
    } else {
      source = [&main, caption](ViewSelector& s) -> std::optional<ViewedFile> {
        FileRead r = Read_File(main.workspace(), caption, main.ui());
        if (!r.ok()) return std::nullopt;
        s = ResolveSelector(s, r.bytes);
        return ViewedFile{std::move(r.bytes), r.entry.name, r.entry.extension};
      };
    }
    v->Open(std::move(source), selector);
  };
  return v;
}

}  // namespace quarnel
