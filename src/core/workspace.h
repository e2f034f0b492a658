// One working session over one disk image: the image, the directory stack, the listing of the
// current directory and the fields the main window shows. The desktop program owns one; every
// command-line command and every test makes its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ascii.h"
#include "core/directory.h"
#include "core/disk_image.h"
#include "core/file_list.h"
#include "core/host_file.h"
#include "core/save_image.h"
#include "core/ui.h"

namespace quarnel {

// What OpenHostFile did with a host file, by its extension.
enum class HostFileKind {
  DiskImage,   // .DSK .DI1 .DI2: LoadImage ran (see the image's flags for the outcome)
  Cassette,    // .CAS: not handled here; the cassette layer loads and lists it
  Conversion,  // .DDI .IMG .MSX .XSA: not handled here; the converters take it
  Other,       // any other extension: nothing happens
};

// Upper-cased extension with its dot, cut to four characters ("" when there is none):
// UpperExtension(path, 4).
inline std::string HostExtension(std::string_view path) { return UpperExtension(path, 4); }
// The kind of a host file by HostExtension.
HostFileKind HostFileKindOf(std::string_view path);

// The answer to the "Save Changed DiskImage" dialog (Workspace::SaveChangedPrompt) that a front
// end shows before it replaces an image with unsaved changes: the path to save the image to
// first. Empty (the default) drops the changes.
struct ChangedImageAnswer {
  std::string savePath;
};

class Workspace {
 public:
  DiskImage image;
  DirStack dirStack;
  std::vector<ListingRecord> listing;  // slots of the current directory
  CurrentEntry current;                // entry last decoded by ReadEntry
  FileListing fileList;                // rows and summary of the current directory
  bool volumeShown = false;
  std::string volumeField;   // the main window's volume-name field
  std::string listedVolume;  // volume name remembered from the listing
  std::string oemField;      // the main window's OEM field: bytes 3-10, one character each
  std::string viewedName;    // caption of the file last chosen for viewing
  int sortDirection = 0;     // the file list's sort direction (-1 after every load)
  std::string statusText;    // the status line as last set by the core

  // Loads and validates an image file: reads it and hands its bytes to LoadImageBytes; the
  // outcome is in image.loadFailed / image.bootError. Unsaved changes of the image it replaces
  // are first saved as `changes` says (SaveChanges). A path that does not exist leaves no image
  // loaded and shows no message; a file of a size no disk has is refused unread. Returns what
  // kept the file from being read as a host file (its kind when it is no regular file, a failed
  // open or read); None when it was read or refused for its size.
  HostReadError LoadImage(const std::string& path, Ui& ui, const ChangedImageAnswer& changes = {});
  // The same from bytes already in memory (steps after the file read); `path` becomes
  // imagePath. Used by LoadImage, tests, fuzzing and converters.
  void LoadImageBytes(std::vector<std::uint8_t> bytes, const std::string& path, Ui& ui,
                      const ChangedImageAnswer& changes = {});
  // Dispatches a host file by its extension; loads .DSK/.DI1/.DI2 (passing `changes` on),
  // reports the other kinds.
  HostFileKind OpenHostFile(const std::string& path, Ui& ui,
                            const ChangedImageAnswer& changes = {});
  // The dialog a front end shows for unsaved changes: "Save Changed DiskImage: " + file name,
  // proposing the image's path.
  SavePrompt SaveChangedPrompt() const;
  // Settles unsaved changes by the user's answer: a non-empty path gets the whole image
  // (Cancelled when it is empty: the changes are dropped). Nothing when nothing is changed.
  SaveStatus SaveChanges(const ChangedImageAnswer& answer, Ui& ui);

  // The image may be listed and read.
  bool HasImage() const { return image.Usable(); }
  const DirLevel& CurrentLevel() const { return dirStack[image.level]; }
  // The row whose hidden column holds `slot`; nullptr when there is none.
  const FileRow* RowForSlot(int slot) const;
  // Sets the status line (and tells the Ui).
  void SetStatus(std::string text, Ui& ui);

  // Forgets the image and everything derived from it.
  void Unload();

 private:
  // Refuses a size no disk image has with the message for it (too big, too small) and
  // loadFailed; true then.
  bool RefuseImageSize(std::uintmax_t size, Ui& ui);
  // Steps of a load after the bytes are in: OEM field, boot sector, geometry, root listing.
  void FinishLoad(Ui& ui);
};

}  // namespace quarnel
