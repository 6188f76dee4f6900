#pragma once
// The source files of a run, taken before its first file is read, so that no
// output of the run can replace a file the run reads (or has read) as a
// source: with x.txt and x.qv.txt both marked, x.txt's output would be the
// user's x.qv.txt.

#include "filelist/file_list.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace qv {

// `path` in the form two paths naming the same file by the same folders
// share: repeated "/" and "." steps removed, ".." steps taken back over the
// folder before them. Symbolic links are not followed.
std::string comparablePath(std::string_view path);

class RunSources {
public:
    // The full paths of the marked entries of `files`. O(rows).
    explicit RunSources(const FileList& files);

    // True when `path` names one of the sources.
    bool holds(std::string_view path) const;

private:
    std::unordered_set<std::string> paths_;
};

// "输出文件是本次处理的源文件" (code page 936): why an output that would
// replace a source of its own run is not written.
std::string outputIsSourceReason();

} // namespace qv
