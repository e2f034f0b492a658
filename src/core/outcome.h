// What an operation on the image did: its status and the message text the user is to see (empty
// when there is nothing to say). The desktop program shows the message in a box, the
// command-line tool on stderr; the operation itself shows nothing.
#pragma once

#include <string>
#include <utility>

namespace quarnel {

template <class Status>
struct Outcome {
  Status status{};
  std::string message;

  Outcome() = default;
  Outcome(Status s, std::string m = {}) : status(s), message(std::move(m)) {}  // NOLINT
  bool operator==(Status s) const { return status == s; }
};

}  // namespace quarnel
