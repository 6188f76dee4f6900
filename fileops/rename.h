#pragma once
// Rename files: every marked entry gets a new base name inside its own
// folder; the extension stays.
//
// The new base name comes from the rename template in one of three modes:
//   - template mode: ${filename}, ${createdate}, ${modifydate}, ${lastdir}
//     and ${sn(start,width)} are replaced for each file, then the template
//     evaluator applies the template's call to the old base name;
//   - name-list mode, ${file(name)}: line k of the file supplies the new base
//     name, or a call, for grid row k + 1;
//   - replacement-list mode, ${file2(name)}: line k holds an old and a new
//     text, and the old text is replaced by the new one in the base name of
//     grid row k + 1.
//
// Safe by construction: a rename never replaces an existing file (the second
// of two files that would get the same name is left alone), and a computed
// name that is empty, "." or "..", or holds "/" is refused for that file and
// reported once at the end. Cost: one template evaluation and one rename per
// marked row; the list file is read once.

#include "fileops/rename_plan.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <optional>

#include <string>

namespace qv {

class Host;

struct RenameParams {
    // The rename template as typed (`edtNewFilename`), code page 936.
    std::string edtNewFilename;
    // The running program's folder, code page 936, without a final "/": the
    // second place a list file named by ${file(...)} is looked for when it
    // is not found relative to the current directory. Empty: nowhere else.
    std::string programFolder;
    // "允许名称互换与顺移": names held by files of the run that move away are
    // no conflict (fileops/rename_plan.h). Off: each file in display order,
    // only when its name is free at its turn.
    bool chains = false;
    // "文件名转为UTF-8编码" (`chkNameToUtf8`): every marked file whose name is
    // written in code page 936 on disk also gets its name written in UTF-8
    // when its text stays the same; an empty template (or ${filename} alone)
    // then keeps each name's text, and names already in UTF-8 stay as they
    // are. Every rename writes the new name in UTF-8 in any case.
    bool chkNameToUtf8 = false;
};

// True when the rename reads the entries' dates: the template holds
// ${CreateDate} or ${ModifyDate} (any letter case). Otherwise it reads no
// more of an entry than its name and folder.
bool renameReadsDates(const RenameParams& params);

// The first of the three template checks below that fails, or nothing.
std::optional<Refusal> checkRenameTemplate(const RenameParams& params);

// The new names of the rows of `files` under a template that passed the
// checks: reads the list file of a list mode through `fs` now, and evaluates
// one row's template on each call. The result refers to `files`. Throws
// qv::RunError as btnFilenameClick does, here or for a row.
NewNameOf renameNames(const RenameParams& params, const FileList& files, const FileSystem& fs);

// Runs the rename over the marked entries in display order. Refuses, with
// nothing changed, when the selection check fails or the template is empty
// or "${filename}" ("请输入新文件名格式！"; not with chkNameToUtf8), has no "${"
// ("新文件名格式不正确，请在左边选择变量或函数！"), or holds a double quote
// ("新文件名格式中不需要使用双引号！"). Otherwise sets stChangeCount to 0,
// raises it for each file renamed, rewrites that row's name cell and ends
// with the closing message. The files moved and left alone are those of
// planRenames (fileops/rename_plan.h) over renameNames.
// Throws qv::RunError when the serial number's start or width does not
// convert, or a list file exists but cannot be read; files renamed before
// stay renamed and counted.
OperationResult btnFilenameClick(const RenameParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
