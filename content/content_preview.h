#pragma once
// The preview of a content run for one file: the first lines of the output
// the run would write for it, made by the run's own transform over the same
// reader the run uses, into memory. Nothing is written.
//
// Cost: a streamed transform stops once the lines shown are made (after at
// most one more block of the file); a whole-file transform reads its file
// whole, as the run does.

#include "content/content_job.h"
#include "filelist/file_list.h"
#include "platform/file_system.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

struct ContentPreview {
    // The parameters would be refused (or a field does not convert): the
    // message the run would show. Nothing else is set then.
    std::optional<Refusal> refusal;
    std::string outputPath;         // as written on disk (shownPath gives its text)
    std::string skipReason;         // the run would leave the file alone for this (code page 936)
    std::vector<std::string> lines; // the first lines of the output, without their breaks
    bool complete = false;          // `lines` is the whole output
};

// Previews `job` for row `row` of `files` (a marked row of the run), with
// at most `maxLines` lines. A file that cannot be read gives its run error
// as the refusal text.
ContentPreview previewContentJob(const ContentJob& job, const FileList& files, std::size_t row, const FileSystem& fs,
                                 std::size_t maxLines);

// Previews the combine run: its output (named after the last marked row) as
// the marked files, in display order, give it.
ContentPreview previewCombine(const FileList& files, const FileSystem& fs, std::size_t maxLines);

// Key merge and line sync: the target's new lines made from the source's
// and the target's lines.
using TwoFileMerge =
    std::function<text::LineList(const text::LineList& source, const text::LineList& target, Host& host)>;

// Previews a run on the first two marked files (source, then target): the
// target's output file as `merge` makes it. A run error of the merge (a
// keyword line beyond the target's end) is the refusal text. Requires two
// marked rows (see pickTwoFiles).
ContentPreview previewTwoFiles(const FileList& files, const FileSystem& fs, std::size_t maxLines,
                               const TwoFileMerge& merge);

// The first `maxLines` lines of the file at `path` as the content job reads
// them (the source side of a preview). Empty when it cannot be read.
std::vector<std::string> previewSourceLines(const FileSystem& fs, std::string_view path, std::size_t maxLines);

} // namespace qv
