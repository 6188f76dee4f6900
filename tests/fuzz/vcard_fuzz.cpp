// Any bytes as a conversion call, as vCard lines for both contact layouts, as
// text lines for the text converter and as the delimited text a spreadsheet
// server returns: no crash, and each result keeps its documented shape.
#include "convert/contact_converter.h"
#include "convert/conversion_call.h"
#include "convert/sheet_text.h"
#include "convert/text_converter.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class QuietHost final : public qv::Host {
public:
    void showMessage(qv::MessageKind, std::string_view) override { }
    bool ask(std::string_view) override { return false; }
    std::optional<std::string> chooseSavePath(std::string_view) override { return std::nullopt; }
    void processEvents() override { }
    void reportProgress(std::int64_t, std::int64_t) override { }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    QuietHost host;
    const qv::ConversionCall call = qv::parseConversionCall(bytes);
    if (call.argument.size() > bytes.size()) std::abort();
    (void)qv::convertedPath(bytes, qv::newExtension(call.argument));

    const auto lines = qv::text::LineList::fromBytes(bytes);
    for (const char* extension : {"csv", "txt"}) {
        const auto table = qv::contactTable(lines, extension, host);
        if (table.empty() || table.size() > lines.size() + 1) std::abort();
    }
    if (qv::tabsToCommas(lines, "csv", host).size() != lines.size()) std::abort();

    const std::string crlf = qv::withCrLfRecords(bytes);
    if (!bytes.empty() && !crlf.ends_with("\r\n")) std::abort();
    (void)qv::spreadsheetXml(bytes);
    return 0;
}
