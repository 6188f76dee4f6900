#pragma once
// Journals for tests, built record by record.

#include "undo/journal.h"

#include <chrono>
#include <string>

namespace qv::testing {

inline FileTime seconds(std::int64_t count)
{
    return FileTime(std::chrono::seconds(count));
}

class Journal {
public:
    Journal() : bytes_(journalMagic) { }
    Journal& begin(const std::string& id, const std::string& operation = "op", std::int64_t started = 0)
    {
        appendRecord(bytes_, id, RecordBody{RunBeginRecord{operation, seconds(started), 0, {}}});
        return *this;
    }
    Journal& undo(const std::string& id, const std::string& target)
    {
        begin(id, "undo");
        appendRecord(bytes_, id, RecordBody{UndoMarkerRecord{target}});
        return *this;
    }
    Journal& rename(const std::string& id, const std::string& from, const std::string& to)
    {
        appendRename(bytes_, id, from, to);
        return *this;
    }
    Journal& output(const std::string& id, const std::string& path)
    {
        appendRecord(bytes_, id, FileRecord{OutputRecord{path, 1, seconds(0), 0, false}});
        return *this;
    }
    Journal& end(const std::string& id)
    {
        appendRecord(bytes_, id, RecordBody{RunEndRecord{}});
        return *this;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

} // namespace qv::testing
