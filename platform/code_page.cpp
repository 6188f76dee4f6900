#include "platform/code_page.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>
#include <stdexcept>

namespace qv {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU converters keep state, so each thread gets its own, opened once.
UConverter* converterFor(const char* icuName, int number)
{
    thread_local ConverterPtr gbk, big5;
    ConverterPtr& slot = number == 936 ? gbk : big5;
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        slot.reset(ucnv_open(icuName, &status));
        if (U_FAILURE(status)) throw std::runtime_error(std::string("cannot open code page converter ") + icuName);
        status = U_ZERO_ERROR;
        ucnv_setSubstChars(slot.get(), "?", 1, &status);
    }
    ucnv_reset(slot.get());
    return slot.get();
}

} // namespace

const CodePage& CodePage::gbk()
{
    static const CodePage page(936, "windows-936-2000");
    return page;
}

const CodePage& CodePage::big5()
{
    static const CodePage page(950, "windows-950-2000");
    return page;
}

std::u16string CodePage::toUtf16(std::string_view bytes) const
{
    if (bytes.empty()) return {};
    UConverter* converter = converterFor(icuName_, number_);
    std::u16string out(bytes.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                         bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) throw std::runtime_error("code page conversion failed");
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string CodePage::fromUtf16(std::u16string_view text) const
{
    if (text.empty()) return {};
    UConverter* converter = converterFor(icuName_, number_);
    std::string out(text.size() * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                           reinterpret_cast<const UChar*>(text.data()),
                                           static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) throw std::runtime_error("code page conversion failed");
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string CodePage::toUtf8(std::string_view bytes) const
{
    const std::u16string wide = toUtf16(bytes);
    if (wide.empty()) return {};
    std::string out(wide.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(wide.data()), static_cast<int32_t>(wide.size()), 0xFFFD,
                       nullptr, &status);
    if (U_FAILURE(status)) throw std::runtime_error("UTF-8 conversion failed");
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string CodePage::fromUtf8(std::string_view utf8) const
{
    if (utf8.empty()) return {};
    std::u16string wide(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()), &length,
                         utf8.data(), static_cast<int32_t>(utf8.size()), u'?', nullptr, &status);
    if (U_FAILURE(status)) throw std::runtime_error("UTF-8 conversion failed");
    wide.resize(static_cast<std::size_t>(length));
    return fromUtf16(wide);
}

bool CodePage::roundTrips(std::string_view bytes) const
{
    return fromUtf16(toUtf16(bytes)) == bytes;
}

} // namespace qv
