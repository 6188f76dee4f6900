#include "fileops/new_name.h"

#include "filelist/file_list.h"

namespace qv {

std::string_view baseNameOf(std::string_view name) { return name.substr(0, name.size() - typeOf(name).size()); }

bool isSafeNewName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

} // namespace qv
