// The commands on the disk as a whole and on one entry's properties: Find on Disk (Ctrl+Shift+F)
// searches every file's bytes and lists the hits, a double-clicked hit is shown in the hex view
// (the main window going to the hit's directory first); Properties (Alt+Enter) shows an entry's
// name, size, dates, type, clusters and sectors and whether its chain is sound, and changes its
// attributes as one change of the image, undone as any other.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>

#include "core/directory.h"
#include "tools/file_search.h"

class QAction;
class QMenu;

namespace quarnel {

class FindOnDiskDialog;
class MainWindow;
class PropertiesDialog;
struct ListMenuState;

class DiskActions : public QObject {
  Q_OBJECT
 public:
  explicit DiskActions(MainWindow& window);

  // Find on Disk and Properties into `menu` (after a separator), Properties into `popup`.
  void AddTo(QMenu* menu, QMenu* popup);
  // Enabled as the file list's menu allows.
  void Update(const ListMenuState& state, int selectedRows);

  QAction* findOnDisk() const { return findOnDisk_; }
  QAction* properties() const { return properties_; }
  // The dialogs last opened (null before).
  FindOnDiskDialog* findDialog() const;
  PropertiesDialog* propertiesDialog() const;

  // The hit's file in the hex view at the hit's offset: its directory shown in the list first,
  // the file's row selected. Nothing but a message when the file is no longer there.
  void ShowHit(const tools::FileHit& hit);
  // Gives the entry `entry` (of the directory shown) the editable attribute bits of `bits`, as
  // one undoable change.
  void ChangeAttributes(const FileEntry& entry, std::uint8_t bits);

 private:
  void FindOnDisk();
  void Properties();

  MainWindow& w_;
  QAction* findOnDisk_ = nullptr;
  QAction* properties_ = nullptr;
  QPointer<FindOnDiskDialog> findDialog_;
  QPointer<PropertiesDialog> propertiesDialog_;
};

}  // namespace quarnel
