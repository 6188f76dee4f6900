#include "cli/console_host.h"

#include "cli/console_text.h"

#include "platform/interrupt.h"

#include <algorithm>
#include <chrono>
#include <ostream>

namespace qv::cli {

ConsoleHost::ConsoleHost(std::ostream& out, std::ostream& err, bool answerYes, std::optional<std::string> savePath)
    : out_(out), err_(err), answerYes_(answerYes), savePath_(std::move(savePath)), showProgress_(stderrIsTerminal())
{ }

namespace {

std::int64_t nowInMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void ConsoleHost::reportProgress(std::int64_t done, std::int64_t total)
{
    filesDone_ = done;
    filesTotal_ = total;
    if (!showProgress_) return;
    const std::int64_t now = nowInMilliseconds();
    const bool last = total > 0 && done >= total;
    if (!last && now - lastShownAt_ < 100) return;
    lastShownAt_ = now;
    err_ << "\r已处理 " << done;
    if (total > 0) err_ << '/' << total;
    // Blanks over what a file's percentage left on the line.
    err_ << "       " << (last ? "\n" : "") << std::flush;
}

void ConsoleHost::reportFileProgress(std::uint64_t done, std::uint64_t total)
{
    if (!showProgress_ || total == 0) return;
    const std::int64_t now = nowInMilliseconds();
    if (now - lastShownAt_ < 100) return;
    lastShownAt_ = now;
    err_ << "\r已处理 " << filesDone_;
    if (filesTotal_ > 0) err_ << '/' << filesTotal_;
    err_ << " (" << std::min<std::uint64_t>(done * 100 / total, 100) << "%)" << std::flush;
}

bool ConsoleHost::stopRequested()
{
    if (interruptRequested()) stopped_ = true;
    return stopped_;
}

namespace {

// A message's lines as a terminal wants them: LF, not CR LF.
std::string consoleLines(std::string_view text)
{
    std::string out = utf8Text(text);
    std::erase(out, '\r');
    return out;
}

} // namespace

void ConsoleHost::showMessage(MessageKind kind, std::string_view text)
{
    if (kind == MessageKind::Error) refused_ = true;
    (kind == MessageKind::Error ? err_ : out_) << consoleLines(text) << '\n';
}

void ConsoleHost::showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details)
{
    showMessage(kind, text);
    (kind == MessageKind::Error ? err_ : out_) << consoleLines(details) << '\n';
}

void ConsoleHost::refuseInConsoleText(std::string_view utf8Message)
{
    refused_ = true;
    err_ << utf8Message << '\n';
}

bool ConsoleHost::ask(std::string_view question)
{
    if (answerYes_) return true;
    err_ << utf8Text(question) << '\n' << "(not confirmed: pass --yes to answer yes)\n";
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
