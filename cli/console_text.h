#pragma once
// The command line speaks UTF-8; the program's text is code page 936. Text
// crosses that edge through programText and utf8Text (platform/code_page.h);
// names given on the command line through toProgramName.

#include "platform/code_page.h"

#include <optional>
#include <string>
#include <string_view>

namespace qv::cli {

// A file or folder name given on the command line, in code page 936; nothing
// when its code page 936 form would name another file (a character GBK
// lacks becomes "?", an invisible one is dropped, bad UTF-8 is replaced).
inline std::optional<std::string> toProgramName(std::string_view utf8)
{
    return CodePage::gbk().fromUtf8Exactly(utf8);
}

// `text` safe to print: ill-formed UTF-8 bytes, control characters and
// invisible (default-ignorable) characters are shown as \xHH or \u{HHHH}, so
// a refused name can be told apart from the name it resembles.
std::string printableArgument(std::string_view text);

// "文件名无法准确转换为 GBK 编码，已跳过：" followed by the printable name.
std::string unconvertibleNameMessage(std::string_view utf8Name);

} // namespace qv::cli
