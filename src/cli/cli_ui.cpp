#include "cli/cli_ui.h"

#include <iostream>

namespace quarnel::cli {

void CliUi::Notify(std::string_view message) {
  ++notices_;
  std::cerr << message << "\n";
}

}  // namespace quarnel::cli
