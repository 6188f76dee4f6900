#include "support/memory_file_system.h"

#include "text/run_error.h"

#include <algorithm>
#include <cstring>

namespace qv::testing {

std::string MemoryFileSystem::key(std::string_view path)
{
    std::string out;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at) {
            if (!out.empty() || path[0] == '/') out += '/';
            out.append(path.substr(at, slash - at));
        }
        at = slash + 1;
    }
    if (out.empty()) return "/";
    return out;
}

std::string MemoryFileSystem::parentKey(const std::string& key)
{
    if (key == "/" || key == ".") return {};
    const std::size_t slash = key.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : key.substr(0, slash);
}

MemoryFileSystem::Node& MemoryFileSystem::ensureFolder(const std::string& folderKey)
{
    if (auto found = nodes_.find(folderKey); found != nodes_.end()) return found->second;
    FileEntry entry;
    entry.name = folderKey.substr(folderKey.rfind('/') + 1);
    entry.attributes = attr::directory;
    put(folderKey, entry);
    return nodes_[folderKey];
}

void MemoryFileSystem::put(const std::string& entryKey, FileEntry entry)
{
    if (const std::string parent = parentKey(entryKey); !parent.empty()) {
        Node& folder = ensureFolder(parent);
        auto& children = folder.children;
        if (std::find(children.begin(), children.end(), entry.name) == children.end()) children.push_back(entry.name);
    }
    if (entry.fileNumber == 0) entry.fileNumber = ++lastFileNumber_; // a new file; a renamed one keeps its number
    nodes_[entryKey].entry = std::move(entry);
}

void MemoryFileSystem::detach(const std::string& entryKey)
{
    const std::string parent = parentKey(entryKey);
    if (auto folder = nodes_.find(parent); folder != nodes_.end()) {
        auto& children = folder->second.children;
        children.erase(std::remove(children.begin(), children.end(), nodes_[entryKey].entry.name), children.end());
    }
}

void MemoryFileSystem::addFile(std::string_view path, std::uint64_t size, std::uint32_t attributes, FileTime created,
                               FileTime written, FileTime accessed)
{
    const std::string k = key(path);
    FileEntry entry{
        k.substr(k.rfind('/') + 1), attributes ? attributes : attr::archive, size, created, written, accessed};
    put(k, std::move(entry));
}

void MemoryFileSystem::addFolder(std::string_view path, std::uint32_t attributes)
{
    const std::string k = key(path);
    ensureFolder(k).entry.attributes = attributes | attr::directory;
}

void MemoryFileSystem::addSpecial(std::string_view path, std::uint32_t attributes)
{
    const std::string k = key(path);
    put(k, FileEntry{k.substr(k.rfind('/') + 1), attributes, 0, {}, {}, {}});
}

void MemoryFileSystem::addUnconvertibleNames(std::string_view folder, std::size_t count)
{
    ensureFolder(key(folder)).unconvertible += count;
}

std::vector<std::string> MemoryFileSystem::paths() const
{
    std::vector<std::string> out;
    for (const auto& [k, node] : nodes_) out.push_back(k);
    return out;
}

namespace {

class MemoryFolderListing final : public FolderListing {
public:
    // `name` is the name as stored, its bytes on disk.
    void add(const std::string& disk, const FileEntry& entry)
    {
        NameFault fault = NameFault::NeitherEncoding;
        auto decoded = decodeDiskName(disk, &fault);
        if (!decoded) {
            unconvertible_.push_back(u"\uFFFD");
            unconvertibleFaults_.push_back(fault);
            return;
        }
        std::string name = std::move(decoded->text);
        const std::uint32_t a = entry.attributes;
        const EntryType type = (a & (attr::reparsePoint | attr::device)) ? EntryType::Other
                               : (a & attr::directory)                   ? EntryType::Folder
                                                                         : EntryType::File;
        FileEntry copy = entry;
        copy.name = name;
        copy.encoding = decoded->encoding;
        details_.push_back(std::move(copy));
        items_.push_back(FolderItem{std::move(name), type, decoded->encoding});
    }
    void addUnconvertible(std::size_t count)
    {
        unconvertible_.insert(unconvertible_.end(), count, u"\uFFFD");
        unconvertibleFaults_.insert(unconvertibleFaults_.end(), count, NameFault::NoGbkForm);
    }
    std::optional<FileEntry> details(std::size_t index, std::optional<SizeRange> sizes) const override
    {
        if (index >= details_.size() || (sizes && !sizes->holds(details_[index].size))) return std::nullopt;
        return details_[index];
    }

private:
    std::vector<FileEntry> details_;
};

} // namespace

