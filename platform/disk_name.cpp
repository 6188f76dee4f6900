#include "platform/disk_name.h"

#include "platform/ascii.h"
#include "platform/code_page.h"

namespace qv {
namespace {

// Every byte from 0x81 on starts a lead/trail pair: no lone lead byte, no
// 0xFF, no trail byte outside 0x40-0x7E, 0x80-0xFE. 0x80 alone is the euro
// sign of code page 936.
bool pairsAreWellFormed(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte <= 0x80) continue;
        if (!CodePage::isLeadByte(byte) || i + 1 == bytes.size()) return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
    }
    return true;
}

bool isWellFormedUtf8(std::string_view bytes)
{
    std::u16string ignored;
    return decodeUtf8(bytes, ignored);
}

} // namespace

std::optional<DiskNameText> decodeDiskName(std::string_view bytes, NameFault* fault)
{
    if (isAscii(bytes)) return DiskNameText{std::string(bytes), NameEncoding::Utf8};
    if (isWellFormedUtf8(bytes)) {
        if (auto text = CodePage::gbk().fromUtf8Exactly(bytes))
            return DiskNameText{std::move(*text), NameEncoding::Utf8};
        if (fault) *fault = NameFault::NoGbkForm;
        return std::nullopt;
    }
    if (pairsAreWellFormed(bytes) && CodePage::gbk().roundTrips(bytes))
        return DiskNameText{std::string(bytes), NameEncoding::Gbk};
    if (fault) *fault = NameFault::NeitherEncoding;
    return std::nullopt;
}

std::string diskFormOf(std::string_view text, NameEncoding encoding)
{
    if (encoding == NameEncoding::Gbk || isAscii(text)) return std::string(text);
    return CodePage::gbk().toUtf8(text);
}

std::optional<std::string> utf8DiskForm(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    if (isAscii(text)) return std::string(text);
    if (!CodePage::gbk().roundTrips(text)) return std::nullopt;
    return CodePage::gbk().toUtf8(text);
}

std::optional<std::string> textOfDiskPath(std::string_view diskPath, NameFault* fault)
{
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t slash = diskPath.find('/', start);
        const auto decoded = decodeDiskName(diskPath.substr(start, slash - start), fault);
        if (!decoded) return std::nullopt;
        out += decoded->text;
        if (slash == std::string_view::npos) return out;
        out += '/';
        start = slash + 1;
    }
}

std::string shownPath(std::string_view diskPath)
{
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t slash = diskPath.find('/', start);
        const std::string_view element = diskPath.substr(start, slash - start);
        if (auto decoded = decodeDiskName(element))
            out += decoded->text;
        else
            out += CodePage::gbk().fromUtf8(element);
        if (slash == std::string_view::npos) return out;
        out += '/';
        start = slash + 1;
    }
}

std::string nameTextOf(std::string_view diskPath)
{
    const std::size_t slash = diskPath.rfind('/');
    return shownPath(slash == std::string_view::npos ? diskPath : diskPath.substr(slash + 1));
}

std::string diskPathBeside(std::string_view diskPath, std::string_view newName)
{
    const std::size_t slash = diskPath.rfind('/');
    std::string out(slash == std::string_view::npos ? std::string_view() : diskPath.substr(0, slash + 1));
    return out.append(diskFormOf(newName, NameEncoding::Utf8));
}

const char* encodingName(NameEncoding encoding)
{
    return encoding == NameEncoding::Gbk ? "gbk" : "utf-8";
}

} // namespace qv
