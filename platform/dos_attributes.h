#pragma once
// The extended attribute user.DOSATTRIB, in which Samba keeps a file's DOS
// attribute bits and its creation time. We read what Samba writes so that
// files shared with Windows clients keep their attributes, and write the
// form current Samba writes.
//
// Layout (NDR, little-endian, each field aligned to its size, 8-byte fields
// to 4):
//   a NUL-terminated text (Samba writes it empty; older versions "0x<hex>")
//   uint16 version, uint16 version again (the union's discriminant)
//   version 1:  attrib, ea_size, size(8), alloc_size(8), create_time, change_time
//   version 2:  flags, attrib, ea_size, size(8), alloc_size(8), create_time, ...
//   version 3:  valid_flags, attrib, ea_size, size(8), alloc_size(8), create_time, change_time
//   version 4:  valid_flags, attrib, itime, create_time
//   version 5:  valid_flags, attrib, create_time
//   0xFFFF:     attrib
// Times are NT times (100 ns units since 1601-01-01 UTC, 8 bytes). In versions
// 3 to 5, attrib counts only with valid flag 0x1 and create_time only with
// 0x10; in versions 1 and 2 a create_time of 0 means none.
// The oldest form is the text alone: "0x" and the attribute bits in hex.

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

struct DosAttributes {
    std::optional<std::uint32_t> attributes; // every bit as stored, unknown ones too
    std::optional<std::uint64_t> createTime; // NT time
};

constexpr const char* dosAttribName = "user.DOSATTRIB";
constexpr std::uint32_t dosValidAttrib = 0x1;
constexpr std::uint32_t dosValidCreateTime = 0x10;

// The attribute's value decoded; nothing when it is in no form we know (the
// caller then treats the file as having no DOS attributes). Any input is
// safe: every read is bounds-checked. Cost: O(length).
std::optional<DosAttributes> decodeDosAttributes(std::string_view blob);

// The version 5 form: empty text, valid_flags 0x1 (plus 0x10 with a creation
// time), attrib, create_time (0 when absent). 24 bytes.
std::string encodeDosAttributes(std::uint32_t attributes, std::optional<std::uint64_t> createTime);

// NT time and FileTime. ntTimeToFileTime gives nothing for 0 and for times
// FileTime cannot hold; fileTimeToNtTime rounds down to 100 ns.
std::optional<FileTime> ntTimeToFileTime(std::uint64_t ntTime);
std::uint64_t fileTimeToNtTime(FileTime time);

} // namespace qv
