// Opening a host file by its extension, as a double-click in the host browser, a drop or the
// command line does: disk images load into the workspace, cassettes become the current tape.
#pragma once

#include <string>

#include "core/ui.h"
#include "core/workspace.h"
#include "formats/cassette.h"

namespace quarnel {

// The extension is upper-cased and cut to four characters (".DSKX" counts as ".DSK").
// Unsaved changes of the image being replaced are settled by `changes` first, the user's answer
// to ws.SaveChangedPrompt() when OffersToSaveChanges says the front end is to ask.
// - .DSK/.DI1/.DI2: the workspace loads the image; the cassette is dropped.
// - .CAS: unsaved changes of the disk image are saved as `changes` says, the workspace's image
//   is released, the file is loaded and listed as a cassette; its rows fill ws.fileList and its
//   path is ws.image.imagePath, so that reading a file hands over to the cassette. A refused
//   or failed load leaves nothing current and the list empty.
// - .DDI/.IMG/.MSX/.XSA: nothing here; the front end asks for the target and runs the
//   conversion (ConversionFor, AskTargetFor and Convert in formats/disk_convert.h).
// - any other extension: nothing.
HostFileKind OpenHostFile(Workspace& ws, CasImage& cas, const std::string& path, Ui& ui,
                          const ChangedImageAnswer& changes = {});

// True when OpenHostFile(path) would replace a disk image with unsaved changes: the front end
// shows ws.SaveChangedPrompt() first and passes the answer.
bool OffersToSaveChanges(const Workspace& ws, const std::string& path);

// True while the workspace's current "image" is a cassette (the path ends in .CAS).
bool IsCassetteCurrent(const Workspace& ws);

}  // namespace quarnel
