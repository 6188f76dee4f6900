#include "window/search.h"

#include "filelist/size_bound.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "platform/file_system.h"
#include "platform/name_mask.h"
#include "text/bytes.h"
#include "text/field_split.h"
#include "window/list_commands.h"

#include <algorithm>
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

    // The mask of the round that follows; "" finds nothing.
    void setMask(const std::string& mask)
    {
        matcher_.reset();
        if (!mask.empty()) matcher_.emplace(mask);
    }

    // Visits the folder `relative` (text) below the current search folder;
    // `relativeOnDisk` is the same path as its names are written on disk.
    void visitFolder(const std::string& relative, const std::string& relativeOnDisk)
    {
        if (!matcher_) return;
        const std::string_view base = text::trim(ws_.currentSearchFolder);
        // The folder typed is text; on disk it is written in UTF-8. One with
        // no exact UTF-8 form names no folder and finds nothing.
        const std::optional<std::string> baseOnDisk = utf8DiskForm(base);
        if (!baseOnDisk) return finishVisit();
        Folder dir{std::string(base), *baseOnDisk};
        if (!relative.empty()) {
            dir.text.append("/").append(relative);
            dir.disk.append("/").append(relativeOnDisk);
        }

        auto listing = fs_.listFolder(dir.disk);
        const bool subfolders = criteria_.subfolders;
        if (firstMask_) noteSkippedNames(*listing, subfolders, dir.text);
        std::vector<std::optional<FileEntry>> details(listing->items().size());
        const std::vector<std::size_t> order = nameOrder(*listing);
        filePass(*listing, details, order, dir);
        if (!subfolders) return finishVisit();

        // The folders to enter are known before the first is entered, so the
        // listing is closed first: one open folder at a time however deep.
        std::vector<std::optional<Folder>> subfolderNames(order.size());
        for (std::size_t k = 0; k < order.size(); ++k) {
            if (!entersFolder(*listing, details, order[k])) continue;
            const FolderItem& item = listing->items()[order[k]];
            subfolderNames[k] = Folder{item.name, diskFormOf(item.name, item.encoding)};
        }
        listing.reset();

        for (const std::optional<Folder>& sub : subfolderNames) {
            if (host_.stopRequested()) break;
            host_.processEvents();
            if (!sub) continue;
            if (relative.empty())
                visitFolder(sub->text, sub->disk);
            else
                visitFolder(relative + "/" + sub->text, relativeOnDisk + "/" + sub->disk);
        }
        finishVisit();
    }

    // Names left out are noted in the first mask's round only, so each
    // folder's are noted once however many masks there are.
    void setFirstMask(bool first) { firstMask_ = first; }
    std::vector<SkippedFile>& skippedNames() { return skippedNames_; }
    // Of those, the names that are UTF-8 with a character GBK lacks, and
    // those neither UTF-8 nor GBK.
    std::size_t skippedNoGbkForm() const { return skippedNames_.size() - skippedNeitherEncoding_; }
    std::size_t skippedNeitherEncoding() const { return skippedNeitherEncoding_; }

