// The window's questions answered from a script: records every title and message, answers
// from queues (an empty queue answers Cancel / No).
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_ui.h"
#include "support/scripted_ui.h"

namespace quarnel::test {

class ScriptedAppUi : public AppUi {
 public:
  void Notify(std::string_view m) override { core.Notify(m); }
  bool AskYesNo(std::string_view q) override { return core.AskYesNo(q); }
  bool AskYesNoTitled(std::string_view c, std::string_view q) override {
    yesNoCaptions.emplace_back(c);
    return core.AskYesNo(q);
  }
  SaveChoice AskSaveChanges(std::string_view name) override {
    saveQuestions.emplace_back(name);
    if (saveChoices.empty()) return SaveChoice::Cancel;
    const SaveChoice c = saveChoices.front();
    saveChoices.pop_front();
    return c;
  }
  DiskChangedChoice AskDiskChanged(std::string_view name) override {
    diskChangedAsked.emplace_back(name);
    return Take(diskChangedChoices).value_or(DiskChangedChoice::Cancel);
  }
  ReplaceAnswer AskReplace(std::string_view name, bool several) override {
    replaceAsked.push_back(std::string(name) + (several ? " (several)" : ""));
    return Take(replaceAnswers).value_or(ReplaceAnswer{});
  }
  std::optional<std::string> AskSavePath(std::string_view t, std::string_view s) override {
    return core.AskSavePath(t, s);
  }
  std::optional<std::string> AskNewName(std::string_view h) override {
    if (onAskNewName) onAskNewName();  // what happens while the real dialog is open
    return core.AskNewName(h);
  }
  void Status(std::string_view t) override {
    core.Status(t);
    if (statusSink) statusSink(t);
  }

  std::optional<std::string> AskOpenPath(std::string_view title, std::string_view) override {
    titles.emplace_back(title);
    return Take(openPaths);
  }
  std::vector<std::string> AskOpenPaths(std::string_view title, std::string_view) override {
    titles.emplace_back(title);
    if (openPathLists.empty()) return {};
    std::vector<std::string> v = std::move(openPathLists.front());
    openPathLists.pop_front();
    return v;
  }
  // A save dialog of the window's own, recorded and answered as the core's save dialogs are.
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggested,
                                         SaveFilter filter) override {
    saveFilters.push_back(filter);
    return core.AskSavePath(title, suggested);
  }
  std::optional<std::string> AskFolder(std::string_view title, std::string_view) override {
    titles.emplace_back(title);
    return Take(folders);
  }
  std::optional<QColor> AskColor(std::string_view title, const QColor&) override {
    titles.emplace_back(title);
    return Take(colors);
  }
  std::optional<QFont> AskFont(std::string_view title, const QFont& initial,
                               QColor* color) override {
    titles.emplace_back(title);
    fontFamilies.push_back(initial.family());
    auto f = Take(fonts);
    if (f && color && !colors.empty()) *color = *Take(colors);
    return f;
  }
  std::optional<QString> AskText(std::string_view title, const QString&, const QString&) override {
    titles.emplace_back(title);
    return Take(texts);
  }

  ScriptedUi core;                  // messages, questions, save paths, new names, statuses
  std::vector<std::string> titles;  // open, folder, colour, font and text dialogs
  std::vector<std::string> yesNoCaptions;
  std::vector<QString> fontFamilies;    // the fonts the font dialogs opened on  // of the questions
                                        // asked in a captioned box
  std::vector<SaveFilter> saveFilters;  // of the window's own save dialogs
  std::deque<std::optional<std::string>> openPaths, folders;
  std::deque<std::vector<std::string>> openPathLists;  // answers of the several-files dialog
  std::deque<std::optional<QColor>> colors;
  std::deque<std::optional<QFont>> fonts;
  std::deque<std::optional<QString>> texts;
  std::function<void(std::string_view)> statusSink;
  std::vector<std::string> saveQuestions;  // names asked "Save changes to NAME?" about
  std::deque<SaveChoice> saveChoices;
  std::function<void()> onAskNewName;
  // Files asked about as changed on disk, and names asked "Replace NAME?" (" (several)" added
  // when the question offered "for all").
  std::vector<std::string> diskChangedAsked, replaceAsked;
  std::deque<std::optional<DiskChangedChoice>> diskChangedChoices;
  std::deque<std::optional<ReplaceAnswer>> replaceAnswers;

 private:
  template <class T>
  static std::optional<T> Take(std::deque<std::optional<T>>& q) {
    // The answer is moved out of an engaged entry only: copying the optional as a whole makes
    // GCC 12 warn that the string inside may be used uninitialized (-Wmaybe-uninitialized).
    if (q.empty()) return std::nullopt;
    std::optional<T> v;
    if (q.front()) v.emplace(std::move(*q.front()));
    q.pop_front();
    return v;
  }
};

}  // namespace quarnel::test
