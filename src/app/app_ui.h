// The user as the desktop program sees it: the core's messages plus the program's questions and
// dialogs. The window asks through this interface only, and always before it calls the core,
// so the GUI tests can answer from a script while the program shows real dialogs (QtUi).
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ui.h"

namespace quarnel {

// The file types a save dialog lists.
enum class SaveFilter {
  AnyFile,    // no filter
  DiskImage,  // MSX disk images (*.dsk), then all files
  Picture,    // PNG, then Windows bitmaps
};

// The answer to "Save changes to NAME?".
enum class SaveChoice { Save, DontSave, Cancel };

// The answer when the image's file was changed on disk since it was read: write over it, save
// the image under another name, or leave both as they are.
enum class DiskChangedChoice { Overwrite, SaveAs, Cancel };

// The answer to "Replace NAME?" when a file being added has the name of one already there; with
// `forAll` it holds for the files of the same command still to come.
enum class ReplaceChoice { Replace, Skip, Cancel };
struct ReplaceAnswer {
  ReplaceChoice choice = ReplaceChoice::Cancel;
  bool forAll = false;
};

class AppUi : public Ui {
 public:
  // "Save changes to NAME?" with Save, Don't Save and Cancel.
  virtual SaveChoice AskSaveChanges(std::string_view name) = 0;
  // The image's file `name` was changed on disk since it was read: Overwrite, Save As or Cancel.
  virtual DiskChangedChoice AskDiskChanged(std::string_view name) = 0;
  // "Replace NAME?" with Replace, Skip and Cancel; `several` offers to answer for all the files
  // still to come.
  virtual ReplaceAnswer AskReplace(std::string_view name, bool several) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // The same in a box captioned `caption`.
  virtual bool AskYesNoTitled(std::string_view caption, std::string_view question) = 0;
  // A save-file dialog titled `title` with the file name preset to `suggestedPath`, listing every
  // file. nullopt when the user cancels.
  virtual std::optional<std::string> AskSavePath(std::string_view title,
                                                 std::string_view suggestedPath) = 0;
  // The rename dialog for a host name that does not fit 8.3: shows `hostName`, returns the name
  // the user typed, or nullopt when the user cancels.
  virtual std::optional<std::string> AskNewName(std::string_view hostName) = 0;
  // An open-file dialog; nullopt on cancel.
  virtual std::optional<std::string> AskOpenPath(std::string_view title,
                                                 std::string_view folder) = 0;
  // An open-file dialog that takes several files; empty on cancel.
  virtual std::vector<std::string> AskOpenPaths(std::string_view title,
                                                std::string_view folder) = 0;
  // A save-file dialog listing the files of `filter`; nullopt on cancel. (AskSavePath is this
  // dialog with SaveFilter::AnyFile.)
  virtual std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggested,
                                                 SaveFilter filter) = 0;
  // A folder selection; nullopt on cancel.
  virtual std::optional<std::string> AskFolder(std::string_view title, std::string_view start) = 0;
  // A colour dialog; nullopt on cancel.
  virtual std::optional<QColor> AskColor(std::string_view title, const QColor& initial) = 0;
  // A font dialog. When `color` is given the dialog also offers a colour and returns it there.
  virtual std::optional<QFont> AskFont(std::string_view title, const QFont& initial,
                                       QColor* color) = 0;
  // A one-line text entry (host rename); nullopt on cancel.
  virtual std::optional<QString> AskText(std::string_view title, const QString& label,
                                         const QString& initial) = 0;
};

}  // namespace quarnel
