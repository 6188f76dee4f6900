#include "convert/conversion_plan.h"

#include "content/content_job.h"
#include "content/run_sources.h"
#include "convert/contact_converter.h"
#include "convert/spreadsheet_converter.h"
#include "operation/workspace.h"
#include "text/output_path.h"

namespace qv {
namespace {

// Why no entry of the run can be converted, or "" when entries can.
std::string callReason(const ConversionCall& call, const std::string& extension)
{
    if (call.converter == Converter::None) return programText("不是可识别的转换");
    if (extension.empty()) return programText("没有新的扩展名");
    // A "/" or NUL, or an extension of "." or "..", would put the converted
    // file in another folder or under a cut name.
    if (!text::isSafeNewName(extension)) return programText("新扩展名是“.”或“..”，或含有“/”或空字符，不能用作扩展名");
    const bool handled = call.converter == Converter::TxtTo ||
                         (call.converter == Converter::VcfTo && isContactTableExtension(extension)) ||
                         ((call.converter == Converter::XlsTo || call.converter == Converter::CsvTo) &&
                          sheetConversionFor(call.converter, extension));
    return handled ? std::string() : programText("不支持转换为此格式");
}

} // namespace

std::vector<ConversionStep> planConversion(const ConversionCall& call, const FileList& files)
{
    const std::string extension = newExtension(call.argument);
    const std::string reason = callReason(call, extension);
    const RunSources sources(files);
    std::vector<ConversionStep> steps;
    forEachMarkedRow(files, [&](std::size_t row) {
        ConversionStep step{files.fullPath(row), "", reason};
        if (reason.empty()) {
            step.target = convertedPath(step.source, extension);
            if (comparablePath(step.target) == comparablePath(step.source))
                step.skipReason = programText("转换后的文件就是源文件");
            else if (sources.holds(step.target))
                step.skipReason = programText("转换后的文件是本次处理的另一个源文件");
        }
        steps.push_back(std::move(step));
    });
    return steps;
}

} // namespace qv
