#include "app/gbk_text.h"

#include "platform/code_page.h"

namespace qv::app {

QString fromGbk(std::string_view bytes)
{
    const std::u16string wide = CodePage::gbk().toUtf16(bytes);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string toGbk(const QString& text)
{
    return CodePage::gbk().fromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

std::optional<std::string> toGbkExactly(const QString& text)
{
    std::string bytes = toGbk(text);
    if (fromGbk(bytes) != text) return std::nullopt;
    return bytes;
}

} // namespace qv::app
