#pragma once
// A journal store in memory for the tests of the journal's writer, history
// and trimming: the journal is `bytes`; `failWith` makes every append and
// rewrite fail with that code, as a full disk would.

#include "platform/journal_store.h"

#include <string>

namespace qv::testing {

class MemoryJournalStore final : public JournalStore {
public:
    JournalStatus read(std::string& out) const override
    {
        out = bytes;
        return {};
    }
    JournalStatus append(std::string_view more, std::string_view headerWhenEmpty) override
    {
        ++appends;
        if (failWith != JournalStatus::Code::Ok) return {failWith, 28};
        if (bytes.empty()) bytes = headerWhenEmpty;
        bytes += more;
        return {};
    }
    JournalStatus rewrite(const std::function<std::optional<std::string>(std::string_view)>& edit) override
    {
        if (failWith != JournalStatus::Code::Ok) return {failWith, 28};
        if (auto next = edit(bytes)) {
            bytes = std::move(*next);
            ++rewrites;
        }
        return {};
    }

    std::string bytes;
    JournalStatus::Code failWith = JournalStatus::Code::Ok;
    int appends = 0;
    int rewrites = 0;
};

} // namespace qv::testing
