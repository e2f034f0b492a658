// The user interface of the desktop program: modal message boxes and the standard dialogs.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/app_ui.h"
#include "viewers/msx_charset.h"

namespace quarnel {

class RenameDialog;

class QtUi : public AppUi {
 public:
  // `parent` owns the dialogs; `status` receives status-line texts.
  QtUi(QWidget* parent, std::function<void(const QString&)> status);
  ~QtUi() override;

  void Notify(std::string_view message) override;
  bool AskYesNo(std::string_view question) override;
  bool AskYesNoTitled(std::string_view caption, std::string_view question) override;
  SaveChoice AskSaveChanges(std::string_view name) override;
  DiskChangedChoice AskDiskChanged(std::string_view name) override;
  ReplaceAnswer AskReplace(std::string_view name, bool several) override;
  std::optional<std::string> AskSavePath(std::string_view title,
                                         std::string_view suggestedPath) override;
  std::optional<std::string> AskNewName(std::string_view hostName) override;
  void Status(std::string_view text) override;

  std::optional<std::string> AskOpenPath(std::string_view title, std::string_view folder) override;
  std::vector<std::string> AskOpenPaths(std::string_view title, std::string_view folder) override;
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggested,
                                         SaveFilter filter) override;
  std::optional<std::string> AskFolder(std::string_view title, std::string_view start) override;
  std::optional<QColor> AskColor(std::string_view title, const QColor& initial) override;
  std::optional<QFont> AskFont(std::string_view title, const QFont& initial,
                               QColor* color) override;
  std::optional<QString> AskText(std::string_view title, const QString& label,
                                 const QString& initial) override;

  RenameDialog* renameDialog() const { return rename_; }
  // The folder save dialogs start in when they propose a bare file name.
  std::function<QString()> defaultFolder;

 private:
  QPointer<QWidget> parent_;
  std::function<void(const QString&)> status_;
  RenameDialog* rename_ = nullptr;
};

// The filter list of a Qt file dialog for `filter` (empty for AnyFile).
QString SaveFilterText(SaveFilter filter);

// Text of the core (8-bit, UTF-8 where it came from host names) as a QString.
QString ToQ(std::string_view s);
std::string FromQ(const QString& s);
// Text of the image (names, OEM signature, volume name): one byte per character, shown as the
// MSX character set shows it (and typed text turned back into those bytes).
std::string FromImageText(const QString& s,
                          const viewers::MsxCharset& cs = viewers::MsxCharset::International());
QString ImageText(std::string_view s,
                  const viewers::MsxCharset& cs = viewers::MsxCharset::International());

}  // namespace quarnel
