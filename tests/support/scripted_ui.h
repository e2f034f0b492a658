// A Ui for tests: records every message. It also holds the scripted answers to the questions
// a front end asks before a core call (Yes/No, save paths, new names), recorded as they are
// taken.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "formats/ui.h"

namespace quarnel::test {

class ScriptedUi : public Ui {
 public:
  void Notify(std::string_view message) override { messages.emplace_back(message); }
  bool AskYesNo(std::string_view question) {
    questions.emplace_back(question);
    if (yesNo.empty()) return false;
    bool a = yesNo.front();
    yesNo.pop_front();
    return a;
  }
  std::optional<std::string> AskSavePath(std::string_view title, std::string_view suggestedPath) {
    saveTitles.emplace_back(title);
    saveSuggestions.emplace_back(suggestedPath);
    if (savePaths.empty()) return std::nullopt;
    auto p = savePaths.front();
    savePaths.pop_front();
    return p;
  }
  std::optional<std::string> AskNewName(std::string_view hostName) {
    renameAsked.emplace_back(hostName);
    if (newNames.empty()) return std::nullopt;
    auto n = newNames.front();
    newNames.pop_front();
    return n;
  }
  void Status(std::string_view text) override { statuses.emplace_back(text); }

  // What the code said and asked.
  std::vector<std::string> messages, questions, saveTitles, saveSuggestions, renameAsked, statuses;
  // Scripted answers, taken from the front.
  std::deque<bool> yesNo;
  std::deque<std::optional<std::string>> savePaths;
  std::deque<std::optional<std::string>> newNames;
};

}  // namespace quarnel::test
