#include "platform/code_page.h"

#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>

namespace qv {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openConverter(const char* icuName)
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(icuName, &status));
    if (U_FAILURE(status)) throw std::runtime_error(std::string("cannot open the code page converter ") + icuName);
    // Characters without a counterpart become "?", as the Windows conversion does.
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    return converter;
}

// ICU converters keep state, so each thread opens its own, once, and every
// conversion starts from a reset converter.
UConverter* converterFor(int number, const char* icuName)
{
    thread_local ConverterPtr gbk, big5, utf8;
    ConverterPtr& slot = number == 936 ? gbk : number == 950 ? big5 : utf8;
    if (!slot) slot = openConverter(icuName);
    ucnv_reset(slot.get());
    return slot.get();
}

UConverter* utf8Converter() { return converterFor(65001, "UTF-8"); }

void check(UErrorCode status)
{
    if (U_FAILURE(status)) throw std::runtime_error(std::string("code page conversion failed: ") + u_errorName(status));
}

// Converts bytes between two converters through a UTF-16 pivot, in pieces, so
// inputs of any size work and no whole-text UTF-16 copy is made.
std::string convertBetween(UConverter* target, UConverter* source, std::string_view input, std::size_t sizeGuess)
{
    std::string out(sizeGuess + 16, '\0');
    UChar pivot[4096];
    UChar* pivotSource = pivot;
    UChar* pivotTarget = pivot;
    const char* in = input.data();
    const char* inEnd = input.data() + input.size();
    char* outPos = out.data();
    bool reset = true;
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(target, source, &outPos, out.data() + out.size(), &in, inEnd, pivot, &pivotSource,
                       &pivotTarget, pivot + std::size(pivot), reset, true, &status);
        reset = false;
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            check(status);
            break;
        }
        const std::size_t written = static_cast<std::size_t>(outPos - out.data());
        out.resize(out.size() * 2);
        outPos = out.data() + written;
    }
    out.resize(static_cast<std::size_t>(outPos - out.data()));
    return out;
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
    UConverter* converter = converterFor(number_, icuName_);
    std::u16string out(bytes.size() + 1, u'\0');
    const char* in = bytes.data();
    UChar* outPos = reinterpret_cast<UChar*>(out.data());
    UErrorCode status = U_ZERO_ERROR;
    // Every input byte yields at most one UTF-16 unit in these code pages, so
    // one pass with this buffer always completes.
    ucnv_toUnicode(converter, &outPos, outPos + out.size(), &in, bytes.data() + bytes.size(), nullptr, true, &status);
    check(status);
    out.resize(static_cast<std::size_t>(outPos - reinterpret_cast<UChar*>(out.data())));
    return out;
}

std::string CodePage::fromUtf16(std::u16string_view text) const
{
    UConverter* converter = converterFor(number_, icuName_);
    std::string out(text.size() * 2 + 1, '\0');
    const UChar* in = reinterpret_cast<const UChar*>(text.data());
    char* outPos = out.data();
    UErrorCode status = U_ZERO_ERROR;
    // At most two bytes per UTF-16 unit in these code pages.
    ucnv_fromUnicode(converter, &outPos, outPos + out.size(), &in, in + text.size(), nullptr, true, &status);
    check(status);
    out.resize(static_cast<std::size_t>(outPos - out.data()));
    return out;
}

std::string CodePage::toUtf8(std::string_view bytes) const
{
    UConverter* source = converterFor(number_, icuName_);
    return convertBetween(utf8Converter(), source, bytes, bytes.size() + bytes.size() / 2);
}

std::string CodePage::fromUtf8(std::string_view utf8) const
{
    UConverter* target = converterFor(number_, icuName_);
    return convertBetween(target, utf8Converter(), utf8, utf8.size());
}

std::optional<std::string> CodePage::fromUtf8Exactly(std::string_view utf8) const
{
    std::string bytes = fromUtf8(utf8);
    if (toUtf8(bytes) != utf8) return std::nullopt;
    return bytes;
}

bool CodePage::roundTrips(std::string_view bytes) const
{
    return fromUtf16(toUtf16(bytes)) == bytes;
}

} // namespace qv