std::unique_ptr<FolderListing> MemoryFileSystem::listFolder(std::string_view folder) const
{
    auto out = std::make_unique<MemoryFolderListing>();
    const std::string k = key(folder);
    const auto found = nodes_.find(k);
    if (found == nodes_.end() || !(found->second.entry.attributes & attr::directory)) return out;
    out->add(".", found->second.entry);
    const auto parent = nodes_.find(parentKey(k));
    out->add("..", parent != nodes_.end() ? parent->second.entry : found->second.entry);
    for (const std::string& name : found->second.children)
        out->add(name, nodes_.at(k == "/" ? "/" + name : k + "/" + name).entry);
    out->addUnconvertible(found->second.unconvertible);
    return out;
}

std::optional<FileEntry> MemoryFileSystem::stat(std::string_view path) const
{
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end()) return std::nullopt;
    FileEntry entry = found->second.entry;
    if (auto decoded = decodeDiskName(entry.name)) {
        entry.name = std::move(decoded->text);
        entry.encoding = decoded->encoding;
    }
    return entry;
}

bool MemoryFileSystem::exists(std::string_view path) const
{
    return nodes_.count(key(path)) != 0;
}

FsStatus MemoryFileSystem::remove(std::string_view path)
{
    const std::string k = key(path);
    const auto found = nodes_.find(k);
    if (found == nodes_.end()) return FsStatus::NotFound;
    const std::uint32_t bits = found->second.entry.attributes;
    if (bits & attr::directory) return FsStatus::IsDirectory;
    if ((bits & attr::readOnly) && !(bits & attr::reparsePoint)) return FsStatus::ReadOnly;
    detach(k);
    nodes_.erase(k);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::renameNoReplace(std::string_view from, std::string_view to)
{
    const std::string source = key(from), target = key(to);
    if (!nodes_.count(source)) return FsStatus::NotFound;
    if (nodes_.count(target)) return FsStatus::AlreadyExists;
    const auto targetFolder = nodes_.find(parentKey(target));
    if (targetFolder == nodes_.end() || !(targetFolder->second.entry.attributes & attr::directory))
        return FsStatus::NotFound;
    if (target.rfind(source + "/", 0) == 0) return FsStatus::Failed; // a folder into itself

    detach(source);
    std::vector<std::pair<std::string, Node>> moved;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        if (it->first == source || it->first.rfind(source + "/", 0) == 0) {
            moved.emplace_back(target + it->first.substr(source.size()), std::move(it->second));
            it = nodes_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [k, node] : moved) nodes_[k] = std::move(node);
    FileEntry entry = nodes_[target].entry;
    entry.name = target.substr(target.rfind('/') + 1);
    put(target, std::move(entry));
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::setTimes(std::string_view path, const TimeChange& change)
{
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end()) return FsStatus::NotFound;
    FileEntry& entry = found->second.entry;
    if ((entry.attributes & attr::readOnly) && !(entry.attributes & attr::directory)) return FsStatus::ReadOnly;
    if (change.creation && (entry.attributes & attr::reparsePoint)) return FsStatus::SymbolicLink;
    if (change.creation && !storageSupported_) return FsStatus::NotSupported;
    if (change.creation) entry.creationTime = *change.creation;
    if (change.lastWrite) entry.lastWriteTime = *change.lastWrite;
    if (change.lastAccess) entry.lastAccessTime = *change.lastAccess;
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::setAttributes(std::string_view path, std::uint32_t attributes)
{
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end()) return FsStatus::NotFound;
    if (found->second.entry.attributes & attr::reparsePoint) return FsStatus::SymbolicLink;
    if (!storageSupported_) return FsStatus::NotSupported;
    std::uint32_t& bits = found->second.entry.attributes;
    const std::uint32_t wanted = attributes == attr::normal ? 0 : attributes & attr::settable & ~attr::normal;
    bits = (bits & ~attr::settable) | wanted;
    if (bits == 0) bits = attr::normal;
    return FsStatus::Ok;
}

void MemoryFileSystem::addFileWithContent(std::string_view path, std::string_view bytes, std::uint32_t attributes)
{
    addFile(path, bytes.size(), attributes);
    nodes_[key(path)].bytes = std::string(bytes);
}

std::optional<std::string> MemoryFileSystem::content(std::string_view path) const
{
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end() ||
        (found->second.entry.attributes & (attr::directory | attr::reparsePoint | attr::device)))
        return std::nullopt;
    return found->second.bytes;
}

