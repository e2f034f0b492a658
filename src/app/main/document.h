// What the main window has open, as one object both windows observe: the session (a disk image's
// workspace or a tape), the undo stack of the image's changes, and the signals by which the
// main window asks the viewer for a view, a report or the sector editor, and by which the
// viewer tells that it changed the image. A change of the image runs through Change: it is
// recorded (the sectors it touched, before and after) and kept on the undo stack under the
// name of the action. The image has unsaved changes while the stack is away from its clean
// index, which Save and every opening set.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "core/view_choice.h"
#include "formats/session.h"
#include "listing/file_rows.h"
#include "viewers/msx_charset.h"

class QUndoStack;

namespace quarnel {

class AppUi;

class Document : public QObject {
  Q_OBJECT
 public:
  // `ui` asks the user the questions that come with the open file.
  Document(AppUi& ui, QObject* parent = nullptr);
  ~Document() override;

  Session& session() { return session_; }
  Workspace* disk() { return session_.Disk(); }
  const Workspace* disk() const { return session_.Disk(); }
  CasImage* tape() { return session_.Tape(); }
  const CasImage* tape() const { return session_.Tape(); }
  AppUi& ui() { return ui_; }
  QUndoStack* undoStack() const { return stack_; }

  // Runs `change` on the open disk image. When it changed any byte the change goes on the undo
  // stack named `text` ("Delete HELLO.BAS") and the image is marked changed. The command that
  // ran it lists again itself (no imageChanged); an observer of every change of the bytes also
  // watches the undo stack's index. A change made inside another one is part of that one.
  void Change(const QString& text, const std::function<void()>& change);
  // The image was written to its own file (or to the one that becomes its file).
  void MarkSaved();
  // Another image, partition or tape was opened, or everything closed: no change to undo, and
  // nothing unsaved; imageReplaced follows.
  void Replaced();

  // Requests the main window makes of the viewer (each emits its signal).
  void RequestView(const FileRow& row, ViewSelector selector) { emit viewRequested(row, selector); }
  // The file of `entry` (its directory and slot, which need not be the directory shown).
  void RequestViewAt(const FileEntry& entry, ViewSelector selector) {
    emit viewAtRequested(entry, selector);
  }
  // The file of `row` in the hex view with the byte at `offset` selected (a find's hit).
  void RequestHexAt(const FileRow& row, std::uint64_t offset) { emit hexAtRequested(row, offset); }
  void RequestFileInfo(int slot) { emit fileInfoRequested(slot); }
  void RequestDiskDetails(const QString& path) { emit diskDetailsRequested(path); }
  void RequestSectorView(const QString& path) { emit sectorViewRequested(path); }
  // The next (1) or previous (-1) picture of the directory the viewer's picture is in.
  void RequestBrowse(int step) { emit browseRequested(step); }
  void ShowReport(const std::string& report) { emit reportShown(report); }
  // Before the open image is saved, replaced or closed: the viewer offers its edits not yet
  // written back (closing) or only offers them (saving).
  void Closing() { emit closing(); }
  void Saving() { emit saving(); }
  void SetCharset(const viewers::MsxCharset& charset) { emit charsetChanged(charset); }
  // The image changed through a command of the viewer (its edits written back): imageChanged.
  void Announce() { emit imageChanged(); }
  // The viewer is reading and showing a file: the main window takes no commands meanwhile.
  void SetBusy(bool busy) { emit busyChanged(busy); }

 signals:
  void imageReplaced();
  // The image's bytes changed outside the main window's commands: an undo, a redo, or the
  // viewer's edits written back. The shown directory is listed again.
  void imageChanged();
  void changedStateChanged(bool changed);
  void viewRequested(const FileRow& row, ViewSelector selector);
  void viewAtRequested(const FileEntry& entry, ViewSelector selector);
  void hexAtRequested(const FileRow& row, std::uint64_t offset);
  void fileInfoRequested(int slot);
  void diskDetailsRequested(const QString& path);
  void sectorViewRequested(const QString& path);
  void browseRequested(int step);
  void reportShown(const std::string& report);
  void closing();
  void saving();
  void charsetChanged(const viewers::MsxCharset& charset);
  void busyChanged(bool busy);

 private:
  friend class ImageChangeCommand;
  // The workspace's unsaved mark follows the stack.
  void FollowCleanState();
  // An undo or redo wrote the image.
  void AfterUndoOrRedo();

  AppUi& ui_;
  Session session_;
  QUndoStack* stack_ = nullptr;
  int depth_ = 0;       // changes running (nested ones belong to the outermost)
  bool moved_ = false;  // an undo or redo wrote the image; the stack's index follows
};

}  // namespace quarnel
