#include "fileops/change_extension.h"

#include "fileops/change_plan.h"
#include "fileops/new_name.h"
#include "operation/host.h"
#include "platform/code_page.h"
#include "template/file_variables.h"
#include "text/bytes.h"

namespace qv {

OperationResult btnExtClick(const ExtensionParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    std::string templ = text::lower(text::trim(params.edtNewExt));
    if (templ.empty() || templ == "${ext}")
        return refuse(host, {CodePage::gbk().fromUtf8("请输入新扩展名格式！"), "edtNewExt"});
    ws.counters.stChangeCount = 0;
    if (templ.front() != '.') templ.insert(0, ".");

    ChangePlan plan;
    for (std::size_t row = 1; row <= ws.files.lastRow() && !ws.files.isEmpty(); ++row) {
        if (!ws.files.isMarked(row)) continue;
        const std::string name(ws.files.name(row));
        const std::string_view oldType = typeOf(name);
        const std::string_view oldExtension = oldType.empty() ? oldType : oldType.substr(1);

        FileVariables variables;
        variables.ext = std::string(oldExtension);
        const std::string newName = std::string(baseNameOf(name)) + substituteFileVariables(templ, variables);
        if (auto change = planRename(ws, row, newName)) plan.push_back(std::move(*change));
    }
    return applyChangePlan(plan, ws, host, [&](const PlannedChange& change) { return applyRename(change, ws, fs); },
                           {});
}

} // namespace qv
