#pragma once
// A Host for tests: records every message and question, answers questions
// and the save dialog as told, and runs an optional hook on each
// processEvents() call so a test can act "while the operation runs".

#include "operation/host.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv::testing {

class RecordingHost : public Host {
public:
    struct Message {
        MessageKind kind;
        std::string text;    // UTF-8, for readable expectations
        std::string details; // UTF-8; empty for a message without details
        std::string title;   // UTF-8; empty for the window caption
    };

    void showMessage(MessageKind kind, std::string_view text) override;
    void showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details) override;
    void showTitledError(std::string_view title, std::string_view text) override;
    bool stopRequested() override { return stop; }
    bool ask(std::string_view question) override;
    std::optional<std::string> chooseSavePath(std::string_view suggestedName) override;
    void processEvents() override;
    void reportProgress(std::int64_t done, std::int64_t total) override;

    // What the host answers.
    bool answer = true;
    std::optional<std::string> savePath; // code page 936; nothing = cancel
    std::function<void()> onProcessEvents;
    bool stop = false; // what stopRequested() answers

    // The texts of the messages shown (UTF-8), in order.
    std::vector<std::string> messageTexts() const;

    // What happened.
    std::vector<Message> messages;
    std::vector<std::string> questions; // UTF-8
    int saveDialogs = 0;
    long eventCalls = 0;
    std::int64_t lastProgress = -1;
};

} // namespace qv::testing
