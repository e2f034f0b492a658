// The file list in one of three styles (report, list, large icons) over one model
// and one selection. Accepts host files dropped onto it and starts drags of the selected rows.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractItemView;
class QAction;
class QMimeData;
class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QTreeView;

namespace quarnel {

class FileListModel;

enum class ListStyle { Report, List, LargeIcon };

class FileListView : public QWidget {
  Q_OBJECT
 public:
  FileListView(FileListModel* model, QWidget* parent = nullptr);

  ListStyle Style() const { return style_; }
  void SetStyle(ListStyle s);

  // The view now on show and the selection shared by all styles.
  QAbstractItemView* CurrentView() const;
  QTreeView* DetailView() const { return detail_; }
  QItemSelectionModel* Selection() const { return selection_; }

  // Selected model rows in list order.
  std::vector<int> SelectedRows() const;
  // Starts in-place editing of the caption of model row `row`.
  void EditRow(int row);
  // Adds an action whose shortcut works while the list has the focus.
  void AddListAction(QAction* a);

  // Set by the window.
  std::function<void(const QStringList& paths)> onDrop;        // host files dropped
  std::function<void()> onActivate;                            // double-click or Enter
  std::function<void(int column)> onHeaderClicked;             // column click
  std::function<void(const QPoint& globalPos)> onContextMenu;  // right click
  std::function<void()> onStartDrag;                           // drag of the selection

  // Used by the views.
  bool AcceptsDrop(const QMimeData* mime, QObject* source) const;
  // `row` is the model row the files were dropped on (-1 for none).
  void DeliverDrop(const QMimeData* mime, int row = -1);
  // The model row of the drop being delivered (-1 outside a drop or when none was hit).
  int DropRow() const { return dropRow_; }

 private:
  FileListModel* model_;
  QStackedWidget* stack_;
  QTreeView* detail_;
  QListView* icons_;
  QItemSelectionModel* selection_;
  ListStyle style_ = ListStyle::Report;
  int dropRow_ = -1;
};

}  // namespace quarnel
