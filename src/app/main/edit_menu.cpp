// The Edit menu: Undo and Redo of the image's changes, their entries named for the change they
// take back or make again ("Undo Delete HELLO.BAS").
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/main_window.h"
#include "app/messages.h"

namespace quarnel {

QMenu* MainWindow::BuildEditMenu() {
  QMenu* edit = menuBar()->addMenu(QString::fromLatin1(app_text::kMenuEdit));
  edit->setObjectName(QStringLiteral("EditMenu"));
  QAction* undo = document_->undoStack()->createUndoAction(edit);
  undo->setShortcuts(QKeySequence::Undo);
  QAction* redo = document_->undoStack()->createRedoAction(edit);
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addAction(undo);
  edit->addAction(redo);
  // The status bar says what was taken back or made again (after the listing it brought).
  QUndoStack* stack = document_->undoStack();
  connect(undo, &QAction::triggered, this, [this, stack] {
    Confirm(QString::fromLatin1(app_text::kUndone).arg(stack->redoText()));
  });
  connect(redo, &QAction::triggered, this, [this, stack] {
    Confirm(QString::fromLatin1(app_text::kRedone).arg(stack->undoText()));
  });
  return edit;
}

QString MainWindow::EntryText(const FileEntry& entry) const {
  QString text = ImageText(entry.Caption(), Charset());
  while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

}  // namespace quarnel
