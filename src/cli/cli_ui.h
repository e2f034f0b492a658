// The Ui of the command line: messages go to stderr, questions are answered from flags.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ui.h"

namespace quarnel::cli {

class CliUi : public Ui {
 public:
  // `assumeYes`: the answer to every Yes/No question. `newNames`: answers for the rename
  // dialog, taken in order; when they run out the dialog counts as cancelled.
  explicit CliUi(bool assumeYes = false, std::vector<std::string> newNames = {})
      : assumeYes_(assumeYes), newNames_(std::move(newNames)) {}

  void Notify(std::string_view message) override;
  bool AskYesNo(std::string_view question) override;
  std::optional<std::string> AskSavePath(std::string_view title,
                                         std::string_view suggestedPath) override;
  std::optional<std::string> AskNewName(std::string_view hostName) override;

  // How many messages were shown; commands use it to decide their exit code.
  int Notices() const { return notices_; }

 private:
  bool assumeYes_;
  std::vector<std::string> newNames_;
  std::size_t nextName_ = 0;
  int notices_ = 0;
};

}  // namespace quarnel::cli
