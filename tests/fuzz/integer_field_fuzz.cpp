// Any text converts or is refused without a crash; a converted decimal text
// gives the same value as the C library, and a refused text throws the run
// error.
#include "text/integer_field.h"
#include "text/run_error.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = qv::text::tryParseInteger(text);
    try {
        if (qv::text::parseInteger(text) != value) std::abort();
    } catch (const qv::RunError&) {
        if (value) std::abort();
    }
    // Cross-check plain decimal numbers with strtoll.
    const bool plainDecimal = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (plainDecimal) {
        errno = 0;
        const long long expected = std::strtoll(text.c_str(), nullptr, 10);
        const bool fits = errno == 0 && expected <= INT32_MAX;
        if (fits != value.has_value()) std::abort();
        if (fits && *value != expected) std::abort();
    }
    return 0;
}
