#include "fileops/change_extension.h"

#include "fileops/new_name.h"
#include "fileops/rename_plan.h"
#include "operation/host.h"
#include "platform/code_page.h"
#include "template/file_variables.h"
#include "text/bytes.h"

namespace qv {

std::optional<Refusal> checkExtensionTemplate(const ExtensionParams& params)
{
    const std::string templ = text::lower(text::trim(params.edtNewExt));
    if (templ.empty() || templ == "${ext}")
        return Refusal{CodePage::gbk().fromUtf8("请输入新扩展名格式！"), "edtNewExt"};
    return std::nullopt;
}

NewNameOf extensionNames(const ExtensionParams& params, const FileList& files)
{
    std::string templ = text::lower(text::trim(params.edtNewExt));
    if (templ.empty() || templ.front() != '.') templ.insert(0, ".");
    return [&files, templ](std::size_t row, std::int64_t) -> std::optional<std::string> {
        const std::string_view name = files.name(row);
        const std::string_view oldType = typeOf(name);
        FileVariables variables;
        variables.ext = std::string(oldType.empty() ? oldType : oldType.substr(1));
        return std::string(baseNameOf(name)) + substituteFileVariables(templ, variables);
    };
}

OperationResult btnExtClick(const ExtensionParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    if (auto refusal = checkExtensionTemplate(params)) return refuse(host, std::move(*refusal));
    ws.counters.stChangeCount = 0;
    const RenamePlan plan = planRenames(ws.files, extensionNames(params, ws.files), fs, params.chains);
    return applyRenamePlan(plan, ws, host, fs);
}

} // namespace qv
