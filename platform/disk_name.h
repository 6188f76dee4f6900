#pragma once
// Names as they are written on disk, and the program's text for them.
//
// A name on disk is a byte string. Most are UTF-8, the system's encoding;
// files from Chinese Windows (zip archives, old Samba shares, USB sticks)
// carry code page 936 bytes instead. The program's text is code page 936, so
// both kinds can be shown exactly:
//   - a name that is well-formed UTF-8 and converts to code page 936 and back
//     unchanged reads as that conversion (NameEncoding::Utf8);
//   - a name that is not well-formed UTF-8 but is well-formed code page 936
//     (every byte from 0x81 on starts a lead/trail pair that is a character
//     of the code page, and the bytes go to Unicode and back unchanged) reads
//     as its own bytes (NameEncoding::Gbk);
//   - any other name has no text and is left out, with its fault.
// The text and the encoding together give back the exact bytes on disk
// (diskFormOf), so a file list keeps one byte of encoding per entry instead
// of a second copy of the name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class NameEncoding : std::uint8_t { Utf8, Gbk };

// Why a name from disk has no text.
enum class NameFault : std::uint8_t {
    NoGbkForm,      // well-formed UTF-8 holding a character code page 936 lacks
    NeitherEncoding // neither well-formed UTF-8 nor well-formed code page 936
};

struct DiskNameText {
    std::string text; // code page 936
    NameEncoding encoding = NameEncoding::Utf8;
};

// The text of the disk name `bytes` by the rules above; `fault` (when
// given) says why there is none. Pure; cost: one pass over the bytes and,
// for a non-ASCII name, one code page conversion.
std::optional<DiskNameText> decodeDiskName(std::string_view bytes, NameFault* fault = nullptr);

// The bytes on disk of a name read as `text` with `encoding`: the UTF-8 form
// of the text, or the text's own bytes.
std::string diskFormOf(std::string_view text, NameEncoding encoding);

// The UTF-8 disk form of a code page 936 path or name the program makes or
// the user typed; nothing when the text does not convert to UTF-8 and back
// unchanged, or holds a NUL byte.
std::optional<std::string> utf8DiskForm(std::string_view text);

// The text of a disk path, each "/"-separated element decoded as
// decodeDiskName does; nothing, with the first element's fault, when an
// element has no text.
std::optional<std::string> textOfDiskPath(std::string_view diskPath, NameFault* fault = nullptr);

// A disk path as text for messages: each "/"-separated element decoded as
// decodeDiskName does; an element with no text is converted from UTF-8 with
// "?" for what does not convert.
std::string shownPath(std::string_view diskPath);

// The text of the last element of a disk path (shownPath of it).
std::string nameTextOf(std::string_view diskPath);

// The disk path of the file named `newName` (code page 936) in the folder of
// `diskPath`: the folder as written on disk, the new name in UTF-8, as every
// name the program makes is written.
std::string diskPathBeside(std::string_view diskPath, std::string_view newName);

// "utf-8" or "gbk".
const char* encodingName(NameEncoding encoding);

} // namespace qv