private:
    // A folder as shown and as written on disk.
    struct Folder {
        std::string text;
        std::string disk;
    };

    // The names of a folder left out for having no text, shown as near as
    // the code page allows: every one when its subfolders are searched too
    // (any of them could have been a folder to enter), else those the mask
    // matches.
    void noteSkippedNames(const FolderListing& listing, bool subfolders, const std::string& dir)
    {
        const CodePage& gbk = CodePage::gbk();
        const auto& names = listing.unconvertibleNames();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!subfolders && !matcher_->matches(names[i])) continue;
            const bool neither = listing.unconvertibleFaults()[i] == NameFault::NeitherEncoding;
            skippedNeitherEncoding_ += neither ? 1 : 0;
            skippedNames_.push_back(
                {dir + "/" + gbk.fromUtf16(names[i]),
                 gbk.fromUtf8(neither ? "名称既不是UTF-8编码也不是GBK编码" : "名称无法以GBK编码表示")});
        }
    }

    // The details of item `i`, read once.
    static const std::optional<FileEntry>& detailsOf(const FolderListing& listing,
                                                     std::vector<std::optional<FileEntry>>& details, std::size_t i)
    {
        if (!details[i]) details[i] = listing.details(i, std::nullopt);
        return details[i];
    }

    // The item indices of a folder in the order its names sort on NTFS, so
    // that a folder lists the same way on every run and file system (ext4,
    // for one, lists in hash order).
    static std::vector<std::size_t> nameOrder(const FolderListing& listing)
    {
        const auto& items = listing.items();
        std::vector<std::u16string> keys;
        keys.reserve(items.size());
        for (const FolderItem& item : items) keys.push_back(ntfsSortKey(item.name));
        std::vector<std::size_t> order(items.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        return order;
    }

    // Matching names are checked one by one; links, FIFOs and devices are
    // never listed, so their details are not read, nor the attributes of a
    // file the size filter turns away.
    void filePass(const FolderListing& listing, std::vector<std::optional<FileEntry>>& details,
                  const std::vector<std::size_t>& order, const Folder& dir)
    {
        const auto& items = listing.items();
        for (const std::size_t i : order) {
            if (!matcher_->matches(items[i].name)) continue;
            if (host_.stopRequested()) break;
            host_.processEvents();
            if (items[i].type == EntryType::Other) continue;
            if (items[i].type == EntryType::File) {
                const auto entry = listing.details(i, wantedSizes());
                if (entry && accepts(*entry)) appendEntry(*entry, dir);
            } else if (const auto& entry = detailsOf(listing, details, i); entry && accepts(*entry)) {
                appendEntry(*entry, dir);
            }
        }
    }

    // The sizes the size filter lets through, as the file system reads them
    // (a size beyond the 64-bit signed range counts as the largest).
    std::optional<SizeRange> wantedSizes()
    {
        if (!criteria_.sizeFilter) return std::nullopt;
        if (!minSize_) readBounds(); // the filter may have been switched on while the search ran
        if (*maxSize_ < 0 || *maxSize_ < *minSize_) return SizeRange{1, 0};
        const bool unbounded = *maxSize_ == std::numeric_limits<std::int64_t>::max();
        return SizeRange{static_cast<std::uint64_t>(std::max<std::int64_t>(*minSize_, 0)),
                         unbounded ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(*maxSize_)};
    }

    bool entersFolder(const FolderListing& listing, std::vector<std::optional<FileEntry>>& details, std::size_t i) const
    {
        const FolderItem& item = listing.items()[i];
        if (item.type != EntryType::Folder || item.name == "." || item.name == "..") return false;
        const auto& entry = detailsOf(listing, details, i);
        return entry && (entry->attributes & folderAttributeSet) == entry->attributes;
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
            const CalendarDate day = calendarDate(toLocalSeconds(t, utcOffset_));
            if (day < criteria_.minDate || day > criteria_.maxDate) return false;
        }
        return true;
    }

    void appendEntry(const FileEntry& entry, const Folder& dir)
    {
        ListEntry row;
        row.name = entry.name;
        row.folder = dir.text;
        row.encoding = entry.encoding;
        row.diskFolder = dir.disk;
        row.size = clampSize(entry.size);
        row.created = toLocalSeconds(entry.creationTime, utcOffset_);
        row.modified = toLocalSeconds(entry.lastWriteTime, utcOffset_);
        ws_.files.append(row);
    }

    Workspace& ws_;
    Host& host_;
    const FileSystem& fs_;
    const SearchCriteria& criteria_;
    const std::int64_t utcOffset_;
    std::optional<std::int64_t> minSize_;
    std::optional<std::int64_t> maxSize_;
    std::optional<NameMask> matcher_;
    std::vector<SkippedFile> skippedNames_;
    std::size_t skippedNeitherEncoding_ = 0;
    bool firstMask_ = true;
};

// The typed folders that name nothing, or something other than a folder.
std::vector<std::string> missingFolders(const FileSystem& fs, const std::vector<std::string>& folders)
{
    std::vector<std::string> missing;
    for (const std::string& folder : folders) {
        const std::optional<std::string> disk = utf8DiskForm(folder.empty() ? std::string_view("/") : folder);
        const std::optional<FileEntry> entry = disk ? fs.stat(*disk) : std::nullopt;
        const bool isFolder = entry && (entry->attributes & attr::directory) != 0;
        if (!isFolder && std::find(missing.begin(), missing.end(), folder) == missing.end()) missing.push_back(folder);
    }
    return missing;
}

} // namespace

SearchOutcome cbSearchClick(Workspace& ws, Host& host, const FileSystem& fs, const SearchCriteria& criteria)
{
    const auto& gbk = CodePage::gbk();
    std::string types(text::trim(criteria.types));
    if (types.empty()) {
        host.showMessage(MessageKind::Error, gbk.fromUtf8("文件类型为空,请设置好后再试！"));
        return {};
    }
    Search search(ws, host, fs, criteria); // reads the size bounds: may throw

    const std::vector<std::string> folders = text::splitFields(text::trim(criteria.folders), ";");
    ws.files.clear();

    const auto searchMask = [&](std::string mask) {
        ws.currentTypeMask = std::move(mask);
        search.setMask(ws.currentTypeMask);
        for (const std::string& folder : folders) {
            if (host.stopRequested()) break;
            ws.currentSearchFolder = folder;
            search.visitFolder({}, {});
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
    const std::string skipped = skippedNamesMessage(search.skippedNoGbkForm(), search.skippedNeitherEncoding());
    SearchOutcome outcome{std::move(search.skippedNames()), missingFolders(fs, folders)};
    if (!skipped.empty())
        host.showMessageWithDetails(MessageKind::Information, skipped, skippedDetails(outcome.skipped));
    return outcome;
}

} // namespace qv
