// The user, as the core sees it. Operations that show a message or ask a question half-way
// call this interface; the desktop program answers with dialogs, the command-line tool with
// stderr and its flags, tests with a script.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

class Ui {
 public:
  virtual ~Ui() = default;

  // A modal notice with an OK button (errors and warnings alike).
  virtual void Notify(std::string_view message) = 0;

  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;

  // A save-file dialog titled `title` with the file name preset to `suggestedPath`.
  // nullopt when the user cancels.
  virtual std::optional<std::string> AskSavePath(std::string_view title,
                                                 std::string_view suggestedPath) = 0;

  // The rename dialog for a host name that does not fit 8.3: shows `hostName`, returns the name
  // the user typed, or nullopt when the user cancels.
  virtual std::optional<std::string> AskNewName(std::string_view hostName) = 0;

  // A line for the status bar; front ends without one may ignore it.
  virtual void Status(std::string_view /*text*/) {}
};

// A user who is not there: messages go nowhere, every question is answered No or cancelled.
// For batch work (benchmarks, fuzzing) that only looks at outcomes.
class SilentUi : public Ui {
 public:
  void Notify(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::optional<std::string> AskSavePath(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> AskNewName(std::string_view) override { return std::nullopt; }
};

}  // namespace quarnel
