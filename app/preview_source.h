#pragma once
// What an operation page offers the grid's preview column: how to plan its
// run with the parameters its controls hold now. The plan comes from the same
// core calls the run makes (fileops/rename_plan.h, planDateRun,
// planPropRun), so the column shows what the run would do.

#include "fileops/change_plan.h"
#include "fileops/rename_plan.h"

#include <functional>
#include <optional>
#include <string>

namespace qv {
struct Workspace;
class FileSystem;
} // namespace qv

namespace qv::app {

struct PreviewRequest {
    // The message the run would refuse with (code page 936); then nothing
    // else is set.
    std::optional<std::string> refusal;
    // Rename and change extension: the new names, planned row by row.
    NewNameOf newNames;
    bool chains = false;
    bool toUtf8 = false; // rename: names written in code page 936 get their UTF-8 form
    // Dates and attributes: the whole plan, and what a change does.
    std::function<ChangePlan()> plan;
    std::function<std::string(const PlannedChange&)> describe;
};

// Reads the page's controls. May throw qv::RunError (a list file that
// cannot be read), shown as the refusal.
using PreviewSource = std::function<PreviewRequest(const Workspace&, const FileSystem&)>;

} // namespace qv::app
