// "Check Disk": the whole-disk check of the open image shown as a report, and repair on a yes.
#include <string>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "core/change_record.h"
#include "core/clock.h"
#include "core/disk_check.h"
#include "core/disk_repair.h"
#include "core/messages.h"

namespace quarnel {

namespace {

std::string FindingLine(const DiskFinding& f) {
  std::string line(FindingKindName(f.kind));
  if (!f.path.empty()) line += "  " + f.path;
  line += "\n  " + f.message + "\n";
  if (!f.clusters.empty()) {
    line += app_text::kCheckClusters;
    for (std::size_t i = 0; i < f.clusters.size(); ++i)
      line += (i == 0 ? "" : ", ") + std::to_string(f.clusters[i]);
    line += "\n";
  }
  return line;
}

// The findings of `check`, one after another, and how many there are.
std::string CheckReport(const DiskCheck& check) {
  std::string report;
  for (const auto& f : check.findings) report += FindingLine(f);
  report += check.Clean() ? std::string(app_text::kCheckClean)
            : check.findings.size() == 1
                ? std::string(app_text::kCheckFoundOne)
                : std::to_string(check.findings.size()) + app_text::kCheckFound;
  return report + "\n";
}

}  // namespace

void MainWindow::CheckOpenDisk() {
  if (RefusedAtPartitions()) return;
  Workspace* ws = ReadableDisk();
  if (!ws) {
    ui_->Notify(msg::kNoImageSelected);
    return;
  }
  const DiskCheck check = CheckDisk(ws->image);
  const auto show = [this](const std::string& report) { document_->ShowReport(report); };
  show(CheckReport(check));
  if (check.Clean()) return;
  const RepairPlan plan = PlanRepair(ws->image, {false, SystemClock().Now()});
  if (!plan.changed) return;
  std::string question = app_text::kRepairQuestion;
  for (const auto& a : plan.actions) {
    question +=
        "\n- " +
        (a.finding.path.empty() ? std::string(FindingKindName(a.finding.kind)) : a.finding.path) +
        ": " + a.remedy;
  }
  if (!ui_->AskYesNo(question)) return;
  document_->Change(QString::fromLatin1(app_text::kUndoRepair), [&] {
    if (TakeChangedBytes(ws->image, plan.repaired)) ws->MarkChanged();
  });
  ws->Refresh();
  AfterImageChange();
  // The report shows the disk as it is now; of the findings reported first, those gone are
  // mended.
  const DiskCheck now = CheckDisk(ws->image);
  const std::size_t mended =
      check.findings.size() > now.findings.size() ? check.findings.size() - now.findings.size() : 0;
  const QString status =
      QString::fromLatin1(app_text::kRepairedStatus)
          .arg(mended == 1 ? QString::fromLatin1(app_text::kOneFinding)
                           : QString::fromLatin1(app_text::kFindings).arg(mended));
  show(FromQ(status) + "\n\n" + CheckReport(now));
  Confirm(status);
}

void MainWindow::CheckSelectedDisk() {
  const QString selected = browser_->SelectedPath();
  if (selected.isEmpty()) return;
  if (FromQ(selected) != OpenPath()) OpenHostFile(selected);
  if (FromQ(selected) == OpenPath()) CheckOpenDisk();
}

}  // namespace quarnel
