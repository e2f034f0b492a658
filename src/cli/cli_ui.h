// The Ui of the command line: messages go to stderr. Commands take their answers from flags
// before they call the core.
#pragma once

#include "formats/ui.h"

namespace quarnel::cli {

class CliUi : public Ui {
 public:
  void Notify(std::string_view message) override;

  // How many messages were shown; commands use it to decide their exit code.
  int Notices() const { return notices_; }

 private:
  int notices_ = 0;
};

}  // namespace quarnel::cli
