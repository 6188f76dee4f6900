#pragma once
// The content of one file as an ordered list of byte lines.
//
// A LineList owns all its line bytes in one buffer, stored back to back
// without their breaks, plus one end offset per line. Reading a file costs one
// buffer the size of the file (split in place, no allocation per line) and
// 8 bytes of index per line; this keeps a 200 MB source and its output list
// within a small multiple of the file size.
//
// Ownership: a LineList owns its bytes. A std::string_view handed out by
// operator[] or the iterator stays valid until the next call that changes the
// list (append, clear, reserve, assignment) or until the list is destroyed.

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace qv::text {

class LineList {
public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        Iterator() = default;
        std::string_view operator*() const { return (*list_)[index_]; }
        Iterator& operator++()
        {
            ++index_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        friend class LineList;
        Iterator(const LineList* list, std::size_t index) : list_(list), index_(index) { }
        const LineList* list_ = nullptr;
        std::size_t index_ = 0;
    };

    LineList() = default;
    // A list holding copies of `lines`, in order (convenient for building
    // small lists; each line is taken as it stands, breaks included).
    LineList(std::initializer_list<std::string_view> lines);

    // Cuts file bytes into lines, taking over the buffer. The text ends at the
    // first NUL byte; lines end at CR LF, a lone CR or a lone LF, the break not
    // being part of the line; a final line without a break is a line, a break
    // at the very end adds no empty line; empty text gives an empty list.
    // Cost: one pass over the bytes, moving each line left over the removed
    // breaks; no memory beyond the buffer and the line index.
    static LineList fromBytes(std::string bytes);

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Line `index` (0-based; must be below size()).
    std::string_view operator[](std::size_t index) const
    {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(bytes_).substr(begin, ends_[index] - begin);
    }
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, ends_.size()); }

    // Adds a copy of `line` at the end. `line` may be a view into this list.
    void append(std::string_view line);
    // Empties the list, keeping its memory for reuse.
    void clear();
    // Makes room for `lines` more lines holding `bytes` more bytes, so that a
    // list built line by line does not grow its buffers by repeated doubling.
    void reserve(std::size_t lines, std::size_t bytes);

    // Total bytes of all lines, breaks not counted.
    std::size_t byteCount() const { return bytes_.size(); }
    // Size of the written form: every line followed by CR LF.
    std::size_t joinedSize() const { return bytes_.size() + 2 * ends_.size(); }

    friend bool operator==(const LineList& a, const LineList& b) { return a.ends_ == b.ends_ && a.bytes_ == b.bytes_; }

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

// The written form of a list: every line followed by CR LF, the last one
// included; an empty list gives no bytes. Cost: one allocation of exactly
// joinedSize() bytes.
std::string joinLines(const LineList& lines);

// A memo's text as the program keeps it: every line break typed as a lone LF
// becomes CR LF; CR LF stays.
std::string withCrLfBreaks(std::string_view typed);

} // namespace qv::text
