#include "content/run_sources.h"

#include "content/content_job.h"
#include "operation/workspace.h"

#include <vector>

namespace qv {

std::string comparablePath(std::string_view path)
{
    std::vector<std::string_view> steps;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t slash = path.find('/', at);
        if (slash == std::string_view::npos) slash = path.size();
        const std::string_view step = path.substr(at, slash - at);
        if (step == "..") {
            if (!steps.empty() && steps.back() != "..")
                steps.pop_back();
            else
                steps.push_back(step);
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        at = slash + 1;
    }
    std::string out = !path.empty() && path.front() == '/' ? "/" : "";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) out += '/';
        out.append(steps[i]);
    }
    return out;
}

RunSources::RunSources(const FileList& files)
{
    forEachMarkedRow(files, [&](std::size_t row) { paths_.insert(comparablePath(files.fullPath(row))); });
}

bool RunSources::holds(std::string_view path) const
{
    return paths_.count(comparablePath(path)) > 0;
}

std::string outputIsSourceReason()
{
    return programText("输出文件是本次处理的源文件");
}

} // namespace qv
