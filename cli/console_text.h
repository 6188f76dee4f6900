#pragma once
// The command line speaks UTF-8; the program's text is code page 936. These
// convert at that edge and nowhere else.

#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace qv::cli {

inline std::string toProgramText(std::string_view utf8) { return CodePage::gbk().fromUtf8(utf8); }
inline std::string toConsoleText(std::string_view gbk) { return CodePage::gbk().toUtf8(gbk); }

} // namespace qv::cli
