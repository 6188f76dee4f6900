#pragma once
// Between the core's code page 936 byte strings and Qt's UTF-16 strings.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace qv::app {

// Bytes the code page does not define show as U+FFFD.
QString fromGbk(std::string_view bytes);

// Characters code page 936 lacks become "?", as the home platform does.
std::string toGbk(const QString& text);

// The code page 936 form of `text` only when it converts back to exactly
// `text`; a name that would change on the way must never reach the disk.
std::optional<std::string> toGbkExactly(const QString& text);

} // namespace qv::app
