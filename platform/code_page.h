#pragma once
// Conversions between a Windows ANSI code page and Unicode, through ICU's
// exact Windows tables ("windows-936-2000", "windows-950-2000").

#include <optional>
#include <string>
#include <string_view>

namespace qv {

class CodePage {
public:
    // Code page 936 (GBK, Simplified Chinese): the program's text encoding.
    static const CodePage& gbk();
    // Code page 950 (Big5, Traditional Chinese).
    static const CodePage& big5();

    int number() const { return number_; }

    // Both code pages use 0x81-0xFE as the first byte of a two-byte character.
    static constexpr bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

    // Bytes in this code page to UTF-16 and back. A character without a
    // counterpart becomes "?". Conversion never fails.
    std::u16string toUtf16(std::string_view bytes) const;
    std::string fromUtf16(std::u16string_view text) const;

    // Bytes in this code page to UTF-8 and back, with the same rules.
    std::string toUtf8(std::string_view bytes) const;
    std::string fromUtf8(std::string_view utf8) const;

    // `utf8` in this code page when it converts back to exactly the same
    // UTF-8; nothing when it would not (ill-formed UTF-8, a character the
    // code page lacks, or one the conversion drops, such as U+200B).
    std::optional<std::string> fromUtf8Exactly(std::string_view utf8) const;

    // True when `bytes` converts to Unicode and back to the same bytes, i.e.
    // the text holds no byte sequence the code page lacks.
    bool roundTrips(std::string_view bytes) const;

private:
    CodePage(int number, const char* icuName) : number_(number), icuName_(icuName) {}
    int number_;
    const char* icuName_;
};

} // namespace qv
