// The user as the desktop program sees it: the core's questions plus the program's own file,
// folder, colour and font dialogs. The window asks through this interface only, so the GUI
// tests can answer from a script while the program shows real dialogs (QtUi).
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/ui.h"

namespace quarnel {

// The file types a save dialog lists.
enum class SaveFilter {
  AnyFile,    // no filter
  DiskImage,  // MSX disk images (*.dsk), then all files
};

class AppUi : public Ui {
 public:
  // An open-file dialog; nullopt on cancel.
  virtual std::optional<std::string> AskOpenPath(std::string_view title, std::string_view folder) = 0;
  // A save-file dialog listing the files of `filter`; nullopt on cancel. (AskSavePath, the
  // core's save dialog, is this dialog with SaveFilter::AnyFile.)
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