namespace {

class MemoryReader final : public FileReader {
public:
    MemoryReader(const MemoryFileSystem& fs, std::string_view path, std::string bytes)
        : fs_(fs), path_(path), bytes_(std::move(bytes)), opened_(fs.stat(path))
    { }
    std::uint64_t size() const override { return bytes_.size(); }
    // The file as it is now against the file as it was opened.
    bool changedSinceOpened() const override
    {
        const std::optional<FileEntry> now = fs_.stat(path_);
        return !now || now->size != opened_->size || now->lastWriteTime != opened_->lastWriteTime;
    }
    std::size_t read(char* buffer, std::size_t capacity) override
    {
        const std::size_t got = std::min(capacity, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, got);
        at_ += got;
        return got;
    }

private:
    const MemoryFileSystem& fs_;
    std::string path_;
    std::string bytes_;
    std::optional<FileEntry> opened_;
    std::size_t at_ = 0;
};

} // namespace

std::unique_ptr<FileReader> MemoryFileSystem::openForReading(std::string_view path) const
{
    std::optional<std::string> bytes = content(path);
    if (!bytes) throw RunError(formatMessage("Cannot open file %s", path));
    return std::make_unique<MemoryReader>(*this, path, std::move(*bytes));
}

class MemoryFileSystem::Writer final : public AtomicFileWriter {
public:
    Writer(MemoryFileSystem& fs, std::string_view path) : fs_(fs), path_(path) { }
    void write(std::string_view bytes) override { bytes_.append(bytes); }
    void commit() override { fs_.commitContent(path_, std::move(bytes_)); }
    void commitAs(std::string_view path) override { fs_.commitContent(path, std::move(bytes_)); }

private:
    MemoryFileSystem& fs_;
    std::string path_;
    std::string bytes_;
};

std::unique_ptr<AtomicFileWriter> MemoryFileSystem::createAtomically(std::string_view path)
{
    return std::make_unique<Writer>(*this, path);
}

void MemoryFileSystem::commitContent(std::string_view path, std::string bytes)
{
    const std::string k = key(path);
    const auto folder = nodes_.find(parentKey(k));
    const auto existing = nodes_.find(k);
    const bool folderMissing = folder == nodes_.end() || !(folder->second.entry.attributes & attr::directory);
    const bool refused =
        existing != nodes_.end() && (existing->second.entry.attributes & (attr::readOnly | attr::directory));
    if (folderMissing || refused) throw RunError(formatMessage("Cannot create file %s", path));
    addFileWithContent(path, bytes);
}

} // namespace qv::testing
