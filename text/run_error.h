#pragma once
// A run error: something that ends an operation's run part way (a number
// field that does not convert, a file that cannot be opened or created). The
// message is the text the user sees, in code page 936; what was written
// before the error stays.

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv {

class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string& message) : std::runtime_error(message) { }
};

// The message with its single "%s" replaced by `argument`.
inline std::string formatMessage(std::string_view pattern, std::string_view argument)
{
    std::string out(pattern);
    if (const auto at = out.find("%s"); at != std::string::npos) out.replace(at, 2, argument);
    return out;
}

} // namespace qv
