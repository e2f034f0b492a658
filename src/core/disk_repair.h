// Repair after the whole-disk check: each finding gets the remedy that loses nothing, and what
// was done is said finding by finding. The repair is planned on a copy of the image; the caller
// takes the repaired bytes whole or not at all (and saves them atomically like every change).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/disk_check.h"
#include "core/disk_image.h"

namespace quarnel {

struct RepairOptions {
  bool freeLost = false;  // lost chains are freed instead of kept as FILE0000.CHK, ...
  LocalDateTime now;      // the date of the FILEnnnn.CHK entries
};

// A finding and what repair did about it (`done` false: left as it is, `remedy` says why).
struct RepairAction {
  DiskFinding finding;
  std::string remedy;
  bool done = false;
};

struct RepairPlan {
  std::vector<RepairAction> actions;  // in the order they were taken
  std::vector<DiskFinding> left;      // what a check of the repaired image still finds
  DiskImage repaired;                 // the image with every remedy applied
  bool changed = false;               // the repaired bytes differ from the image's
  int fatCopied = -1;  // the FAT copy (0 the first) copied over the others when they differed
};

// Plans the repair of `image` (which stays as it is). Remedies are taken group by group, each on
// a fresh check of the image as the groups before left it: the FAT copies and the media byte;
// impossible first clusters, sizes of directories and directories leading back up; broken and
// looping chains; cross-links; sizes against chains; "." and ".."; names; lost chains.
RepairPlan PlanRepair(const DiskImage& image, const RepairOptions& options = {});

}  // namespace quarnel
