#include "cli/console_host.h"

#include "cli/console_text.h"

#include <ostream>

namespace qv::cli {

ConsoleHost::ConsoleHost(std::ostream& out, std::ostream& err, bool answerYes, std::optional<std::string> savePath)
    : out_(out), err_(err), answerYes_(answerYes), savePath_(std::move(savePath))
{
}

void ConsoleHost::showMessage(MessageKind kind, std::string_view text)
{
    if (kind == MessageKind::Error) {
        refused_ = true;
        err_ << toConsoleText(text) << '\n';
    } else {
        out_ << toConsoleText(text) << '\n';
    }
}

void ConsoleHost::refuseInConsoleText(std::string_view utf8Message)
{
    refused_ = true;
    err_ << utf8Message << '\n';
}

bool ConsoleHost::ask(std::string_view question)
{
    if (answerYes_) return true;
    err_ << toConsoleText(question) << '\n' << "(not confirmed: pass --yes to answer yes)\n";
    return false;
}

std::optional<std::string> ConsoleHost::chooseSavePath(std::string_view)
{
    if (!savePath_) return std::nullopt;
    const std::optional<std::string> path = toProgramName(*savePath_);
    if (!path) refuseInConsoleText(unconvertibleNameMessage(*savePath_));
    return path;
}

} // namespace qv::cli
