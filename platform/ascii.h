#pragma once
// ASCII text reads the same in code page 936, UTF-8 and (widened) UTF-16, so
// it can skip every conversion between them.

#include <string_view>

namespace qv {

inline bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

} // namespace qv
