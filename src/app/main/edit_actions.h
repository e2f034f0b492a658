// The Edit menu's and the toolbar's commands on the file list: adding host files and folders
// (with what they hold), a new folder, renaming, deleting (a folder that holds something after
// one question), extracting the selection into one folder and selecting every row. Each command
// is an action owned here; what it did is confirmed in the status bar.
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <filesystem>
#include <vector>

class QAction;
class QMenu;
class QToolBar;

namespace quarnel {

class MainWindow;
struct ListMenuState;

// "3 files", "1 file", "12 files and 2 folders", "1 folder": what a command counted.
QString CountText(std::size_t files, std::size_t folders);

class EditActions : public QObject {
  Q_OBJECT
 public:
  explicit EditActions(MainWindow& window);

  // Every action into `menu`, the ones used most on `bar`.
  void AddTo(QMenu* menu, QToolBar* bar);
  // Enabled as the file list's menu allows: `state` for `selectedRows` of `rows` listed.
  void Update(const ListMenuState& state, int selectedRows, int rows);

  QAction* addFiles() const { return addFiles_; }
  QAction* addFolder() const { return addFolder_; }
  QAction* newFolder() const { return newFolder_; }
  QAction* rename() const { return rename_; }
  QAction* remove() const { return remove_; }
  QAction* extract() const { return extract_; }
  QAction* selectAll() const { return selectAll_; }

 private:
  QAction* Make(const char* text, const char* icon, int fallback, void (EditActions::*command)());
  void AddFiles();   // several host files (or folders) chosen in one dialog
  void AddFolder();  // one host folder with everything in it
  void Add(const std::vector<std::filesystem::path>& paths);
  void NewFolder();  // asks for a name and makes the directory in the shown directory
  void Rename();     // opens the in-place editor on the selected row
  void DeleteSelection();
  void ExtractSelection();
  void SelectAll();

  MainWindow& w_;
  QAction* addFiles_ = nullptr;
  QAction* addFolder_ = nullptr;
  QAction* newFolder_ = nullptr;
  QAction* rename_ = nullptr;
  QAction* remove_ = nullptr;
  QAction* extract_ = nullptr;
  QAction* selectAll_ = nullptr;
};

}  // namespace quarnel
