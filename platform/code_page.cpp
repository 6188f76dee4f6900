#include "platform/code_page.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace qv {

// Direct conversions for everything ICU converts on its own, the same way
// wherever it stands in a text.
struct CodePageTables {
    static constexpr char16_t noUnit = 0xFFFF;
    static constexpr std::uint16_t noBytes = 0xFFFF;

    // Code page -> Unicode, for a single byte at its value and for a
    // lead/trail pair at lead * 256 + trail: the UTF-16 unit (noUnit where
    // ICU decides) and its UTF-8 form as packUtf8 gives it (0 there).
    std::array<char16_t, 256> singleUnit{};
    std::array<std::uint32_t, 256> singleUtf8{};
    std::vector<char16_t> pairUnit = std::vector<char16_t>(65536, noUnit);
    std::vector<std::uint32_t> pairUtf8 = std::vector<std::uint32_t>(65536, 0);
    // Unicode -> code page, for every BMP unit: a byte (below 0x100) or
    // lead * 256 + trail; noBytes where ICU decides.
    std::vector<std::uint16_t> bytesOf = std::vector<std::uint16_t>(65536, noBytes);
};

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

UConverter* utf8Converter()
{
    return converterFor(65001, "UTF-8");
}

void check(UErrorCode status)
{
    if (U_FAILURE(status)) throw std::runtime_error(std::string("code page conversion failed: ") + u_errorName(status));
}

std::u16string icuToUtf16(UConverter* converter, std::string_view bytes)
{
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

void icuAppendFromUtf16(UConverter* converter, std::u16string_view text, std::string& out)
{
    const std::size_t size = out.size();
    // At most two bytes per UTF-16 unit in these code pages.
    out.resize(size + text.size() * 2 + 1);
    const UChar* in = reinterpret_cast<const UChar*>(text.data());
    char* outPos = out.data() + size;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &outPos, out.data() + out.size(), &in, in + text.size(), nullptr, true, &status);
    check(status);
    out.resize(static_cast<std::size_t>(outPos - out.data()));
}

// Converts bytes between two converters through a UTF-16 pivot, appending to
// `out`; at most `bound` bytes come out.
void icuAppendBetween(UConverter* target, UConverter* source, std::string_view input, std::size_t bound,
                      std::string& out)
{
    const std::size_t size = out.size();
    out.resize(size + bound + 16);
    UChar pivot[4096];
    UChar* pivotSource = pivot;
    UChar* pivotTarget = pivot;
    const char* in = input.data();
    char* outPos = out.data() + size;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_convertEx(target, source, &outPos, out.data() + out.size(), &in, input.data() + input.size(), pivot,
                   &pivotSource, &pivotTarget, pivot + std::size(pivot), true, true, &status);
    check(status);
    out.resize(static_cast<std::size_t>(outPos - out.data()));
}

// The UTF-8 form of `c` written to `out`; returns its length. A surrogate
// gets the three-byte form.
std::size_t encodeUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// A BMP character's UTF-8 form in memory order followed by its length, read
// back by putPacked; never 0.
constexpr unsigned packedLengthShift = std::endian::native == std::endian::little ? 24 : 0;

std::uint32_t packUtf8(char16_t unit)
{
    char bytes[4];
    bytes[3] = static_cast<char>(encodeUtf8(unit, bytes));
    std::uint32_t packed;
    std::memcpy(&packed, bytes, 4);
    return packed;
}

// Writes the UTF-8 bytes of `packed` (and one scratch byte after them).
inline char* putPacked(std::uint32_t packed, char* at)
{
    std::memcpy(at, &packed, 4);
    return at + ((packed >> packedLengthShift) & 0xFF);
}

inline char* putCodePageBytes(std::uint16_t bytes, char* at)
{
    if (bytes < 0x100) {
        *at = static_cast<char>(bytes);
        return at + 1;
    }
    at[0] = static_cast<char>(bytes >> 8);
    at[1] = static_cast<char>(bytes & 0xFF);
    return at + 2;
}

