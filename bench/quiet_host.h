#pragma once
// A host for benchmarks: shows nothing, reports nothing and answers every
// question the same way, so that only the operation's own work is timed.

#include "operation/host.h"

namespace qv {

class QuietHost final : public Host {
public:
    explicit QuietHost(bool answer = true) : answer_(answer) { }
    void showMessage(MessageKind, std::string_view) override { }
    bool ask(std::string_view) override { return answer_; }
    std::optional<std::string> chooseSavePath(std::string_view) override { return std::nullopt; }
    void processEvents() override { }
    void reportProgress(std::int64_t, std::int64_t) override { }

private:
    bool answer_;
};

} // namespace qv
