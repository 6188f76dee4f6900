#pragma once
// Change attributes: sets the archive, system, read-only and hidden bits of
// every marked file, and optionally of the folder that holds it. Every bit
// not ticked is cleared.
//
// On Linux the bits live in the extended attribute user.DOSATTRIB (Samba's
// format, so Windows clients of a share see them), and read-only also in the
// write permission bits (platform/file_system.h). Cost: one setAttributes
// per marked row, plus one per folder when asked.

#include "fileops/change_plan.h"
#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/file_system.h"

#include <cstdint>
#include <optional>

namespace qv {

class Host;

// What the attribute page's controls hold.
struct AttributeParams {
    bool ckNormal = true;    // archive, 0x20
    bool ckSystem = false;   // 0x04
    bool ckReadonly = false; // 0x01
    bool ckHidden = false;   // 0x02
    bool chkDirProp = false; // also the folder of each file
};

// The OR of the ticked bits; 0 when none is ticked.
std::uint32_t attributeValue(const AttributeParams& params);

// The check below ("请选择新的属性！"), or nothing when it passes.
std::optional<Refusal> checkAttributeParams(const AttributeParams& params);

// The plan btnPropClick applies: one change per marked row, in display
// order, with the bits it has and gets, or left alone (Skipped) with the
// reason: missing, a symbolic link, no permission. Reads the entries;
// changes nothing.
ChangePlan planPropRun(const AttributeParams& params, const FileList& files, const FileSystem& fs);

// Runs the change over the marked entries in display order. Refuses, with
// nothing changed, when the selection check fails or no bit is ticked
// ("请选择新的属性！"). Sets stChangeCount to 0 and raises it for each file
// whose attributes were set. With chkDirProp the file's folder is set too,
// not counted: once per run of files in one folder after it took the change,
// again for the next file after it refused. Files on a file system that
// cannot store the bits, and symbolic links, are not counted and are listed
// behind the closing message (see fileops/change_plan.h).
OperationResult btnPropClick(const AttributeParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
