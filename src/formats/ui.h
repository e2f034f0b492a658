// The user, as the front ends see it: where the messages of an operation's outcome go. Operations
// never ask and never tell; the front end puts its questions before the call, passes the answers
// in and shows what the outcome says. The desktop program
// shows the messages in boxes, the command-line tool on stderr, tests record them.
#pragma once

#include <string_view>
#include <vector>

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

// Shows `messages` one after the other, as an operation's report lists them.
inline void NotifyAll(Ui& ui, const std::vector<std::string_view>& messages) {
  for (std::string_view m : messages) ui.Notify(m);
}

}  // namespace quarnel
