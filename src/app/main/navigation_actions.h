// Where the file list is and how the user moves: the location line above the list, Back and
// Forward (Alt+Left, Alt+Right) through the folders shown since the image was opened, and a
// click on a folder of the location line to go up to it. The places are kept by the folders'
// identities: a folder deleted meanwhile is not entered again (the walk stops above it).
#pragma once

#include <QObject>

#include "core/folder_history.h"

class QAction;
class QMenu;

namespace quarnel {

class LocationBar;
class MainWindow;

class NavigationActions : public QObject {
  Q_OBJECT
 public:
  explicit NavigationActions(MainWindow& window);

  LocationBar* bar() const { return bar_; }
  QAction* back() const { return back_; }
  QAction* forward() const { return forward_; }
  void AddTo(QMenu* menu);

  // The list was shown again: the place goes into the history, the location line follows.
  void Follow();
  void GoBack();
  void GoForward();
  // Up to folder level `level` of the place shown (0: the root).
  void GoToLevel(int level);

 private:
  void Go(const std::optional<FolderPlace>& place);
  void UpdateActions();

  MainWindow& w_;
  FolderHistory history_;
  LocationBar* bar_ = nullptr;
  QAction* back_ = nullptr;
  QAction* forward_ = nullptr;
  bool going_ = false;  // a place of the history is being shown: no new visit
};

}  // namespace quarnel
