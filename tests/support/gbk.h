#pragma once
// Test sources are UTF-8; the program's text is code page 936. gbk("中文")
// gives the GBK bytes of a UTF-8 literal, utf8() the way back for messages.

#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace qv::testing {

inline std::string gbk(std::string_view utf8)
{
    return programText(utf8);
}
inline std::string utf8(std::string_view gbkBytes)
{
    return utf8Text(gbkBytes);
}

} // namespace qv::testing
