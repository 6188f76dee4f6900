#pragma once
// A FileSystem wrapper for the folder-step tests: passes every call on to an
// inner file system, records the paths of setTimes and setAttributes calls,
// and refuses those calls (AccessDenied) for chosen paths.

#include "platform/file_system.h"

#include <set>
#include <string>
#include <vector>

namespace qv::testing {

class RefusingFileSystem : public FileSystem {
public:
    explicit RefusingFileSystem(FileSystem& inner) : inner_(inner) { }

    std::set<std::string> refused;  // code page 936 paths
    std::vector<std::string> calls; // setTimes and setAttributes paths, in order

    std::unique_ptr<FolderListing> listFolder(std::string_view folder) const override
    {
        return inner_.listFolder(folder);
    }
    std::optional<FileEntry> stat(std::string_view path) const override { return inner_.stat(path); }
    bool exists(std::string_view path) const override { return inner_.exists(path); }
    FsStatus remove(std::string_view path) override { return inner_.remove(path); }
    FsStatus renameNoReplace(std::string_view from, std::string_view to) override
    {
        return inner_.renameNoReplace(from, to);
    }
    FsStatus setTimes(std::string_view path, const TimeChange& change) override
    {
        calls.emplace_back(path);
        return refused.count(std::string(path)) ? FsStatus::AccessDenied : inner_.setTimes(path, change);
    }
    FsStatus setAttributes(std::string_view path, std::uint32_t attributes) override
    {
        calls.emplace_back(path);
        return refused.count(std::string(path)) ? FsStatus::AccessDenied : inner_.setAttributes(path, attributes);
    }
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override
    {
        return inner_.openForReading(path);
    }
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override
    {
        return inner_.createAtomically(path);
    }

private:
    FileSystem& inner_;
};

} // namespace qv::testing
