// The user, as the core sees it: where an operation's messages go. Operations never ask; the
// front end puts its questions before the call and passes the answers in. The desktop program
// shows the messages in boxes, the command-line tool on stderr, tests record them.
#pragma once

#include <string_view>

namespace quarnel {

class Ui {
 public:
  virtual ~Ui() = default;

  // A modal notice with an OK button (errors and warnings alike).
  virtual void Notify(std::string_view message) = 0;

  // A line for the status bar; front ends without one may ignore it.
  virtual void Status(std::string_view /*text*/) {}
};

// A user who is not there: messages go nowhere. For batch work (benchmarks, fuzzing) that only
// looks at outcomes.
class SilentUi : public Ui {
 public:
  void Notify(std::string_view) override {}
};

}  // namespace quarnel
