// The Gallery: every picture file of the directory shown in the main window and of those below
// it (the whole disk from the root), each as a thumbnail in its own mode with its name and mode
// under it. The thumbnails come in as they are made (ThumbnailMaker) while the window stays at
// the user's command; a double-click (or Enter) shows the picture in the viewer. A change of the
// image lists the pictures again; another image shows the new one's from its root.
#pragma once

#include <QHash>
#include <QPair>
#include <QWidget>
#include <string>
#include <vector>

#include "core/directory.h"
#include "core/folder_history.h"
#include "viewers/disk_pictures.h"

class QLabel;
class QListWidget;

namespace quarnel {

class MainWindow;
class ThumbnailMaker;
struct ThumbnailKey;

class GalleryWindow : public QWidget {
  Q_OBJECT
 public:
  // The gallery of `main`, created once with it and hidden until asked for. It also gives the
  // file list's large icons of picture files their thumbnails.
  static GalleryWindow* Attach(MainWindow& main);

  // View › Gallery: the pictures of the directory shown and below, the window brought up.
  void ShowGallery();
  // Shows picture `index` of pictures() in the viewer, in the mode its name gives.
  void OpenPicture(int index);

  const std::vector<viewers::PictureEntry>& pictures() const { return pictures_; }
  QListWidget* list() const { return list_; }
  ThumbnailMaker* maker() const { return maker_; }
  // Pictures whose thumbnail is shown (or the reason it cannot be).
  int Shown() const { return shown_; }

 private:
  GalleryWindow(MainWindow& main, ThumbnailMaker* maker);
  // Lists the pictures of place_'s directory and below again, and asks for their thumbnails.
  void Rebuild();
  void ShowThumbnail(int index);
  void Made(const ThumbnailKey& key);

  MainWindow& main_;
  ThumbnailMaker* maker_;
  // The directory shown, with the folders above it: the gallery follows it while it is there.
  FolderPlace place_{{"\\", kRootDir}};
  std::vector<viewers::PictureEntry> pictures_;
  QHash<QPair<int, int>, int> byPlace_;  // (directory's first cluster, slot) -> index
  std::vector<bool> done_;
  int shown_ = 0;
  bool placed_ = false;
  QLabel* header_ = nullptr;
  QListWidget* list_ = nullptr;
};

}  // namespace quarnel
