#pragma once
// A FileSystem for a dry run: everything is read from the real one, nothing
// is changed. Outputs are written into nowhere and only their paths are
// kept, so a run made over it does all its work (reads every file, runs
// every transform, finds every file it would leave alone) and then tells
// which files it would have put in place.

#include "platform/file_system.h"

#include <string>
#include <vector>

namespace qv {

class DryRunFileSystem final : public FileSystem {
public:
    explicit DryRunFileSystem(const FileSystem& real) : real_(real) { }

    // One output the run would have put in place.
    struct Output {
        std::string path;      // code page 936
        bool replaces = false; // a file exists there now
    };
    const std::vector<Output>& outputs() const { return outputs_; }
    // The output at `path`, or nothing when the run would not have written it.
    const Output* output(std::string_view path) const;

    std::unique_ptr<FolderListing> listFolder(std::string_view folder) const override
    {
        return real_.listFolder(folder);
    }
    std::optional<FileEntry> stat(std::string_view path) const override { return real_.stat(path); }
    bool exists(std::string_view path) const override { return real_.exists(path); }
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override
    {
        return real_.openForReading(path);
    }
    // Changes are not made; they report NotSupported, so that a run relying
    // on them cannot take them for done.
    FsStatus remove(std::string_view) override { return FsStatus::NotSupported; }
    FsStatus renameNoReplace(std::string_view, std::string_view) override { return FsStatus::NotSupported; }
    FsStatus setTimes(std::string_view, const TimeChange&) override { return FsStatus::NotSupported; }
    FsStatus setAttributes(std::string_view, std::uint32_t) override { return FsStatus::NotSupported; }
    // A writer that drops its bytes and records its path at commit.
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override;

private:
    const FileSystem& real_;
    std::vector<Output> outputs_;
};

} // namespace qv
