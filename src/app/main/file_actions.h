// The File menu's commands on the image as a whole: opening one chosen in a dialog, a new empty
// disk image of each size (with the MSX-DOS 2 boot sector when checked), saving it to its own
// file, as another file or as a copy, checking it, and leaving the program. Each command is an
// action owned here; the work is the main window's, which holds the open image.
#pragma once

#include <QObject>
#include <vector>

class QAction;
class QMenu;

namespace quarnel {

class MainWindow;

class FileActions : public QObject {
  Q_OBJECT
 public:
  explicit FileActions(MainWindow& window);

  // Every action into `file` in the menu's order, the recent files' submenu after Open.
  void AddTo(QMenu* file, QMenu* recent);

  QAction* open() const { return open_; }
  // File › New › Disk Image, one per size of the geometry table.
  QAction* newImage(int row) const;
  // Checked: a new disk image gets the MSX-DOS 2 boot sector.
  QAction* dos2() const { return dos2_; }
  QAction* save() const { return save_; }
  QAction* saveAs() const { return saveAs_; }
  QAction* saveCopy() const { return saveCopy_; }
  QAction* checkDisk() const { return checkDisk_; }
  QAction* exit() const { return exit_; }

 private:
  MainWindow& w_;
  QAction* open_ = nullptr;
  std::vector<QAction*> newImage_;
  QAction* dos2_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QAction* saveCopy_ = nullptr;
  QAction* checkDisk_ = nullptr;
  QAction* exit_ = nullptr;
};

}  // namespace quarnel
