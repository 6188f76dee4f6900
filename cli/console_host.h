#pragma once
// The Host of the command line: error messages go to stderr, information to
// stdout (both converted to UTF-8), questions are answered by --yes, a save
// path comes from --output.

#include "cli/dispatcher.h"
#include "operation/host.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace qv::cli {

class ConsoleHost final : public Host {
public:
    ConsoleHost(std::ostream& out, std::ostream& err, bool answerYes = false,
                std::optional<std::string> savePath = std::nullopt);

    void showMessage(MessageKind kind, std::string_view text) override;
    // The details follow the message on the same stream, one item a line.
    void showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details) override;
    bool ask(std::string_view question) override;
    std::optional<std::string> chooseSavePath(std::string_view suggestedName) override;
    void processEvents() override { }
    // On a terminal: "已处理 N/M" on stderr, rewritten in place, at most
    // every ~100 ms and once at the end.
    void reportProgress(std::int64_t done, std::int64_t total) override;
    // Within a large file: its percentage after the file count, as above.
    void reportFileProgress(std::uint64_t done, std::uint64_t total) override;
    // Ctrl-C (see platform/interrupt.h).
    bool stopRequested() override;

    // Shows a refusal already in UTF-8 (one that names an argument with no
    // code page 936 form) on stderr; the command then exits with 1.
    void refuseInConsoleText(std::string_view utf8Message);

    // True once an error message was shown: the command then exits with 1.
    bool refused() const { return refused_; }
    // What a command that ran an operation through this host exits with: 1
    // after an error message, 130 (as a shell reports a run ended by
    // Ctrl-C) once a run was told to stop, else 0.
    int exitStatus() const { return refused_ ? exitRefused : stopped_ ? exitStopped : exitDone; }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool answerYes_;
    std::optional<std::string> savePath_;
    bool refused_ = false;
    bool stopped_ = false;
    bool showProgress_;
    std::int64_t lastShownAt_ = 0;                // steady-clock milliseconds
    std::int64_t filesDone_ = 0, filesTotal_ = 0; // as last reported
};

} // namespace qv::cli
