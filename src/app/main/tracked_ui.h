// The window's AppUi with a count of the dialogs now open. While one is open the command that
// opened it is still running: its dialog's event loop runs everything else, even in the moment
// after the dialog has closed and before the loop has returned to the command. Work that would
// swap the image under the command (a hand-over from a second start) waits until the count is
// back at zero; `closed` is called then, while the command still runs, so anything it queues runs
// after the command has ended or inside its next dialog.
#pragma once

#include <functional>

#include "app/app_ui.h"

namespace quarnel {

class TrackedUi : public AppUi {
 private:
  template <class F>
  auto Track(F&& f) {
    struct Count {
      TrackedUi& ui;
      explicit Count(TrackedUi& u) : ui(u) { ++ui.open_; }
      ~Count() {
        if (--ui.open_ == 0 && ui.closed) ui.closed();
      }
    } count(*this);
    return f();
  }

 public:
  explicit TrackedUi(AppUi& inner) : inner_(inner) {}

  bool Open() const { return open_ > 0; }
  // Called when the last open dialog has closed.
  std::function<void()> closed;

  void Notify(std::string_view m) override {
    Track([&] { inner_.Notify(m); });
  }
  void Status(std::string_view t) override { inner_.Status(t); }
  bool AskYesNo(std::string_view q) override {
    return Track([&] { return inner_.AskYesNo(q); });
  }
  bool AskYesNoTitled(std::string_view c, std::string_view q) override {
    return Track([&] { return inner_.AskYesNoTitled(c, q); });
  }
  SaveChoice AskSaveChanges(std::string_view name) override {
    return Track([&] { return inner_.AskSaveChanges(name); });
  }
  DiskChangedChoice AskDiskChanged(std::string_view name) override {
    return Track([&] { return inner_.AskDiskChanged(name); });
  }
  ReplaceAnswer AskReplace(std::string_view name, bool several) override {
    return Track([&] { return inner_.AskReplace(name, several); });
  }
  std::optional<std::string> AskSavePath(std::string_view t, std::string_view s) override {
    return Track([&] { return inner_.AskSavePath(t, s); });
  }
  std::optional<std::string> AskNewName(std::string_view h) override {
    return Track([&] { return inner_.AskNewName(h); });
  }
  std::optional<std::string> AskOpenPath(std::string_view t, std::string_view f) override {
    return Track([&] { return inner_.AskOpenPath(t, f); });
  }
  std::vector<std::string> AskOpenPaths(std::string_view t, std::string_view f) override {
    return Track([&] { return inner_.AskOpenPaths(t, f); });
  }
  std::optional<std::string> AskSaveFile(std::string_view t, std::string_view s,
                                         SaveFilter f) override {
    return Track([&] { return inner_.AskSaveFile(t, s, f); });
  }
  std::optional<std::string> AskFolder(std::string_view t, std::string_view s) override {
    return Track([&] { return inner_.AskFolder(t, s); });
  }
  std::optional<QColor> AskColor(std::string_view t, const QColor& c) override {
    return Track([&] { return inner_.AskColor(t, c); });
  }
  std::optional<QFont> AskFont(std::string_view t, const QFont& f, QColor* c) override {
    return Track([&] { return inner_.AskFont(t, f, c); });
  }
  std::optional<QString> AskText(std::string_view t, const QString& l, const QString& i) override {
    return Track([&] { return inner_.AskText(t, l, i); });
  }

 private:
  AppUi& inner_;
  int open_ = 0;
};

}  // namespace quarnel
