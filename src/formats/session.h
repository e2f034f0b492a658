// What a front end has open: nothing, a disk image in its workspace, or a cassette image. A host
// file is opened by its extension, as a double-click in the host browser, a drop or the command
// line does.
#pragma once

#include <string>
#include <variant>

#include "core/workspace.h"
#include "formats/cassette.h"
#include "formats/ui.h"

namespace quarnel {

class Session {
 public:
  // The disk image's workspace, or nullptr while a cassette or nothing is open.
  Workspace* Disk() { return std::get_if<Workspace>(&open_); }
  const Workspace* Disk() const { return std::get_if<Workspace>(&open_); }
  // The cassette, or nullptr while a disk image or nothing is open.
  CasImage* Tape() { return std::get_if<CasImage>(&open_); }
  const CasImage* Tape() const { return std::get_if<CasImage>(&open_); }

  // True when OpenHostFile(path) would replace a disk image with unsaved changes: the front end
  // asks first and saves them (SaveAs) as the user answers.
  bool OffersToSaveChanges(const std::string& path) const;

  // The extension is upper-cased and cut to four characters (".DSKX" counts as ".DSK").
  // Unsaved changes of the disk image being replaced are dropped (OffersToSaveChanges).
  // - .DSK/.DI1/.DI2: a workspace loads the image (a failed load keeps it, with the outcome).
  // - .CAS: the file is loaded as a cassette and its files listed; a refused or failed load
  //   leaves nothing open.
  // - .DDI/.IMG/.MSX/.XSA: nothing here; the front end asks for the target and runs the
  //   conversion (ConversionFor and Convert in formats/disk_convert.h).
  // - any other extension: nothing.
  HostFileKind OpenHostFile(const std::string& path, Ui& ui);

  // A fresh workspace for a volume the front end loads itself (a partition of a card image, a
  // volume told by its bytes rather than its extension); whatever was open is closed.
  Workspace& StartDisk() { return open_.emplace<Workspace>(); }

  // Closes whatever is open (unsaved changes are dropped).
  void Close() { open_ = std::monostate{}; }

 private:
  std::variant<std::monostate, Workspace, CasImage> open_;
};

}  // namespace quarnel
