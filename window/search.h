#pragma once
// The file search: fills the file list from the disk.
//
// Entries come in this order: for each type mask in the order typed, for
// each folder in the order typed, that folder's matches depth first (a
// folder's own matches before those of its subfolders). Within a folder,
// files and subfolders come in the order NTFS lists them: by name, compared
// as upper-case UTF-16 unit by unit (see ntfsSortKey), whatever order the
// file system returns them in. Nothing is
// de-duplicated: a file that matches two masks, or lies under two listed
// folders, is listed once per match.

#include "filelist/entry_time.h"
#include "operation/operation.h"

#include <string>
#include <vector>

namespace qv {

class FileSystem;
class Host;
struct Workspace;

enum class DateKind { LastWrite, Creation, LastAccess };

// The search criteria as the search controls hold them. Texts are code page
// 936. The three switches (sizeFilter, dateFilter, subfolders) are read as
// the search goes, per entry or per folder, so a front end that changes them
// while the search processes events affects the rest of the run.
struct SearchCriteria {
    std::string folders;         // ";"-separated
    std::string types = "*.txt"; // ";"-separated masks
    bool sizeFilter = false;
    std::string minSize = "0"; // bytes, inclusive
    std::string maxSize = "50000";
    bool dateFilter = false;
    DateKind dateKind = DateKind::LastWrite;
    CalendarDate minDate; // whole local days, inclusive
    CalendarDate maxDate;
    bool subfolders = true;
};

// What a search leaves untold in the list it fills.
struct SearchOutcome {
    // The names left out for having no code page 936 form, each as
    // "folder/name" ("?" for the characters the code page lacks) with the
    // reason, in the order met.
    std::vector<SkippedFile> skipped;
    // The typed folders that do not exist or are no folders, as typed, each
    // once.
    std::vector<std::string> missingFolders;
};

// Runs a search with `criteria`, replacing the file list.
//
// - Empty (blank) types: the error "文件类型为空,请设置好后再试！" and
//   nothing changes.
// - With the size filter on, a bound that is not a number throws RunError
//   (see parseSizeBound) before anything changes. Bounds are not read while
//   the filter is off.
// - Clears the stop flag; checks it before each directory entry and before
//   each folder, and ends early when it is set (the entries found stay).
// - Calls host.processEvents() once per directory entry in both passes, and
//   raises stSrcCount to the list's size after each folder, so the counter
//   grows during the run; sets it once more at the end.
// - Names on disk are read as UTF-8 or, where they are not UTF-8, as code
//   page 936 bytes (platform/disk_name.h); each entry keeps how its name and
//   folder are written, so operations reach exactly that file. The folders
//   typed are text, looked for under their UTF-8 form. Names with no exact
//   text can be neither listed nor entered. Those met in the searched
//   folders (files and folders, whatever the mask; each folder counted once)
//   are told after the search in one information message, a line per kind:
//   "有 N 个文件或目录的名称无法以GBK编码表示，已跳过。" (UTF-8 with a character
//   GBK lacks) and "有 N 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。",
//   with the skipped names and why as its details, and returned.
// - A typed folder that does not exist (looked for under its UTF-8 form) is
//   searched as an empty one and returned among the missing folders;
//   nothing is shown for it.
// Marks are not touched. Cost: one listing of each folder per mask; the
// details (a stat and an extended-attribute read) only of the files and
// folders whose names match the mask and, with subfolders, of every folder.
// Symbolic links, FIFOs and devices are never listed or entered, so their
// details are not read.
SearchOutcome cbSearchClick(Workspace& ws, Host& host, const FileSystem& fs, const SearchCriteria& criteria);

} // namespace qv
