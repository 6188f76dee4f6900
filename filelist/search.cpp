#include "filelist/search.h"

#include "filelist/host.h"
#include "filelist/size_bound.h"
#include "filelist/workspace.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/name_mask.h"
#include "text/bytes.h"
#include "text/field_split.h"

#include <chrono>
#include <limits>
#include <optional>

namespace qv {
namespace {

// Everything a file may carry and still be listed: read-only, hidden,
// system, volume label, directory, archive, normal, not-content-indexed.
constexpr std::uint32_t fileAttributeSet = 0x20BF;
// Everything a folder may carry and still be entered: hidden, system,
// directory, not-content-indexed.
constexpr std::uint32_t folderAttributeSet = 0x2016;

std::int64_t toSeconds(FileTime t)
{
    return std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count();
}

std::int64_t clampSize(std::uint64_t size)
{
    constexpr auto most = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(size > most ? most : size);
}

class Search {
public:
    Search(Workspace& ws, Host& host, const FileSystem& fs, const SearchCriteria& criteria)
        : ws_(ws), host_(host), fs_(fs), criteria_(criteria), utcOffset_(currentUtcOffset())
    {
        if (criteria.sizeFilter) readBounds();
    }

    void visitFolder(const std::string& relative)
    {
        const std::string& mask = ws_.currentTypeMask;
        if (mask.empty()) return;
        const std::string_view base = text::trim(ws_.currentSearchFolder);
        std::string dir(base);
        if (!relative.empty()) dir.append("/").append(relative);

        if (!criteria_.subfolders) {
            const Listing files = fs_.list(dir, mask);
            if (firstMask_) skippedNames_ += files.skippedNames;
            filePass(files, nullptr, dir);
            return finishVisit();
        }
        // One listing serves both passes: the file pass matches the mask
        // here, so each entry costs one stat instead of two.
        const Listing all = fs_.list(dir, "*.*");
        if (firstMask_) skippedNames_ += all.skippedNames;
        const NameMask matcher(mask);
        filePass(all, &matcher, dir);
        for (const FileEntry& entry : all.entries) {
            if (ws_.stopFlag) break;
            host_.processEvents();
            if ((entry.attributes & folderAttributeSet) != entry.attributes) continue;
            if (entry.name == "." || entry.name == "..") continue;
            visitFolder(relative.empty() ? entry.name : relative + "/" + entry.name);
        }
        finishVisit();
    }

    // Names left out are counted in the first mask's round only, so each
    // folder's are counted once however many masks there are.
    void setFirstMask(bool first) { firstMask_ = first; }
    std::size_t skippedNames() const { return skippedNames_; }

private:
    void filePass(const Listing& listing, const NameMask* matcher, const std::string& dir)
    {
        for (const FileEntry& entry : listing.entries) {
            if (matcher && !matcher->matches(entry.name)) continue;
            if (ws_.stopFlag) break;
            host_.processEvents();
            if (accepts(entry)) appendEntry(entry, dir);
        }
    }

    void finishVisit()
    {
        ws_.counters.stSrcCount = static_cast<std::int64_t>(ws_.files.entryCount());
        host_.reportProgress(ws_.counters.stSrcCount, 0);
    }

    void readBounds()
    {
        minSize_ = parseSizeBound(criteria_.minSize);
        maxSize_ = parseSizeBound(criteria_.maxSize);
    }

    bool accepts(const FileEntry& entry)
    {
        const std::uint32_t a = entry.attributes;
        if ((a & fileAttributeSet) == attr::directory || (a & fileAttributeSet) != a) return false;
        if (criteria_.sizeFilter) {
            // The filter may have been switched on while the search ran.
            if (!minSize_) readBounds();
            const std::int64_t size = clampSize(entry.size);
            if (size < *minSize_ || size > *maxSize_) return false;
        }
        if (criteria_.dateFilter) {
            const FileTime t = criteria_.dateKind == DateKind::Creation     ? entry.creationTime
                               : criteria_.dateKind == DateKind::LastAccess ? entry.lastAccessTime
                                                                            : entry.lastWriteTime;
            const CalendarDate day = calendarDate(toLocalSeconds(toSeconds(t), utcOffset_));
            if (day < criteria_.minDate || day > criteria_.maxDate) return false;
        }
        return true;
    }

    void appendEntry(const FileEntry& entry, const std::string& dir)
    {
        ws_.files.append(ListEntry{entry.name, dir, clampSize(entry.size),
                                   toLocalSeconds(toSeconds(entry.creationTime), utcOffset_),
                                   toLocalSeconds(toSeconds(entry.lastWriteTime), utcOffset_)});
    }

    Workspace& ws_;
    Host& host_;
    const FileSystem& fs_;
    const SearchCriteria& criteria_;
    const std::int64_t utcOffset_;
    std::optional<std::int64_t> minSize_;
    std::optional<std::int64_t> maxSize_;
    std::size_t skippedNames_ = 0;
    bool firstMask_ = true;
};

} // namespace

void cbSearchClick(Workspace& ws, Host& host, const FileSystem& fs, const SearchCriteria& criteria)
{
    const auto& gbk = CodePage::gbk();
    std::string types(text::trim(criteria.types));
    if (types.empty()) {
        host.showMessage(MessageKind::Error, gbk.fromUtf8("文件类型为空,请设置好后再试！"));
        return;
    }
    Search search(ws, host, fs, criteria); // reads the size bounds: may throw

    ws.stopFlag = false;
    const std::vector<std::string> folders = text::splitFields(text::trim(criteria.folders), ";");
    ws.files.clear();

    const auto searchMask = [&](std::string mask) {
        ws.currentTypeMask = std::move(mask);
        for (const std::string& folder : folders) {
            if (ws.stopFlag) break;
            ws.currentSearchFolder = folder;
            search.visitFolder({});
        }
    };
    // Masks are cut at each ";" and not trimmed: " *.ini" finds only names
    // that begin with a blank.
    for (auto at = types.find(';'); at != std::string::npos; at = types.find(';')) {
        searchMask(types.substr(0, at));
        search.setFirstMask(false);
        types.erase(0, at + 1);
    }
    searchMask(types);

    ws.counters.stSrcCount = static_cast<std::int64_t>(ws.files.entryCount());
    if (search.skippedNames() > 0)
        host.showMessage(MessageKind::Information,
                         gbk.fromUtf8("有 " + std::to_string(search.skippedNames()) +
                                      " 个文件或目录的名称无法以GBK编码表示，已跳过。"));
}

void btnStopSearchClick(Workspace& ws) { ws.stopFlag = true; }

} // namespace qv
