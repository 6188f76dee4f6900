#pragma once
// The lines a dry run prints: one per FILE, "SOURCE<TAB>RESULT<TAB>STATUS",
// paths converted to UTF-8. STATUS is "ok", "replace" (an existing file at
// RESULT would be replaced) or "skipped: <reason>" in the run's own words.

#include <iosfwd>
#include <string>
#include <string_view>

namespace qv::cli {

// Prints one plan line; `source` and `result` are code page 936.
void printPlanLine(std::ostream& out, std::string_view source, std::string_view result, std::string_view status);

// "ok" or "replace", as `replaces` tells.
std::string writtenStatus(bool replaces);

// "skipped: " followed by `reason` (code page 936) in UTF-8.
std::string skippedStatus(std::string_view reason);

} // namespace qv::cli
