#include "fileops/plan_text.h"

#include "filelist/entry_time.h"
#include "fileops/local_time.h"
#include "platform/code_page.h"

#include <optional>

namespace qv {
namespace {

void appendTime(std::string& out, const char* utf8Label, const std::optional<FileTime>& time, std::int64_t utcOffset)
{
    if (!time) return;
    if (!out.empty()) out += CodePage::gbk().fromUtf8("；");
    out += CodePage::gbk().fromUtf8(utf8Label);
    out += ' ';
    out += entryTimeText(toLocalMilliseconds(*time, utcOffset) / 1000);
}

} // namespace

std::string dateChangeText(const PlannedChange& change, std::int64_t utcOffset)
{
    std::string out;
    appendTime(out, "修改", change.times.lastWrite, utcOffset);
    appendTime(out, "创建", change.times.creation, utcOffset);
    appendTime(out, "访问", change.times.lastAccess, utcOffset);
    return out;
}

std::string attributeLetters(std::uint32_t bits)
{
    std::string out;
    if (bits & attr::archive) out += 'A';
    if (bits & attr::system) out += 'S';
    if (bits & attr::readOnly) out += 'R';
    if (bits & attr::hidden) out += 'H';
    return out.empty() ? "-" : out;
}

std::string attributeChangeText(const PlannedChange& change)
{
    return attributeLetters(change.attributesBefore) + CodePage::gbk().fromUtf8(" → ") +
           attributeLetters(change.attributes);
}

} // namespace qv
