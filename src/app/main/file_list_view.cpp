#include "app/main/file_list_view.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QStackedWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/main/file_list_model.h"
#include "app/messages.h"

namespace quarnel {

namespace {

// The drag-and-drop and key behaviour both styles share.
template <class Base>
class ListBehaviour : public Base {
 public:
  explicit ListBehaviour(FileListView* owner) : Base(owner), owner_(owner) {
    this->setAcceptDrops(true);
    this->viewport()->setAcceptDrops(true);
    this->setDragEnabled(true);
    this->setDragDropMode(QAbstractItemView::DragDrop);
    this->setDefaultDropAction(Qt::CopyAction);
    this->setDropIndicatorShown(false);
    this->setSelectionMode(QAbstractItemView::ExtendedSelection);
    this->setSelectionBehavior(QAbstractItemView::SelectRows);
    this->setEditTriggers(QAbstractItemView::NoEditTriggers);
    this->setContextMenuPolicy(Qt::CustomContextMenu);
    this->setToolTip(QString::fromLatin1(app_text::kListHint));
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override { Accept(e); }
  void dragMoveEvent(QDragMoveEvent* e) override { Accept(e); }
  void dropEvent(QDropEvent* e) override {
    if (!owner_->AcceptsDrop(e->mimeData(), e->source())) {
      e->ignore();
      return;
    }
    if (e->dropAction() != Qt::CopyAction && e->dropAction() != Qt::MoveAction)
      e->setDropAction(Qt::CopyAction);
    e->accept();
    owner_->DeliverDrop(e->mimeData(), this->indexAt(e->position().toPoint()).row());
  }
  void startDrag(Qt::DropActions) override {
    if (owner_->onStartDrag) owner_->onStartDrag();
  }
  void keyPressEvent(QKeyEvent* e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        this->state() != QAbstractItemView::EditingState && e->modifiers() == Qt::NoModifier) {
      if (owner_->onActivate) owner_->onActivate();
      e->accept();
      return;
    }
    Base::keyPressEvent(e);
  }
  void mousePressEvent(QMouseEvent* e) override {
    // A right click on empty space selects nothing, so the menu it opens acts on nothing (the
    // view would keep the rows selected before, which the pointer is not on).
    if (e->button() == Qt::RightButton && e->modifiers() == Qt::NoModifier &&
        !this->indexAt(e->position().toPoint()).isValid())
      this->selectionModel()->clearSelection();
    Base::mousePressEvent(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && this->indexAt(e->position().toPoint()).isValid()) {
      if (owner_->onActivate) owner_->onActivate();
      e->accept();
      return;
    }
    Base::mouseDoubleClickEvent(e);
  }

 private:
  void Accept(QDragMoveEvent* e) {
    if (owner_->AcceptsDrop(e->mimeData(), e->source())) {
      if (!(e->possibleActions() & (Qt::CopyAction | Qt::MoveAction))) {
        e->ignore();
        return;
      }
      if (e->proposedAction() == Qt::MoveAction || e->proposedAction() == Qt::CopyAction)
        e->acceptProposedAction();
      else {
        e->setDropAction(Qt::CopyAction);
        e->accept();
      }
    } else {
      e->ignore();
    }
  }
  FileListView* owner_;
};

using TreeList = ListBehaviour<QTreeView>;
using IconList = ListBehaviour<QListView>;

}  // namespace

FileListView::FileListView(FileListModel* model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("fileList"));
  stack_ = new QStackedWidget(this);
  auto* tree = new TreeList(this);
  tree->setRootIsDecorated(false);
  tree->setItemsExpandable(false);
  tree->setUniformRowHeights(true);
  tree->setAllColumnsShowFocus(true);
  tree->setModel(model);
  tree->header()->setSectionsClickable(true);
  tree->header()->setSortIndicatorShown(false);
  tree->header()->setStretchLastSection(true);
  for (int c = 0; c < FileListModel::kColumns; ++c)
    tree->header()->resizeSection(c, app_text::kColumnWidths[c]);
  detail_ = tree;

  auto* icons = new IconList(this);
  icons->setModel(model);
  icons->setModelColumn(0);
  // Items take the width of their own names (a uniform size would be the first name's).
  icons->setUniformItemSizes(false);
  icons->setResizeMode(QListView::Adjust);
  icons_ = icons;

  selection_ = detail_->selectionModel();
  icons_->setSelectionModel(selection_);

  stack_->addWidget(detail_);
  stack_->addWidget(icons_);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->addWidget(stack_);
  setFocusProxy(detail_);

  connect(detail_->header(), &QHeaderView::sectionClicked, this, [this](int c) {
    if (onHeaderClicked) onHeaderClicked(c);
  });
  for (QAbstractItemView* v :
       {static_cast<QAbstractItemView*>(detail_), static_cast<QAbstractItemView*>(icons_)}) {
    connect(v, &QWidget::customContextMenuRequested, this, [this, v](const QPoint& p) {
      if (onContextMenu) onContextMenu(v->viewport()->mapToGlobal(p));
    });
  }
}

void FileListView::SetStyle(ListStyle s) {
  style_ = s;
  if (s == ListStyle::Report) {
    stack_->setCurrentWidget(detail_);
    setFocusProxy(detail_);
    return;
  }
  if (s == ListStyle::LargeIcon) {
    icons_->setViewMode(QListView::IconMode);
    // Large enough for a picture file's thumbnail to be told by.
    icons_->setIconSize(QSize(64, 64));
    icons_->setGridSize(QSize(104, 100));
    icons_->setFlow(QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setWordWrap(true);
  } else {
    icons_->setViewMode(QListView::ListMode);
    icons_->setIconSize(QSize(16, 16));
    icons_->setGridSize(QSize());
    icons_->setFlow(QListView::TopToBottom);
    icons_->setWrapping(true);
    icons_->setWordWrap(false);
  }
  icons_->setMovement(QListView::Static);
  icons_->setDragEnabled(true);
  stack_->setCurrentWidget(icons_);
  setFocusProxy(icons_);
}

QAbstractItemView* FileListView::CurrentView() const {
  return style_ == ListStyle::Report ? static_cast<QAbstractItemView*>(detail_)
                                     : static_cast<QAbstractItemView*>(icons_);
}

std::vector<int> FileListView::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : selection_->selectedRows(0)) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void FileListView::EditRow(int row) {
  QAbstractItemView* v = CurrentView();
  QModelIndex i = model_->index(row, 0);
  v->setCurrentIndex(i);
  v->setFocus();
  v->edit(i);
}

void FileListView::AddListAction(QAction* a) {
  a->setShortcutContext(Qt::WidgetShortcut);
  detail_->addAction(a);
  icons_->addAction(a);
}

bool FileListView::AcceptsDrop(const QMimeData* mime, QObject* source) const {
  if (!mime || !mime->hasUrls()) return false;
  // Rows dragged out of this list are not taken back in.
  if (source == detail_ || source == icons_) return false;
  for (const QUrl& u : mime->urls())
    if (u.isLocalFile()) return true;
  return false;
}

void FileListView::DeliverDrop(const QMimeData* mime, int row) {
  QStringList paths;
  for (const QUrl& u : mime->urls())
    if (u.isLocalFile()) paths << u.toLocalFile();
  dropRow_ = row;
  if (!paths.isEmpty() && onDrop) onDrop(paths);
  dropRow_ = -1;
}

}  // namespace quarnel