constexpr bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at` (before `end`), its
// value in `value`; 0 when the bytes there are ill-formed (see decodeUtf8).
inline std::size_t decodeSequence(const unsigned char* at, const unsigned char* end, char32_t& value)
{
    const unsigned char lead = *at;
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    // The number of continuation bytes, the lead's value bits, and the range
    // the first continuation byte must lie in (narrower after E0, ED, F0 and
    // F4, which rules out overlong forms, surrogates and values beyond
    // U+10FFFF).
    std::size_t extra = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) <= extra) return 0;
    if (at[1] < low || at[1] > high) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        if (!isContinuation(at[k])) return 0;
        value = (value << 6) | (at[k] & 0x3F);
    }
    return extra + 1;
}

// Whether a well-formed three-byte sequence (most Chinese text) starts at
// `at`, its value in `value`; decodeSequence decides every other case.
inline bool isThreeByteBmp(const unsigned char* at, const unsigned char* end, char32_t& value)
{
    if (end - at < 3 || (at[0] & 0xF0) != 0xE0 || !isContinuation(at[1]) || !isContinuation(at[2])) return false;
    value = (at[0] & 0x0Fu) << 12 | (at[1] & 0x3Fu) << 6 | (at[2] & 0x3Fu);
    return value >= 0x800 && (value < 0xD800 || value > 0xDFFF);
}

inline bool isAscii8(const unsigned char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return (word & 0x8080808080808080u) == 0;
}

// Where ICU is back at a character boundary after an untabled sequence at
// `at`: just after the next byte below 0x40. Such a byte is a character of
// its own in both code pages and never the second byte of one, so ICU ends
// whatever it was reading there, and converting up to it alone gives what
// converting it within the text gives.
const unsigned char* codePageResync(const unsigned char* at, const unsigned char* end)
{
    while (at < end && *at >= 0x40) ++at;
    return at < end ? at + 1 : end;
}

// The same for ill-formed UTF-8: just after the next ASCII byte, which no
// sequence includes.
const unsigned char* utf8Resync(const unsigned char* at, const unsigned char* end)
{
    while (at < end && *at >= 0x80) ++at;
    return at < end ? at + 1 : end;
}

// The same for an untabled UTF-16 unit: just after the next unit that is not
// a surrogate, so pairs and lone halves reach ICU whole.
const char16_t* utf16Resync(const char16_t* at, const char16_t* end)
{
    while (at < end && U16_IS_SURROGATE(*at)) ++at;
    return at < end ? at + 1 : end;
}

// Output gathered in a fixed block and appended to `out` block by block, so
// the converters write without a growth check per character. Every step of a
// converter writes at most `slack` units.
template <typename Char> struct Staging {
    static constexpr std::size_t size = 16384;
    static constexpr std::size_t slack = 8;
    explicit Staging(std::basic_string<Char>& target) : out(target) { }
    bool full() const { return at > block + size - slack; }
    void flush()
    {
        out.append(block, at);
        at = block;
    }
    std::basic_string<Char>& out;
    Char block[size];
    Char* at = block;
};

// Copies the next 8 bytes to `staging` when they are all ASCII, which every
// conversion here passes through unchanged; false, copying nothing, when not.
template <typename Char>
inline bool copyAscii8(const unsigned char*& in, const unsigned char* end, Staging<Char>& staging)
{
    if (end - in < 8 || !isAscii8(in)) return false;
    for (int k = 0; k < 8; ++k) staging.at[k] = static_cast<Char>(in[k]);
    staging.at += 8;
    in += 8;
    return true;
}

std::string_view view(const unsigned char* from, const unsigned char* to)
{
    return {reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)};
}

CodePageTables buildTables(const char* icuName)
{
    // A converter of its own that stops at anything it would substitute, so
    // only what ICU really maps gets into the tables.
    ConverterPtr converter = openConverter(icuName);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    check(status);
    UConverter* c = converter.get();

    const auto unitAlone = [c](const char* bytes, std::size_t length) {
        ucnv_reset(c);
        UChar out[4];
        UChar* outPos = out;
        const char* in = bytes;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_toUnicode(c, &outPos, out + 4, &in, bytes + length, nullptr, true, &error);
        const bool one = U_SUCCESS(error) && in == bytes + length && outPos == out + 1;
        return one && !U16_IS_SURROGATE(out[0]) ? static_cast<char16_t>(out[0]) : CodePageTables::noUnit;
    };
    const auto bytesAlone = [c](char16_t unit) {
        ucnv_reset(c);
        char out[8];
        char* outPos = out;
        const UChar* in = reinterpret_cast<const UChar*>(&unit);
        UErrorCode error = U_ZERO_ERROR;
        ucnv_fromUnicode(c, &outPos, out + 8, &in, in + 1, nullptr, true, &error);
        if (U_FAILURE(error)) return CodePageTables::noBytes;
        const auto* b = reinterpret_cast<const unsigned char*>(out);
        if (outPos == out + 1) return static_cast<std::uint16_t>(b[0]);
        if (outPos == out + 2 && b[0] != 0) return static_cast<std::uint16_t>(b[0] << 8 | b[1]);
        return CodePageTables::noBytes;
    };

    CodePageTables tables;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char single = static_cast<char>(byte);
        tables.singleUnit[byte] = unitAlone(&single, 1);
        if (tables.singleUnit[byte] != CodePageTables::noUnit)
            tables.singleUtf8[byte] = packUtf8(tables.singleUnit[byte]);
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (tables.singleUnit[lead] != CodePageTables::noUnit) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t unit = unitAlone(pair, 2);
            if (unit == CodePageTables::noUnit) continue;
            tables.pairUnit[lead << 8 | trail] = unit;
            tables.pairUtf8[lead << 8 | trail] = packUtf8(unit);
        }
    }
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
        if (!U16_IS_SURROGATE(unit)) tables.bytesOf[unit] = bytesAlone(static_cast<char16_t>(unit));
    }
    // The ASCII fast paths copy, and codePageResync relies on bytes below
    // 0x80 being characters of their own.
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        if (tables.singleUnit[byte] != byte || tables.bytesOf[byte] != byte)
            throw std::logic_error(std::string("code page without ASCII: ") + icuName);
    }
    return tables;
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

const CodePageTables& CodePage::tables() const
{
    if (number_ == 936) {
        static const CodePageTables gbkTables = buildTables(icuName_);
        return gbkTables;
    }
    static const CodePageTables big5Tables = buildTables(icuName_);
    return big5Tables;
}

std::u16string CodePage::toUtf16(std::string_view bytes) const
{
    const CodePageTables& t = tables();
    std::u16string out;
    out.reserve(bytes.size());
    Staging<char16_t> staging(out);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        if (staging.full()) staging.flush();
        if (copyAscii8(in, end, staging)) continue;
        char16_t unit = t.singleUnit[in[0]];
        std::size_t length = 1;
        if (unit == CodePageTables::noUnit && end - in >= 2) {
            unit = t.pairUnit[in[0] << 8 | in[1]];
            length = 2;
        }
        if (unit != CodePageTables::noUnit) {
            *staging.at++ = unit;
            in += length;
            continue;
        }
        staging.flush();
        const unsigned char* resync = codePageResync(in, end);
        out += icuToUtf16(converterFor(number_, icuName_), view(in, resync));
        in = resync;
    }
    staging.flush();
    return out;
}

std::string CodePage::fromUtf16(std::u16string_view text) const
{
    const CodePageTables& t = tables();
    std::string out;
    out.reserve(text.size() * 2);
    Staging<char> staging(out);
    const char16_t* in = text.data();
    const char16_t* const end = in + text.size();
    while (in < end) {
        if (staging.full()) staging.flush();
        const std::uint16_t bytes = t.bytesOf[*in];
        if (bytes != CodePageTables::noBytes) {
            staging.at = putCodePageBytes(bytes, staging.at);
            ++in;
            continue;
        }
        staging.flush();
        const char16_t* resync = utf16Resync(in, end);
        icuAppendFromUtf16(converterFor(number_, icuName_), std::u16string_view(in, resync - in), out);
        in = resync;
    }
    staging.flush();
    return out;
}

void CodePage::appendUtf8(std::string_view bytes, std::string& out) const
{
    const CodePageTables& t = tables();
    Staging<char> staging(out);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        if (staging.full()) staging.flush();
        if (copyAscii8(in, end, staging)) continue;
        std::uint32_t packed = t.singleUtf8[in[0]];
        std::size_t length = 1;
        if (packed == 0 && end - in >= 2) {
            packed = t.pairUtf8[in[0] << 8 | in[1]];
            length = 2;
        }
        if (packed != 0) {
            staging.at = putPacked(packed, staging.at);
            in += length;
            continue;
        }
        staging.flush();
        const unsigned char* resync = codePageResync(in, end);
        qv::appendUtf8(icuToUtf16(converterFor(number_, icuName_), view(in, resync)), out);
        in = resync;
    }
    staging.flush();
}

bool CodePage::appendFromUtf8(std::string_view utf8, std::string& out, IllFormed illFormed) const
{
    const CodePageTables& t = tables();
    Staging<char> staging(out);
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = in + utf8.size();
    while (in < end) {
        if (staging.full()) staging.flush();
        if (copyAscii8(in, end, staging)) continue;
        char32_t value = 0;
        const std::size_t length = isThreeByteBmp(in, end, value) ? 3 : decodeSequence(in, end, value);
        if (length == 0) {
            if (illFormed == IllFormed::Reject) {
                staging.flush();
                return false;
            }
            staging.flush();
            const unsigned char* resync = utf8Resync(in, end);
            icuAppendBetween(converterFor(number_, icuName_), utf8Converter(), view(in, resync),
                             2 * static_cast<std::size_t>(resync - in), out);
            in = resync;
            continue;
        }
        const std::uint16_t bytes = value < 0x10000 ? t.bytesOf[value] : CodePageTables::noBytes;
        if (bytes != CodePageTables::noBytes) {
            staging.at = putCodePageBytes(bytes, staging.at);
            in += length;
            continue;
        }
        // A character the tables leave to ICU; on its own it converts as it
        // would within the text.
        staging.flush();
        char16_t units[2];
        std::size_t count = 1;
        if (value < 0x10000) {
            units[0] = static_cast<char16_t>(value);
        } else {
            units[0] = U16_LEAD(value);
            units[1] = U16_TRAIL(value);
            count = 2;
        }
        icuAppendFromUtf16(converterFor(number_, icuName_), std::u16string_view(units, count), out);
        in += length;
    }
    staging.flush();
    return true;
}

std::string CodePage::toUtf8(std::string_view bytes) const
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    appendUtf8(bytes, out);
    return out;
}

std::string CodePage::fromUtf8(std::string_view utf8) const
{
    std::string out;
    out.reserve(utf8.size());
    appendFromUtf8(utf8, out, IllFormed::Substitute);
    return out;
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

void appendUtf8(std::u16string_view units, std::string& out)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (U16_IS_LEAD(c) && i + 1 < units.size() && U16_IS_TRAIL(units[i + 1]))
            c = U16_GET_SUPPLEMENTARY(c, units[++i]);
        char bytes[4];
        out.append(bytes, encodeUtf8(c, bytes));
    }
}

bool decodeUtf8(std::string_view bytes, std::u16string& out)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while (at < end) {
        char32_t value = 0;
        const std::size_t length = decodeSequence(at, end, value);
        if (length == 0) return false;
        at += length;
        if (value >= 0x10000) {
            out.push_back(U16_LEAD(value));
            out.push_back(U16_TRAIL(value));
        } else {
            out.push_back(static_cast<char16_t>(value));
        }
    }
    return true;
}

std::string programText(std::string_view utf8)
{
    return CodePage::gbk().fromUtf8(utf8);
}

std::string utf8Text(std::string_view programText)
{
    return CodePage::gbk().toUtf8(programText);
}

} // namespace qv
