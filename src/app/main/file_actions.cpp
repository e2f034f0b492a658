#include "app/main/file_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <string>

#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/geometry.h"

namespace quarnel {

namespace {

QAction* Action(QObject* owner, const char* text, const QKeySequence& key = {}) {
  auto* a = new QAction(QString::fromLatin1(text), owner);
  if (!key.isEmpty()) a->setShortcut(key);
  return a;
}

}  // namespace

FileActions::FileActions(MainWindow& window) : QObject(&window), w_(window) {
  open_ = Action(this, app_text::kMenuOpen, QKeySequence::Open);
  connect(open_, &QAction::triggered, this, [this] { w_.OpenChosenFile(); });
  for (int i = 0; i < static_cast<int>(GeometryTable.size()); ++i) {
    const std::string caption(GeometryTable[static_cast<std::size_t>(i)].caption);
    QAction* a = Action(this, caption.c_str());
    connect(a, &QAction::triggered, this, [this, i] { w_.NewImage(i); });
    newImage_.push_back(a);
  }
  dos2_ = Action(this, app_text::kMenuDos2);
  dos2_->setCheckable(true);
  save_ = Action(this, app_text::kMenuSave, QKeySequence::Save);
  connect(save_, &QAction::triggered, this, [this] { w_.SaveImage(); });
  saveAs_ = Action(this, app_text::kMenuSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(saveAs_, &QAction::triggered, this, [this] { w_.SaveImageAs(); });
  saveCopy_ = Action(this, app_text::kMenuSaveCopy);
  connect(saveCopy_, &QAction::triggered, this, [this] { w_.SaveImageCopy(); });
  checkDisk_ = Action(this, app_text::kMenuCheckDisk);
  connect(checkDisk_, &QAction::triggered, this, [this] { w_.CheckOpenDisk(); });
  exit_ = Action(this, app_text::kMenuExit, QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit_, &QAction::triggered, this, [this] { w_.close(); });
}

QAction* FileActions::newImage(int row) const {
  return row >= 0 && row < static_cast<int>(newImage_.size())
             ? newImage_[static_cast<std::size_t>(row)]
             : nullptr;
}

void FileActions::AddTo(QMenu* file, QMenu* recent) {
  file->addAction(open_);
  file->addMenu(recent);
  QMenu* fresh = file->addMenu(QString::fromLatin1(app_text::kMenuNew));
  QMenu* disk = fresh->addMenu(QString::fromLatin1(app_text::kMenuDiskImage));
  for (QAction* a : newImage_) disk->addAction(a);
  disk->addSeparator();
  disk->addAction(dos2_);
  for (QAction* a : {save_, saveAs_, saveCopy_, checkDisk_}) file->addAction(a);
  file->addSeparator();
  file->addAction(exit_);
}

}  // namespace quarnel
