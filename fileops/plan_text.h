#pragma once
// What a planned date or attribute change does to a file, as one short text
// for a preview: the new times, or the attribute letters before and after.

#include "fileops/change_plan.h"

#include <cstdint>
#include <string>

namespace qv {

// "修改 yyyy-mm-dd hh:nn:ss" for the new last-write time, then "创建 ..."
// and "访问 ..." for the others that change, separated by "；", local
// times under `utcOffset`; code page 936.
std::string dateChangeText(const PlannedChange& change, std::int64_t utcOffset);

// The letters of the archive (A), system (S), read-only (R) and hidden (H)
// bits of `bits` in that order, "-" when none is set.
std::string attributeLetters(std::uint32_t bits);

// "<before> → <after>" of a planned attribute change, code page 936.
std::string attributeChangeText(const PlannedChange& change);

} // namespace qv
