#include "app/main/document.h"

#include <QUndoStack>
#include <memory>

#include "app/app_ui.h"
#include "core/change_record.h"
#include "core/folder_history.h"

namespace quarnel {

// One recorded change of the image. Pushing it does nothing (the change is made already);
// undo and redo write the recorded sectors.
class ImageChangeCommand final : public QUndoCommand {
 public:
  ImageChangeCommand(Document& document, const QString& text, ChangeRecord record)
      : QUndoCommand(text), document_(document), record_(std::move(record)) {}

  void undo() override { Apply(true); }
  void redo() override {
    if (pushed_) Apply(false);
    pushed_ = true;
  }

 private:
  void Apply(bool undo) {
    Workspace* ws = document_.disk();
    if (!ws) return;
    if (undo)
      record_.Undo(ws->image);
    else
      record_.Redo(ws->image);
    KeepShownFolders(*ws);
    document_.AfterUndoOrRedo();
  }

  Document& document_;
  ChangeRecord record_;
  bool pushed_ = false;
};

Document::Document(AppUi& ui, QObject* parent)
    : QObject(parent), ui_(ui), stack_(new QUndoStack(this)) {
  connect(stack_, &QUndoStack::cleanChanged, this, [this](bool clean) {
    FollowCleanState();
    emit changedStateChanged(!clean);
  });
  // The stack moves its index after the command's undo or redo ran: the image is announced
  // once the clean state it tells is the new one.
  connect(stack_, &QUndoStack::indexChanged, this, [this] {
    if (!moved_) return;
    moved_ = false;
    FollowCleanState();
    emit imageChanged();
  });
}

Document::~Document() = default;

void Document::Change(const QString& text, const std::function<void()>& change) {
  Workspace* ws = disk();
  if (depth_ > 0 || !ws) {
    change();
    return;
  }
  struct Depth {
    int& n;
    explicit Depth(int& d) : n(++d) {}
    ~Depth() { --n; }
  };
  ChangeRecord record;
  {
    const Depth running(depth_);
    ChangeRecorder recorder(ws->image);
    change();
    record = recorder.Finish();
  }
  // A change that changed no byte leaves nothing to undo (and the image's mark as it was).
  if (record.Empty()) return;
  stack_->push(new ImageChangeCommand(*this, text, std::move(record)));
  FollowCleanState();
}

void Document::MarkSaved() {
  if (Workspace* ws = disk()) ws->MarkSaved();
  stack_->setClean();
}

void Document::Replaced() {
  stack_->clear();
  emit imageReplaced();
}

void Document::FollowCleanState() {
  Workspace* ws = disk();
  if (!ws) return;
  if (stack_->isClean())
    ws->MarkSaved();
  else
    ws->MarkChanged();
}

void Document::AfterUndoOrRedo() { moved_ = true; }

}  // namespace quarnel
