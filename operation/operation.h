#pragma once
// The one shape every operation run has: a parameters struct in, an
// OperationResult out, and the Host for messages, questions, progress and
// the user's stop request.
//
// A run first checks the selection and its parameters; the first check that
// fails is shown as an error and returned as a Refusal (nothing touched).
// Otherwise it works through the marked files, counting those it processed
// and collecting those it left alone with the reason, and ends with its
// closing message. Run errors (qv::RunError) end it part way; what was done
// before stays.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class Host;

// A parameter check that failed: the error message (code page 936) and the
// name of the control that gets the input focus ("" when none does).
struct Refusal {
    std::string message;
    std::string focus;
};

// A file a run left alone, and why (both code page 936).
struct SkippedFile {
    std::string path;
    std::string reason;
};

struct OperationResult {
    enum class Status {
        NotSelected, // the selection check failed (already shown)
        Refused,     // a parameter check failed (already shown)
        Done,        // every marked file was worked through
        Stopped,     // the user stopped the run between two files
    };
    Status status = Status::NotSelected;
    std::optional<Refusal> refusal; // set when Refused
    std::int64_t processed = 0;     // files (or records) processed and counted
    std::vector<SkippedFile> skipped;
    std::int64_t marked = 0; // marked files when the run began

    bool ran() const { return status == Status::Done || status == Status::Stopped; }
};

// Shows `refusal` as an error and returns it as the result.
OperationResult refuse(Host& host, Refusal refusal);

// The line a stopped run's closing message adds after its first line:
// "已停止处理，还有 N 个选中的文件未处理", N being the marked files the run
// neither processed nor left alone with a reason. "" when the run was not
// stopped.
std::string stopNotice(const OperationResult& result);

// `firstLine` followed by the stop notice on a line of its own, when there
// is one.
std::string withStopNotice(std::string_view firstLine, const OperationResult& result);

// The closing message of a run: `firstLine` exactly, then the stop notice
// when the run was stopped, then, when files were left alone, a line
// "N 个文件未处理" with each skipped path and its reason as the details.
// Information kind.
void showClosing(Host& host, std::string_view firstLine, const OperationResult& result);

// The details text of a closing message: "path：reason", one a line, CR LF
// between.
std::string skippedDetails(const std::vector<SkippedFile>& skipped);

// The number of marked rows, for progress totals. O(rows).
class FileList;
std::int64_t markedCount(const FileList& files);

} // namespace qv
