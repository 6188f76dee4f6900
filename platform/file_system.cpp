#include "platform/file_system.h"

#include "platform/code_page.h"
#include "platform/name_mask.h"

#include <algorithm>
#include <cstring>

namespace qv {

std::string fileChangedReason()
{
    return CodePage::gbk().fromUtf8("文件在处理过程中被修改");
}

FileChangedWhileRead::FileChangedWhileRead(std::string_view path)
    : RunError(std::string(path) + ": " + fileChangedReason()), path_(path)
{ }

Listing FileSystem::list(std::string_view folder, std::string_view mask) const
{
    Listing out;
    if (mask.empty()) return out;
    const auto listing = listFolder(folder);
    const NameMask matcher(mask);
    const auto& items = listing->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!matcher.matches(items[i].name)) continue;
        if (auto entry = listing->details(i, std::nullopt)) out.entries.push_back(std::move(*entry));
    }
    const auto& names = listing->unconvertibleNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!matcher.matches(names[i])) continue;
        ++out.skippedNames;
        if (listing->unconvertibleFaults()[i] == NameFault::NeitherEncoding) ++out.skippedNeitherEncoding;
    }
    return out;
}

std::string FileSystem::readFile(std::string_view path) const
{
    const std::unique_ptr<FileReader> reader = openForReading(path);
    // Sized from the file's length plus one byte, so the file is read without
    // reallocation and its end is seen in the same buffer; a file that grows
    // while it is read, or reports no length (/proc), grows the buffer.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(reader->size()) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const std::size_t got = reader->read(bytes.data() + used, bytes.size() - used);
        if (got == 0) break;
        used += got;
    }
    if (reader->changedSinceOpened()) throw FileChangedWhileRead(path);
    bytes.resize(used);
    return bytes;
}

void FileSystem::writeFile(std::string_view path, std::string_view bytes)
{
    const std::unique_ptr<AtomicFileWriter> writer = createAtomically(path);
    writer->write(bytes);
    writer->commit();
}

text::LineList FileSystem::readLineList(std::string_view path) const
{
    return text::LineList::fromBytes(readFile(path));
}

void FileSystem::writeLineList(std::string_view path, const text::LineList& lines)
{
    const std::unique_ptr<AtomicFileWriter> file = createAtomically(path);
    constexpr std::size_t chunk = 1 << 20;
    const std::size_t capacity = std::min(chunk, lines.joinedSize());
    const auto buffer = std::make_unique<char[]>(capacity);
    std::size_t used = 0;
    for (const std::string_view line : lines) {
        const std::size_t needed = line.size() + 2;
        if (used + needed > capacity) {
            file->write(std::string_view(buffer.get(), used));
            used = 0;
        }
        if (needed > capacity) {
            // Longer than the buffer: written straight from the list.
            file->write(line);
            file->write("\r\n");
            continue;
        }
        std::memcpy(buffer.get() + used, line.data(), line.size());
        buffer[used + line.size()] = '\r';
        buffer[used + line.size() + 1] = '\n';
        used += needed;
    }
    file->write(std::string_view(buffer.get(), used));
    file->commit();
}

} // namespace qv
