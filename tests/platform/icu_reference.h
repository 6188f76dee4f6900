#pragma once
// ICU's own conversion of a whole text with a code page's converter, the way
// CodePage converted before it had tables: the reference its tables and the
// charset conversions must match.

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>
#include <string>
#include <string_view>

namespace qv::testing {

struct Icu {
    explicit Icu(const char* name)
    {
        UErrorCode status = U_ZERO_ERROR;
        page.reset(ucnv_open(name, &status));
        utf8.reset(ucnv_open("UTF-8", &status));
        ucnv_setSubstChars(page.get(), "?", 1, &status);
        EXPECT_TRUE(U_SUCCESS(status));
    }
    std::u16string toUtf16(std::string_view bytes) const
    {
        std::u16string out(bytes.size() + 1, u'\0');
        UErrorCode status = U_ZERO_ERROR;
        out.resize(ucnv_toUChars(page.get(), out.data(), out.size(), bytes.data(), bytes.size(), &status));
        EXPECT_TRUE(U_SUCCESS(status));
        return out;
    }
    std::string fromUtf16(std::u16string_view text) const
    {
        std::string out(text.size() * 2 + 1, '\0');
        UErrorCode status = U_ZERO_ERROR;
        out.resize(ucnv_fromUChars(page.get(), out.data(), out.size(), text.data(), text.size(), &status));
        EXPECT_TRUE(U_SUCCESS(status));
        return out;
    }
    std::string between(UConverter* to, UConverter* from, std::string_view bytes) const
    {
        std::string out(bytes.size() * 3 + 16, '\0');
        char* target = out.data();
        const char* source = bytes.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(to, from, &target, out.data() + out.size(), &source, bytes.data() + bytes.size(), nullptr,
                       nullptr, nullptr, nullptr, true, true, &status);
        EXPECT_TRUE(U_SUCCESS(status));
        out.resize(static_cast<std::size_t>(target - out.data()));
        return out;
    }
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    std::unique_ptr<UConverter, Closer> page, utf8;
};

} // namespace qv::testing
