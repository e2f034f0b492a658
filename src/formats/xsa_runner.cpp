#include "formats/xsa_runner.h"

#include <errno.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <system_error>
#include <thread>
#include <vector>

#include "core/host_file.h"
#include "formats/input_limits.h"
#include "formats/messages.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

struct Direction {
  std::string_view tool;
  std::string_view missing;
  std::string_view title;
  std::string_view targetExtension;
  std::string_view input;   // the copy of the source the tool reads
  std::string_view output;  // what the tool writes
  std::uintmax_t inputLimit;   // the largest source copied for the tool
  std::uintmax_t outputLimit;  // the largest output read back when it cannot be renamed
};

constexpr Direction kXsaToDsk{"xsd", formats::msg::kXsdNotFound, formats::msg::kConvertXsaTitle,
                              ".dsk", formats::msg::kTempXsa, formats::msg::kTempDsk,
                              kMaxXsaFile, kMaxXsaInput};
constexpr Direction kDskToXsa{"xsc", formats::msg::kXscNotFound, formats::msg::kConvertDskTitle,
                              ".xsa", formats::msg::kTempDsk, formats::msg::kTempXsa,
                              kMaxXsaInput, kMaxXsaFile};

// Runs `tool input output` with `folder` as its current folder and waits for it to end.
// True when it started, ended within the time allowed and exited with 0.
bool RunTool(const fs::path& tool, const fs::path& folder, std::string_view input,
             std::string_view output, std::chrono::milliseconds timeout) {
  // Everything the child needs is prepared before fork: it only changes folder and execs.
  std::string toolArg = tool.string();
  std::string folderArg = folder.string();
  std::string inArg(input);
  std::string outArg(output);
  std::vector<char*> argv = {toolArg.data(), inArg.data(), outArg.data(), nullptr};
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (chdir(folderArg.c_str()) == 0) execv(toolArg.c_str(), argv.data());
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Moves the tool's output over the target (replacing it only now, and a link standing there
// rather than the file it names), across file systems too.
bool MoveOutput(const fs::path& from, const fs::path& to, std::uintmax_t limit) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  auto bytes = ReadHostBytes(from, limit);
  if (!bytes || !WriteFileAtomically(to, *bytes, LinkPolicy::Replace)) return false;
  fs::remove(from, ec);
  return true;
}

// The folder for the temporary copies: the program's folder, as the tools expect, or, when the
// program is installed where the user cannot write, a private folder of our own under the
// system's temporary folder (removed again when the conversion ends).
class WorkFolder {
 public:
  explicit WorkFolder(const fs::path& programFolder) {
    if (access(programFolder.c_str(), W_OK) == 0) {
      path_ = programFolder;
      return;
    }
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "quarnel-xsa-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
      owned_ = true;
    }
  }
  ~WorkFolder() {
    std::error_code ec;
    if (owned_) fs::remove_all(path_, ec);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  bool owned_ = false;
};

ConvertResult RunConversion(const Direction& d, const std::string& source, const fs::path& folder,
                            Ui& ui, const ToolRunOptions& options) {
  std::error_code ec;
  const fs::path tool = fs::absolute(ToolPath(folder, d.tool), ec);
  if (ec || !fs::exists(tool, ec)) {
    ui.Notify(d.missing);
    return ConvertResult::Failed;
  }
  auto target = ui.AskSavePath(d.title, WithExtension(source, d.targetExtension));
  if (!target || target->empty()) return ConvertResult::Cancelled;

  WorkFolder work(folder);
  const fs::path input = work.path() / std::string(d.input);
  const fs::path output = work.path() / std::string(d.output);
  // A source that already is the input copy is the user's file: it is neither copied onto
  // itself nor removed afterwards.
  const bool sourceIsInput = !work.path().empty() && fs::equivalent(source, input, ec);
  auto removeInput = [&] {
    std::error_code ignored;
    if (!sourceIsInput) fs::remove(input, ignored);
  };
  auto fail = [&] {
    ui.Notify(formats::msg::kApplicationFailed);
    std::error_code ignored;
    removeInput();
    fs::remove(output, ignored);
    return ConvertResult::Failed;
  };
  if (work.path().empty()) {
    ui.Notify(formats::msg::kCouldNotCreateTemp);
    return fail();
  }
  // The copy goes through the host-file reader: a FIFO or a file larger than the format allows
  // is refused like any source that cannot be copied.
  if (!sourceIsInput) {
    auto bytes = ReadHostBytes(source, d.inputLimit);
    if (!bytes || !WriteFileAtomically(input, *bytes, LinkPolicy::Replace)) {
      ui.Notify(formats::msg::kCouldNotCreateTemp);
      return fail();
    }
  }
  // A leftover output of an earlier run must not pass for this run's.
  fs::remove(output, ec);
  if (!RunTool(tool, work.path(), d.input, d.output, options.timeout) || !fs::exists(output, ec)) {
    return fail();
  }
  // A target chosen under the input copy's name holds the result once it is moved there.
  const bool targetIsInput = fs::equivalent(*target, input, ec);
  if (!MoveOutput(output, *target, d.outputLimit)) {
    ui.Notify(formats::msg::kCannotWriteTarget);
    removeInput();
    fs::remove(output, ec);
    return ConvertResult::Failed;
  }
  if (!targetIsInput) removeInput();
  return ConvertResult::Written;
}

}  // namespace

fs::path ToolPath(const fs::path& programFolder, std::string_view tool) {
#ifdef _WIN32
  return programFolder / (std::string(tool) + ".exe");
#else
  return programFolder / std::string(tool);
#endif
}

ConvertResult XsaToDsk(const std::string& source, const fs::path& programFolder, Ui& ui,
                       const ToolRunOptions& options) {
  return RunConversion(kXsaToDsk, source, programFolder, ui, options);
}

ConvertResult DskToXsa(const std::string& source, const fs::path& programFolder, Ui& ui,
                       const ToolRunOptions& options) {
  return RunConversion(kDskToXsa, source, programFolder, ui, options);
}

}  // namespace quarnel
