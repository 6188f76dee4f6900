#pragma once
// Conversions between a Windows ANSI code page and Unicode, through ICU's
// exact Windows tables ("windows-936-2000", "windows-950-2000").
//
// The mapping is ICU's: on first use each code page reads every single byte,
// every lead/trail pair and every BMP character through ICU once and keeps
// the ones that convert on their own as direct tables. Text is converted
// through those tables, eight ASCII bytes at a time where it can; whatever
// they do not cover (invalid or unmapped sequences, characters the code page
// lacks, surrogates) goes through ICU, so the results are exactly ICU's.

#include <optional>
#include <string>
#include <string_view>

namespace qv {

struct CodePageTables;

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

    // Bytes in this code page to UTF-8 and back, with the same rules;
    // ill-formed UTF-8 becomes "?".
    std::string toUtf8(std::string_view bytes) const;
    std::string fromUtf8(std::string_view utf8) const;

    // toUtf8, appended to `out`. A text gives the same result whole or cut
    // into pieces between characters (at text::charLength boundaries).
    void appendUtf8(std::string_view bytes, std::string& out) const;

    enum class IllFormed { Substitute, Reject };
    // fromUtf8, appended to `out`. With IllFormed::Reject ill-formed UTF-8
    // (see decodeUtf8) stops the conversion: returns false, `out` then holds
    // an unspecified part of the result. Otherwise always true. A text gives
    // the same result whole or cut into pieces anywhere but inside a UTF-8
    // sequence.
    bool appendFromUtf8(std::string_view utf8, std::string& out, IllFormed illFormed) const;

    // `utf8` in this code page when it converts back to exactly the same
    // UTF-8; nothing when it would not (ill-formed UTF-8, a character the
    // code page lacks, or one the conversion drops, such as U+200B).
    std::optional<std::string> fromUtf8Exactly(std::string_view utf8) const;

    // True when `bytes` converts to Unicode and back to the same bytes, i.e.
    // the text holds no byte sequence the code page lacks.
    bool roundTrips(std::string_view bytes) const;

private:
    CodePage(int number, const char* icuName) : number_(number), icuName_(icuName) { }
    const CodePageTables& tables() const;
    int number_;
    const char* icuName_;
};

// Appends the UTF-8 form of `units`: one to three bytes per UTF-16 unit, four
// for a surrogate pair; no byte-order mark.
void appendUtf8(std::u16string_view units, std::string& out);

// Appends the UTF-16 units of the UTF-8 text `bytes`; four-byte sequences
// give a surrogate pair. Returns false, leaving `out` partly filled, when the
// text is not valid UTF-8: a byte that cannot start a sequence, a sequence
// cut short by a byte outside 0x80-0xBF or by the end of the text, an
// overlong form, an encoded surrogate or a value above U+10FFFF.
bool decodeUtf8(std::string_view bytes, std::u16string& out);

// The code page 936 form of a message written in a source file as UTF-8.
// Messages are converted when shown, a few times per run at most.
std::string programText(std::string_view utf8);
// The UTF-8 form of the program's text, for what leaves the program (the
// console, system calls that take text).
std::string utf8Text(std::string_view programText);

} // namespace qv
