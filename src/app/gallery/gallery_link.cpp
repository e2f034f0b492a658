// The gallery as part of the main window: one thumbnail maker for the gallery and for the large
// icons of the file list, where a picture file of the directory shown shows its thumbnail.
#include "app/gallery/gallery_window.h"
#include "app/gallery/thumbnail_maker.h"
#include "app/main/document.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/main_window.h"

namespace quarnel {

GalleryWindow* GalleryWindow::Attach(MainWindow& main) {
  auto* maker = new ThumbnailMaker(*main.document(), &main);
  auto* gallery = new GalleryWindow(main, maker);
  FileListModel* model = main.listModel();
  model->rowIcon = [&main, maker](const FileRow& row) -> QIcon {
    const Workspace* ws = main.disk();
    if (main.fileList()->Style() != ListStyle::LargeIcon || !ws || !ws->HasImage() ||
        main.listModel()->PartitionRows() || row.slot < 0)
      return {};
    const std::optional<FileEntry> entry = ws->EntryAt(row.slot);
    if (!entry) return {};
    const std::optional<viewers::PictureMode> mode = viewers::PictureModeOf(*entry);
    if (!mode) return {};
    const Thumbnail* t = maker->Get({*entry, entry->Caption(), *mode});
    if (!t || t->image.isNull()) return {};
    return QIcon(QPixmap::fromImage(t->image));
  };
  QObject::connect(maker, &ThumbnailMaker::made, model, [&main, model](const ThumbnailKey& key) {
    const Workspace* ws = main.disk();
    if (ws && ws->CurrentDir().firstCluster == key.dir) model->IconChanged(key.slot);
  });
  return gallery;
}

}  // namespace quarnel
