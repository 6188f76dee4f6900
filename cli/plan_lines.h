#pragma once
// The lines a dry run prints: one per FILE, in order,
// "SOURCE<TAB>RESULT<TAB>STATUS", UTF-8. STATUS is a word (ok, replace,
// unchanged, exists, duplicate, chain, invalid, recode) or
// "skipped: <reason>" in the words the run uses for a file it leaves alone.

#include "fileops/change_plan.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace qv::cli {

// Prints one plan line; `source` and `result` are disk paths, printed as
// their text (shownPath) in UTF-8, `status` is UTF-8. TAB and line breaks inside a name are printed as \t, \r and \n,
// so that every FILE stays one line of three fields.
void printPlanLine(std::ostream& out, std::string_view source, std::string_view result, std::string_view status);

// "ok" or "replace" (an existing file at RESULT would be replaced), as
// `replaces` tells.
std::string writtenStatus(bool replaces);

// "skipped: " followed by `reason` (code page 936) in UTF-8.
std::string skippedStatus(std::string_view reason);

// The STATUS of a planned file operation change.
std::string planStatusText(const PlannedChange& change);

// Every change of `plan`; RESULT is the new path when `withResult` (rename,
// change extension), otherwise empty (dates, attributes).
void printChangePlan(std::ostream& out, const ChangePlan& plan, bool withResult);

} // namespace qv::cli
