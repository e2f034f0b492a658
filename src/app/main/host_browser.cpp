#include "app/main/host_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

namespace quarnel {

namespace {

class BrowserList : public QListView {
 public:
  using QListView::QListView;
  std::function<void(const QModelIndex&)> onEnter;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && onEnter) {
      onEnter(currentIndex());
      return;
    }
    QListView::keyPressEvent(e);
  }
};

}  // namespace

QStringList MaskPatterns(const QString& mask) {
  QStringList out;
  for (const QString& p : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    QString t = p.trimmed();
    if (t == QLatin1String("*.*")) t = QStringLiteral("*");
    if (!t.isEmpty()) out << t;
  }
  return out;
}

HostBrowser::HostBrowser(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("hostTree"));
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setNameFilterDisables(false);
  model_->setReadOnly(true);
  auto* list = new BrowserList(this);
  view_ = list;
  view_->setModel(model_);
  view_->setIconSize(QSize(16, 16));
  view_->setUniformItemSizes(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  view_->setDragEnabled(true);
  view_->setDragDropMode(QAbstractItemView::DragOnly);
  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("folderField"));
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(2);
  box->addWidget(path_);
  box->addWidget(view_);

  list->onEnter = [this](const QModelIndex& i) { Activate(i); };
  connect(view_, &QListView::doubleClicked, this, [this](const QModelIndex& i) { Activate(i); });
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& cur) {
            if (cur.isValid()) emit selectionChanged(model_->filePath(cur));
          });
  connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    emit contextMenuRequested(view_->viewport()->mapToGlobal(p));
  });
  connect(path_, &QLineEdit::returnPressed, this, [this] {
    QString p = QDir::fromNativeSeparators(path_->text().trimmed());
    if (QFileInfo(p).isDir())
      SetFolder(p);
    else
      path_->setText(QDir::toNativeSeparators(folder_));
  });
  connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& dir) {
    if (QDir::cleanPath(dir) != folder_ || pendingSelect_.isEmpty()) return;
    QString p = pendingSelect_;
    pendingSelect_.clear();
    SelectPath(p);
  });
  SetFolder(QDir::homePath());
}

void HostBrowser::SetFolder(const QString& folder) {
  QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  if (!QFileInfo(f).isDir()) return;
  bool changed = f != folder_;
  folder_ = f;
  model_->setRootPath(folder_);
  view_->setRootIndex(model_->index(folder_));
  path_->setText(QDir::toNativeSeparators(folder_));
  if (changed) emit folderChanged(folder_);
}

void HostBrowser::SetMask(const QString& mask) {
  mask_ = mask;
  model_->setNameFilters(MaskPatterns(mask));
}

QString HostBrowser::SelectedPath() const {
  QModelIndex i = view_->currentIndex();
  if (!i.isValid() || !view_->selectionModel()->isSelected(i)) return {};
  return model_->filePath(i);
}

void HostBrowser::Refresh() {
  // The model watches the folder; setting the root again picks up files made meanwhile.
  model_->setRootPath(QString());
  model_->setRootPath(folder_);
  view_->setRootIndex(model_->index(folder_));
}

QStringList HostBrowser::ListedNames() const {
  QDir d(folder_);
  QStringList dirs =
      d.entryList(QDir::AllDirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  QStringList files = d.entryList(MaskPatterns(mask_.isEmpty() ? QStringLiteral("*") : mask_),
                                  QDir::Files, QDir::Name | QDir::IgnoreCase);
  return dirs + files;
}

QString HostBrowser::SelectByPrefix(const QString& prefix) {
  QStringList names = ListedNames();
  int n = static_cast<int>(names.size());
  for (int k = 0; k < n; ++k) {
    int at = (k + 1) % n;  // from the second entry on, wrapping around to the first
    if (names[at].startsWith(prefix, Qt::CaseInsensitive)) {
      QString p = QDir(folder_).filePath(names[at]);
      SelectPath(p);
      return p;
    }
  }
  return {};
}

void HostBrowser::SelectPath(const QString& path) {
  QModelIndex i = model_->index(path);
  if (!i.isValid() || i.parent() != view_->rootIndex()) {
    pendingSelect_ = path;  // selected when the folder has been read
    return;
  }
  view_->setCurrentIndex(i);
  view_->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect);
  view_->scrollTo(i);
}

void HostBrowser::Up() {
  QDir d(folder_);
  if (d.cdUp()) SetFolder(d.absolutePath());
}

void HostBrowser::Activate(const QModelIndex& index) {
  if (!index.isValid()) return;
  QString p = model_->filePath(index);
  if (model_->isDir(index)) {
    SetFolder(p);
    return;
  }
  emit fileActivated(p);
}

}  // namespace quarnel
