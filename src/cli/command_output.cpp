#include "cli/command_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/exit_code.h"
#include "cli/messages.h"
#include "core/messages.h"
#include "core/same_file.h"

namespace quarnel::cli {

namespace {

// Passes everything on to `next` and keeps count of it (and a copy, when `keep`).
class Tap : public std::streambuf {
 public:
  Tap(std::streambuf* next, bool keep) : next_(next), keep_(keep) {}
  std::streamsize count() const { return count_; }
  const std::string& kept() const { return kept_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    count_ += n;
    if (keep_) kept_.append(s, static_cast<std::size_t>(n));
    return next_->sputn(s, n);
  }
  int sync() override { return next_->pubsync(); }

 private:
  std::streambuf* next_;
  bool keep_;
  std::streamsize count_ = 0;
  std::string kept_;
};

// Puts `tap` in front of `stream` for as long as it lives.
class TapInstalled {
 public:
  TapInstalled(std::ostream& stream, bool keep)
      : stream_(stream), tap_(stream.rdbuf(), keep), before_(stream.rdbuf(&tap_)) {}
  ~TapInstalled() { stream_.rdbuf(before_); }
  TapInstalled(const TapInstalled&) = delete;
  TapInstalled& operator=(const TapInstalled&) = delete;
  const Tap& tap() const { return tap_; }

 private:
  std::ostream& stream_;
  Tap tap_;
  std::streambuf* before_;
};

int RunCatching(const std::function<int()>& work) {
  try {
    return work();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return kExitFailure;
  }
}

}  // namespace

void PrintJsonError(std::string_view text) {
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  nlohmann::ordered_json j;
  j["error"] = std::string(text);
  std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

int RunCommand(const CLI::App& cmd, const std::function<int()>& work) {
  const CLI::Option* json = cmd.get_option_no_throw("--json");
  if (json == nullptr || json->count() == 0) return RunCatching(work);
  int code;
  std::string said;
  std::streamsize printed;
  {
    TapInstalled out(std::cout, false);
    TapInstalled err(std::cerr, true);
    code = RunCatching(work);
    printed = out.tap().count();
    said = err.tap().kept();
  }
  if (code != kExitSuccess && printed == 0) PrintJsonError(said);
  return code;
}

bool OutputIsInput(const std::filesystem::path& in, const std::filesystem::path& out) {
  if (!SameHostFile(in, out)) return false;
  std::cerr << msg::kOutputIsInput << out.string() << "\n";
  return true;
}

bool StdoutReached() {
  std::cout.flush();
  int error = 0;
  if (std::fflush(stdout) != 0) error = errno;
  if (error == 0 && std::cout && !std::ferror(stdout)) return true;
  std::cerr << kCannotWrite << "stdout";
  if (error != 0) std::cerr << ": " << std::strerror(error);
  std::cerr << "\n";
  return false;
}

}  // namespace quarnel::cli
