#pragma once
// What an operation needs from its front end (the window, the command line or
// a test): messages, questions, a save path, event processing, progress and
// the user's stop request. Texts are code page 936 byte strings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class MessageKind { Error, Information };

class Host {
public:
    virtual ~Host() = default;

    // A modal message with one OK button, titled with the window caption.
    virtual void showMessage(MessageKind kind, std::string_view text) = 0;
    // The same with a details text behind it (the window's details button,
    // the command line's stderr). By default the details are not shown.
    virtual void showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details)
    {
        (void)details;
        showMessage(kind, text);
    }
    // An error message with a title of its own instead of the window caption
    // (a conversion server that cannot be started). Front ends that show no
    // titles keep the default, an ordinary error message.
    virtual void showTitledError(std::string_view title, std::string_view text)
    {
        (void)title;
        showMessage(MessageKind::Error, text);
    }
    // A Yes/No question; true for Yes. Yes is the default button.
    virtual bool ask(std::string_view question) = 0;
    // The same with No as the default button, so that Enter does not answer
    // Yes to a change that cannot be undone. Front ends without a default
    // button ask it as ask() does.
    virtual bool askDefaultNo(std::string_view question) { return ask(question); }
    // A save path chosen by the user, or nothing when cancelled.
    virtual std::optional<std::string> chooseSavePath(std::string_view suggestedName) = 0;
    // Lets the front end handle pending events (repaint, stop button, ...).
    virtual void processEvents() = 0;
    // Work done so far out of `total` (0 when the total is unknown).
    virtual void reportProgress(std::int64_t done, std::int64_t total) = 0;
    // Bytes done of the file being worked on, out of `total` (0 when its
    // size is unknown); reported as a large file is worked through.
    virtual void reportFileProgress(std::uint64_t done, std::uint64_t total)
    {
        (void)done;
        (void)total;
    }
    // True once the user asked the running operation to stop (the window's
    // stop button, Ctrl-C on the command line). Runs ask between files.
    virtual bool stopRequested() { return false; }
};

} // namespace qv
