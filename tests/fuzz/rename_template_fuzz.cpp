// Any rename template survives the parts the rename operation reads itself:
// the serial number converts or throws the run error, the list file names
// and replacement pairs are pieces of the input, and a base name is the start
// of its name.
#include "fileops/new_name.h"
#include "fileops/rename_template.h"
#include "text/bytes.h"
#include "text/run_error.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

bool within(std::string_view piece, std::string_view whole)
{
    return whole.find(piece) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string typed(reinterpret_cast<const char*>(data), size);
    const std::string lowered = qv::text::lower(typed);

    try {
        if (auto serial = qv::findSerialNumber(lowered)) {
            require(serial->spec.empty() || (serial->spec.rfind("${sn(", 0) == 0 && serial->spec.back() == '}'));
            const std::string first = serial->take();
            const std::string second = serial->take();
            require(first != second);
            // At most 16 zeros before the digits of a 32-bit start.
            require(first.size() <= 16 + 11);
        }
    } catch (const qv::RunError&) { }

    for (const char* opener : {"${file(", "${file2("})
        if (const auto name = qv::listFileName(lowered, typed, opener)) require(within(*name, typed));

    const std::string_view line = qv::text::trim(typed);
    if (const auto pair = qv::splitReplacementLine(line)) {
        require(within(pair->oldText, line) && within(pair->newText, line));
    }

    const std::string_view base = qv::baseNameOf(typed);
    require(typed.substr(0, base.size()) == base);
    return 0;
}
