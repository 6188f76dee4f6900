#include "platform/chinese_script.h"

#include "platform/utf8_sequences.h"

#include <opencc/opencc.h>

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace qv {
namespace {

// Where Debian and a source build of OpenCC put their tables. They are tried
// before OpenCC's own lookup of the bare file name, which would first look in
// the current working directory and so pick up any file of that name there.
constexpr std::array dataDirectories{"/usr/share/opencc", "/usr/local/share/opencc"};

std::unique_ptr<opencc::SimpleConverter> openConverter(const std::string& configFile)
{
    std::string failures;
    auto attempt = [&](const std::string& path) -> std::unique_ptr<opencc::SimpleConverter> {
        try {
            return std::make_unique<opencc::SimpleConverter>(path);
        } catch (const std::exception& e) {
            failures += "; " + path + ": " + e.what();
            return nullptr;
        }
    };
    for (const char* directory : dataDirectories) {
        const std::filesystem::path path = std::filesystem::path(directory) / configFile;
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored)) continue;
        if (auto converter = attempt(path.string())) return converter;
    }
    if (auto converter = attempt(configFile)) return converter;
    throw std::runtime_error("Cannot open the Chinese script table " + configFile +
                             " (OpenCC data, package libopencc-data)" + failures);
}

// OpenCC expects well-formed UTF-8 without NUL bytes: cut at the first NUL
// and replace every ill-formed sequence by U+FFFD.
std::string wellFormed(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::string out;
    out.reserve(text.size());
    forEachUtf8Sequence(text, [&](std::string_view sequence, int codePoint) {
        out.append(codePoint < 0 ? std::string_view("\xEF\xBF\xBD") : sequence);
    });
    return out;
}

std::string convert(const opencc::SimpleConverter& converter, std::string_view utf8)
{
    const std::string input = wellFormed(utf8);
    if (input.empty()) return {};
    return converter.Convert(input);
}

} // namespace

std::string simplifiedToTraditional(std::string_view utf8)
{
    static const std::unique_ptr<opencc::SimpleConverter> converter = openConverter("s2t.json");
    return convert(*converter, utf8);
}

std::string traditionalToSimplified(std::string_view utf8)
{
    static const std::unique_ptr<opencc::SimpleConverter> converter = openConverter("t2s.json");
    return convert(*converter, utf8);
}

} // namespace qv
