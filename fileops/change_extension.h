#pragma once
// Change extension: every marked entry gets a new extension inside its own
// folder. The extension template may hold ${ext}, the file's old extension
// without its dot; nothing else in it is interpreted.
//
// Like rename, it never replaces an existing file, and refuses (and reports
// once at the end) a computed name that is ".", ".." or holds "/". Cost: one
// rename per marked row.

#include "fileops/rename_plan.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <optional>

#include <string>

namespace qv {

class Host;

struct ExtensionParams {
    // The extension template as typed (`edtNewExt`), code page 936.
    std::string edtNewExt;
    // "允许名称互换与顺移", as for rename (fileops/rename_plan.h).
    bool chains = false;
};

// The template check below, or nothing when it passes.
std::optional<Refusal> checkExtensionTemplate(const ExtensionParams& params);

// The new names of the rows of `files` under the template; the result
// refers to `files`.
NewNameOf extensionNames(const ExtensionParams& params, const FileList& files);

// Runs the change over the marked entries in display order. Refuses, with
// nothing changed, when the selection check fails or the template (trimmed,
// lower-cased) is empty or "${ext}" ("请输入新扩展名格式！"). A template not
// starting with "." gets one, so "txt" and ".txt" are the same. Sets
// stChangeCount to 0, raises it for each file renamed, rewrites that row's
// name cell (its type cell follows) and ends with the closing message. The
// files moved and left alone are those of planRenames over extensionNames.
OperationResult btnExtClick(const ExtensionParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
