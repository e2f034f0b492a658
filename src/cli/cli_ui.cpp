#include "cli/cli_ui.h"

#include <iostream>

namespace quarnel::cli {

void CliUi::Notify(std::string_view message) {
  ++notices_;
  std::cerr << message << "\n";
}

bool CliUi::AskYesNo(std::string_view question) {
  std::cerr << question << (assumeYes_ ? " [yes]\n" : " [no]\n");
  return assumeYes_;
}

std::optional<std::string> CliUi::AskSavePath(std::string_view, std::string_view) {
  // The command line saves explicitly; a prompt to save elsewhere counts as cancelled.
  return std::nullopt;
}

std::optional<std::string> CliUi::AskNewName(std::string_view) {
  if (nextName_ < newNames_.size()) return newNames_[nextName_++];
  return std::nullopt;
}

}  // namespace quarnel::cli
