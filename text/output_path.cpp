#include "text/output_path.h"

namespace qv::text {

std::string outputPath(std::string_view sourcePath)
{
    const std::size_t slash = sourcePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = sourcePath.rfind('.');
    const std::size_t insertAt = dot != std::string_view::npos && dot >= nameStart ? dot : sourcePath.size();

    std::string out;
    out.reserve(sourcePath.size() + 3);
    out.append(sourcePath.substr(0, insertAt));
    out.append(".qv");
    out.append(sourcePath.substr(insertAt));
    return out;
}

bool isSafeNewName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

} // namespace qv::text
