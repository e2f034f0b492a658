// The host folder browser. One folder at a time with small icons, filtered by the
// mask of the filter combo; folders are always shown and entered by double-click or Enter.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QFileSystemModel;
class QLineEdit;
class QListView;

namespace quarnel {

class HostBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit HostBrowser(QWidget* parent = nullptr);

  QString Folder() const { return folder_; }
  void SetFolder(const QString& folder);
  // The mask as the filter combo gives it ("*.dsk;*.di?").
  void SetMask(const QString& mask);
  QString Mask() const { return mask_; }
  // Full path of the selected entry; empty when nothing is selected.
  QString SelectedPath() const;
  // Re-reads the folder.
  void Refresh();
  // Selects the first entry (in the browser's order, from the second entry on, wrapping around
  // to the first) whose name begins with `prefix`, case-insensitively, and scrolls to it.
  // Returns its full path, or an empty string when no entry matches.
  QString SelectByPrefix(const QString& prefix);
  // Selects an entry by its full path (when it is listed).
  void SelectPath(const QString& path);
  void Up();

  // The names the browser lists for its folder, in its order (folders first, then files, each
  // by name without regard to case), filtered by the mask.
  QStringList ListedNames() const;

  QListView* View() const { return view_; }
  QFileSystemModel* Model() const { return model_; }
  QLineEdit* FolderField() const { return path_; }

 signals:
  void fileActivated(const QString& path);     // double-click or Enter on a file
  void selectionChanged(const QString& path);  // the selected entry changed
  void contextMenuRequested(const QPoint& globalPos);
  void folderChanged(const QString& folder);

 private:
  void Activate(const QModelIndex& index);

  QFileSystemModel* model_;
  QListView* view_;
  QLineEdit* path_;
  QString folder_;
  QString mask_;
  QString pendingSelect_;
};

// The masks of one filter entry ("*.dsk;*.di?" -> {"*.dsk", "*.di?"}).
QStringList MaskPatterns(const QString& mask);

}  // namespace quarnel
